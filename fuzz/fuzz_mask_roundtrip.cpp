// Masking then unmasking gives every text back that holds no marker of its own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/reference/masking.h"

namespace {

bool HoldsMarker(const std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == tervando::kMarkerEscape && text[i + 1] >= 1 && text[i + 1] <= 4) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (HoldsMarker(text)) return 0;
  const std::string masked = tervando::HideUnhideJavaInHtml(text, tervando::kHideMode);
  if (masked.size() > text.size()) std::abort();
  if (tervando::HideUnhideJavaInHtml(masked, tervando::kUnhideMode) != text) std::abort();
  return 0;
}
