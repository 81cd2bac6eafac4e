#pragma once

#include <string>

#include "support/desktop.h"
#include "support/window_messages.h"

namespace tervando {

// Opens the help page beside the program ("hilfe.htm", else "index.htm") in the default
// browser, or says that there is none.
void ShowHelp(Desktop& desktop);

// The same lookup in a given folder (ending with the separator).
void ShowHelpIn(Desktop& desktop, const std::string& folder);

}  // namespace tervando
