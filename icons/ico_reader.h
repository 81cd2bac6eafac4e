#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tervando {

// One directory entry of an icon file, as stored (a width or height byte of 0 reads as 256).
struct IcoDirEntry {
  int width = 0;
  int height = 0;
  int colourCount = 0;  // 0 stands for 256 colours or more
  int reserved = 0;
  int planes = 0;
  int bitCount = 0;  // often left 0; the image's own header says the depth
  std::uint32_t bytes = 0;
  std::uint32_t offset = 0;
};

// The directory of an icon file. Nothing when the bytes are no icon file: wrong header, no
// image, a directory or an image outside the bytes, or an image that is neither a PNG nor a
// device-independent bitmap. Never reads outside `file`.
std::optional<std::vector<IcoDirEntry>> ReadIcoDirectory(std::string_view file);

// The bytes of one image of a checked icon file.
inline std::string_view IcoPayload(std::string_view file, const IcoDirEntry& entry) {
  return file.substr(entry.offset, entry.bytes);
}

// Whether an image of an icon file is stored as PNG rather than as a bitmap.
bool IsPngPayload(std::string_view payload);

}  // namespace tervando
