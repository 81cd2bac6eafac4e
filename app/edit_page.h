#pragma once

#include <string>

namespace tervando {

// Opens a page in the desktop's default editor for plain text (not the browser). Nothing is
// reported when no editor can be started.
void EditPage(const std::string& path);

}  // namespace tervando
