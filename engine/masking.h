#pragma once

#include <string_view>

namespace tervando {

// The script comparison operators (one blank on each side) and the two-byte markers that
// stand for them while a page is split at its tag brackets. Passes run in this order.
// The engine never builds the masked page; its reference is HideUnhideJavaInHtml in
// tests/reference/masking.h.
struct MaskedOperator {
  std::string_view text;
  std::string_view marker;
};
inline constexpr char kMarkerEscape = 27;
inline constexpr MaskedOperator kMaskedOperators[] = {
    {" < ", "\x1b\x01"},
    {" > ", "\x1b\x02"},
    {" <= ", "\x1b\x03"},
    {" >= ", "\x1b\x04"},
};

}  // namespace tervando
