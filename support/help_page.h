#pragma once

#include <string>

namespace tervando {

// The help page to open: "hilfe.htm" in the folder (which ends with the separator) when it
// is a file there, else "index.htm", else the empty text.
std::string FindHelpPage(const std::string& folder);
// The same in the folder the help pages lie in (DataFolder).
std::string FindHelpPage();

}  // namespace tervando
