#include "icons/ico_reader.h"

namespace tervando {

namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);
constexpr std::size_t kHeaderBytes = 6;
constexpr std::size_t kEntryBytes = 16;
constexpr std::uint32_t kBitmapHeaderBytes = 40;

std::uint32_t U8(std::string_view b, std::size_t at) { return static_cast<unsigned char>(b[at]); }
std::uint32_t U16(std::string_view b, std::size_t at) { return U8(b, at) | U8(b, at + 1) << 8; }
std::uint32_t U32(std::string_view b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// A bitmap starts with its header's size: 40 bytes or one of the later, longer headers.
bool IsBitmapPayload(std::string_view payload) {
  if (payload.size() < kBitmapHeaderBytes) {
    return false;
  }
  const std::uint32_t headerBytes = U32(payload, 0);
  return headerBytes >= kBitmapHeaderBytes && headerBytes <= payload.size();
}

}  // namespace

bool IsPngPayload(std::string_view payload) { return payload.substr(0, 8) == kPngSignature; }

std::optional<std::vector<IcoDirEntry>> ReadIcoDirectory(std::string_view file) {
  if (file.size() < kHeaderBytes || U16(file, 0) != 0 || U16(file, 2) != 1) {
    return std::nullopt;
  }
  const std::size_t count = U16(file, 4);
  const std::size_t imagesStart = kHeaderBytes + kEntryBytes * count;
  if (count == 0 || imagesStart > file.size()) {
    return std::nullopt;
  }
  std::vector<IcoDirEntry> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kHeaderBytes + kEntryBytes * i;
    IcoDirEntry entry;
    entry.width = U8(file, at) == 0 ? 256 : static_cast<int>(U8(file, at));
    entry.height = U8(file, at + 1) == 0 ? 256 : static_cast<int>(U8(file, at + 1));
    entry.colourCount = static_cast<int>(U8(file, at + 2));
    entry.reserved = static_cast<int>(U8(file, at + 3));
    entry.planes = static_cast<int>(U16(file, at + 4));
    entry.bitCount = static_cast<int>(U16(file, at + 6));
    entry.bytes = U32(file, at + 8);
    entry.offset = U32(file, at + 12);
    // Compared in 64 bits: offset + bytes must not wrap around.
    if (entry.offset < imagesStart ||
        std::uint64_t{entry.offset} + entry.bytes > std::uint64_t{file.size()}) {
      return std::nullopt;
    }
    const std::string_view payload = IcoPayload(file, entry);
    if (!IsPngPayload(payload) && !IsBitmapPayload(payload)) {
      return std::nullopt;
    }
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace tervando
