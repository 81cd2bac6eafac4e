#pragma once

#include <string>
#include <string_view>

namespace tervando {

// A file name, or a text holding one, for one terminal line: every control byte escaped as the
// log escapes it (EscapeControlBytes), so no name can move the cursor, turn the reading order or
// pass for another. A message of several lines takes TerminalLines (terminal_host.cpp).
std::string TerminalLine(std::string_view bytes);

// The bytes as a JSON string with its quotes: UTF-8 as it is, the quote and backslash escaped,
// the characters EscapeControlBytes escapes (controls, bidi controls, U+2028/U+2029) as \uXXXX,
// and every byte that is no UTF-8 as U+FFFD. `exact`, when given, tells whether the string
// stands for the bytes without such a loss; where it does not, the --check record adds
// "path_hex", the exact bytes in hexadecimal.
std::string JsonString(std::string_view bytes, bool* exact = nullptr);

// Two lower-case hexadecimal digits per byte.
std::string HexBytes(std::string_view bytes);

}  // namespace tervando
