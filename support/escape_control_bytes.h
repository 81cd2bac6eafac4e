#pragma once

#include <string>
#include <string_view>

namespace tervando {

// `text` safe for one line of the log or the terminal: control characters (C0, DEL, the C1
// controls), the bidi controls U+202A-U+202E and U+2066-U+2069, the line and paragraph
// separators U+2028/U+2029 and every byte that is no UTF-8 become \r, \n, \t or \xNN per byte,
// and a backslash is doubled, so every escape reads one way and gives back the exact bytes.
// Text without these, as every ordinary path, comes back unchanged.
std::string EscapeControlBytes(std::string_view text);

// Whether a character is one EscapeControlBytes escapes: it could steer a terminal, break a
// line or turn the reading order of what follows.
bool IsEscapedCharacter(char32_t codePoint);

}  // namespace tervando
