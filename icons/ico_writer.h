#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tervando {

// A picture as a device-independent bitmap of an icon file: the colour bitmap and the AND mask
// that readers without alpha use to cut the picture out.
struct IcoBitmap {
  int width = 0;
  int height = 0;
  int bitCount = 32;                   // 1, 4 or 8 with a palette; 32 for BGRA with alpha
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB, 1 << bitCount colours; empty at 32 bits
  std::vector<std::uint32_t> pixels;   // top row first: palette index, or 0xAARRGGBB at 32 bits
  std::vector<bool> transparent;       // mask bit per pixel, top row first
};

// The bitmap as stored in an icon file: 40-byte header (height doubled for the mask), palette,
// colour rows and mask rows, both bottom-up. Throws std::invalid_argument when the fields do
// not fit together.
std::string EncodeIcoBitmap(const IcoBitmap& bitmap);

// One image of an icon file, ready to be laid out: its stored bytes (a bitmap from
// EncodeIcoBitmap or a PNG file) and what its directory entry says.
struct IcoEntry {
  int width = 0;        // 1..256
  int height = 0;       // 1..256
  int colourCount = 0;  // palette colours, 0 for 256 and more
  int planes = 0;       // 0 or 1
  int bitCount = 0;     // 0 leaves the depth to the image's own header
  std::string payload;
};

// The complete icon file: header, one directory entry per image, then the images in order
// without gaps. Throws std::invalid_argument for no image, too many or a size out of range.
std::string WriteIcoFile(const std::vector<IcoEntry>& entries);

}  // namespace tervando
