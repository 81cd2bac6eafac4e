#pragma once

#include <functional>
#include <string>

namespace tervando {

// Shows an internal error (a mode number a routine does not know). The window installs a hook
// that shows a modal box with an OK button, no icon and the program title; without a hook the
// text goes to stderr.
using InternalErrorHook = std::function<void(const std::string& text)>;
void SetInternalErrorHook(InternalErrorHook hook);

// Shows the text through the hook, then ends the program at once: nothing further of the
// current operation runs and nothing else is written.
[[noreturn]] void EndWithInternalError(const std::string& text);

}  // namespace tervando
