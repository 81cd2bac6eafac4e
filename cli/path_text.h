#pragma once

#include <string>
#include <string_view>

namespace tervando {

// A file name for a terminal line: printable UTF-8 as it is; control characters (C0, DEL and
// C1), bytes that are no UTF-8 and the backslash as \xNN (\\ for the backslash), so no name
// can move the cursor or pass for another.
std::string TerminalText(std::string_view bytes);

// The bytes as a JSON string with its quotes: UTF-8 as it is, the quote and backslash escaped,
// control characters (C0, DEL and C1) as \u00XX, and every byte that is no UTF-8 as U+FFFD.
// `exact`, when given, tells whether the string stands for the bytes without such a loss.
std::string JsonString(std::string_view bytes, bool* exact = nullptr);

// Two lower-case hexadecimal digits per byte.
std::string HexBytes(std::string_view bytes);

}  // namespace tervando
