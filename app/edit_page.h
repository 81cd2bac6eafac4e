#pragma once

#include <string>

namespace tervando {

// Opens a page in the desktop's default editor for plain text (not the browser); false when no
// editor could be started.
bool EditPage(const std::string& path);

}  // namespace tervando
