#pragma once

#include <functional>
#include <string>

namespace tervando {

// Opens a page in the desktop's default editor for plain text (not the browser). Nothing is
// reported when no editor can be started.
void EditPage(const std::string& path);

// Tests replace the editor start by a recorder; an empty handler restores it.
using EditPageHandler = std::function<void(const std::string& path)>;
void SetEditPageHandler(EditPageHandler handler);

}  // namespace tervando
