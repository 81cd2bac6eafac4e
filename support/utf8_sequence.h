#pragma once

#include <cstddef>
#include <string_view>

namespace tervando {

// Length of the well-formed UTF-8 sequence at `at` (no overlong form, no surrogate, nothing
// above U+10FFFF), its code point in `codePoint`; 0 when the byte there starts none.
std::size_t Utf8Sequence(std::string_view text, std::size_t at, char32_t& codePoint);

}  // namespace tervando
