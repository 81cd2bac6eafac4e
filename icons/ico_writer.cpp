#include "icons/ico_writer.h"

#include <stdexcept>

namespace tervando {

namespace {

void PutU8(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
}

void PutU16(std::string& out, std::uint32_t value) {
  PutU8(out, value);
  PutU8(out, value >> 8);
}

void PutU32(std::string& out, std::uint32_t value) {
  PutU16(out, value);
  PutU16(out, value >> 16);
}

std::size_t RowStride(int width, int bits) {
  return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
}

void Check(bool condition, const char* what) {
  if (!condition) {
    throw std::invalid_argument(what);
  }
}

}  // namespace

std::string EncodeIcoBitmap(const IcoBitmap& bitmap) {
  const int bits = bitmap.bitCount;
  Check(bits == 1 || bits == 4 || bits == 8 || bits == 32, "icon bitmap: unsupported depth");
  Check(bitmap.width >= 1 && bitmap.width <= 256 && bitmap.height >= 1 && bitmap.height <= 256,
        "icon bitmap: size out of range");
  const std::size_t w = static_cast<std::size_t>(bitmap.width);
  const std::size_t h = static_cast<std::size_t>(bitmap.height);
  Check(bitmap.pixels.size() == w * h && bitmap.transparent.size() == w * h,
        "icon bitmap: pixel count does not match the size");
  Check(bitmap.palette.size() == (bits == 32 ? 0u : std::size_t{1} << bits),
        "icon bitmap: palette does not match the depth");
  const std::size_t colourStride = RowStride(bitmap.width, bits);
  const std::size_t maskStride = RowStride(bitmap.width, 1);

  std::string out;
  out.reserve(40 + 4 * bitmap.palette.size() + (colourStride + maskStride) * h);
  PutU32(out, 40);
  PutU32(out, static_cast<std::uint32_t>(w));
  PutU32(out, static_cast<std::uint32_t>(h * 2));  // colour bitmap and mask stacked
  PutU16(out, 1);
  PutU16(out, static_cast<std::uint32_t>(bits));
  PutU32(out, 0);  // uncompressed
  PutU32(out, static_cast<std::uint32_t>((colourStride + maskStride) * h));
  for (int unused = 0; unused < 4; ++unused) {
    PutU32(out, 0);
  }
  for (const std::uint32_t colour : bitmap.palette) {
    PutU32(out, colour & 0xFFFFFF);  // blue, green, red, 0
  }

  std::string colours(colourStride * h, '\0');
  std::string mask(maskStride * h, '\0');
  for (std::size_t y = 0; y < h; ++y) {
    const std::size_t row = h - 1 - y;  // bitmaps are stored bottom-up
    for (std::size_t x = 0; x < w; ++x) {
      const std::size_t at = y * w + x;
      if (bitmap.transparent[at]) {
        char& maskByte = mask[row * maskStride + x / 8];
        maskByte = static_cast<char>(maskByte | (0x80 >> (x % 8)));
      }
      const std::uint32_t value = bitmap.pixels[at];
      if (bits == 32) {
        for (std::size_t byte = 0; byte < 4; ++byte) {
          colours[row * colourStride + 4 * x + byte] = static_cast<char>(value >> (8 * byte));
        }
        continue;
      }
      Check(value < bitmap.palette.size(), "icon bitmap: colour index outside the palette");
      const std::size_t bitOffset = x * static_cast<std::size_t>(bits);
      const std::size_t shift = 8 - static_cast<std::size_t>(bits) - bitOffset % 8;
      char& colourByte = colours[row * colourStride + bitOffset / 8];
      colourByte = static_cast<char>(static_cast<unsigned char>(colourByte) | value << shift);
    }
  }
  out += colours;
  out += mask;
  return out;
}

std::string WriteIcoFile(const std::vector<IcoEntry>& entries) {
  Check(!entries.empty() && entries.size() <= 0xFFFF, "icon file: needs 1 to 65535 images");
  std::size_t total = 6 + 16 * entries.size();
  for (const IcoEntry& entry : entries) {
    Check(entry.width >= 1 && entry.width <= 256 && entry.height >= 1 && entry.height <= 256,
          "icon file: image size out of range");
    Check(entry.colourCount >= 0 && entry.colourCount <= 255, "icon file: colour count");
    total += entry.payload.size();
  }
  Check(total <= 0xFFFFFFFFu, "icon file: too large");

  std::string out;
  out.reserve(total);
  PutU16(out, 0);
  PutU16(out, 1);
  PutU16(out, static_cast<std::uint32_t>(entries.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
  for (const IcoEntry& entry : entries) {
    PutU8(out, entry.width == 256 ? 0u : static_cast<std::uint32_t>(entry.width));
    PutU8(out, entry.height == 256 ? 0u : static_cast<std::uint32_t>(entry.height));
    PutU8(out, static_cast<std::uint32_t>(entry.colourCount));
    PutU8(out, 0);
    PutU16(out, static_cast<std::uint32_t>(entry.planes));
    PutU16(out, static_cast<std::uint32_t>(entry.bitCount));
    PutU32(out, static_cast<std::uint32_t>(entry.payload.size()));
    PutU32(out, offset);
    offset += static_cast<std::uint32_t>(entry.payload.size());
  }
  for (const IcoEntry& entry : entries) {
    out += entry.payload;
  }
  return out;
}

}  // namespace tervando
