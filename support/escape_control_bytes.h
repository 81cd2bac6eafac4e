#pragma once

#include <string>
#include <string_view>

namespace tervando {

// `text` safe for one line of the log or the terminal: control bytes (0x00-0x1F, 0x7F and the
// C1 controls U+0080-U+009F in UTF-8) become \r, \n, \t or \xNN per byte, and a backslash is
// doubled so every escape reads one way. Text without these, as every ordinary path, comes
// back unchanged.
std::string EscapeControlBytes(std::string_view text);

}  // namespace tervando
