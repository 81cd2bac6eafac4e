#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "icons/ico_reader.h"
#include "icons/ico_writer.h"

namespace tervando {
namespace {

using namespace std::string_literals;

IcoBitmap TwoColourBitmap() {
  IcoBitmap b;
  b.width = 3;
  b.height = 2;
  b.bitCount = 1;
  b.palette = {0x000000, 0xFFFFFF};
  b.pixels = {1, 0, 1, 0, 1, 0};
  b.transparent = {false, true, false, false, false, false};
  return b;
}

IcoBitmap AlphaBitmap() {
  IcoBitmap b;
  b.width = 2;
  b.height = 1;
  b.bitCount = 32;
  b.pixels = {0x80FF0000, 0};
  b.transparent = {false, true};
  return b;
}

struct BitmapCase {
  const char* name;
  IcoBitmap bitmap;
  std::string bytes;
};

TEST(IcoWriter, BitmapsAreStoredBottomUpWithPaletteAndMask) {
  const std::string header1Bit =
      "\x28\0\0\0\x03\0\0\0\x04\0\0\0\x01\0\x01\0\0\0\0\0\x10\0\0\0"s + std::string(16, '\0');
  const std::string header32Bit =
      "\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x20\0\0\0\0\0\x0C\0\0\0"s + std::string(16, '\0');
  const std::vector<BitmapCase> cases = {
      {"1 bit, rows padded to 4 bytes", TwoColourBitmap(),
       header1Bit + "\0\0\0\0\xFF\xFF\xFF\0"s +  // palette
           "\x40\0\0\0\xA0\0\0\0"s +             // bottom row 010, top row 101
           "\0\0\0\0\x40\0\0\0"s},               // mask: the top row's middle pixel
      {"32 bits, BGRA with the alpha kept", AlphaBitmap(),
       header32Bit + "\0\0\xFF\x80\0\0\0\0"s + "\x40\0\0\0"s},
  };
  for (const BitmapCase& c : cases) {
    EXPECT_EQ(EncodeIcoBitmap(c.bitmap), c.bytes) << c.name;
  }
}

TEST(IcoFile, WrittenDirectoryReadsBack) {
  const std::string png = "\x89PNG\r\n\x1a\n"s + "and the rest";
  const std::string small = EncodeIcoBitmap(AlphaBitmap());
  const std::string file =
      WriteIcoFile({{2, 1, 0, 1, 32, small}, {256, 256, 0, 1, 32, png}, {3, 2, 2, 0, 0, small}});
  EXPECT_EQ(file.substr(0, 6), "\0\0\1\0\3\0"s);
  EXPECT_EQ(file.substr(6 + 16, 4), "\0\0\0\0"s) << "256 is stored as 0";
  const auto directory = ReadIcoDirectory(file);
  ASSERT_TRUE(directory);
  ASSERT_EQ(directory->size(), 3u);
  const std::vector<std::vector<int>> expected = {
      {2, 1, 0, 1, 32}, {256, 256, 0, 1, 32}, {3, 2, 2, 0, 0}};
  std::uint32_t offset = 6 + 3 * 16;
  for (std::size_t i = 0; i < 3; ++i) {
    const IcoDirEntry& e = (*directory)[i];
    EXPECT_EQ((std::vector<int>{e.width, e.height, e.colourCount, e.planes, e.bitCount}),
              expected[i]);
    EXPECT_EQ(e.offset, offset);
    offset += e.bytes;
  }
  EXPECT_EQ(offset, file.size());
  EXPECT_TRUE(IsPngPayload(IcoPayload(file, (*directory)[1])));
  EXPECT_EQ(IcoPayload(file, (*directory)[2]), small);
}

void PutU32(std::string& file, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    file[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
  }
}

TEST(IcoReader, RefusesDamagedFiles) {
  const std::string good = WriteIcoFile({{3, 2, 2, 0, 0, EncodeIcoBitmap(TwoColourBitmap())}});
  ASSERT_TRUE(ReadIcoDirectory(good));
  const std::vector<std::pair<const char*, std::function<void(std::string&)>>> damages = {
      {"empty", [](std::string& f) { f.clear(); }},
      {"header cut", [](std::string& f) { f.resize(5); }},
      {"directory cut", [](std::string& f) { f.resize(20); }},
      {"reserved not 0", [](std::string& f) { f[0] = 1; }},
      {"a cursor", [](std::string& f) { f[2] = 2; }},
      {"no image", [](std::string& f) { f[4] = 0; }},
      {"more images than bytes", [](std::string& f) { f[4] = static_cast<char>(200); }},
      {"image inside the directory", [](std::string& f) { PutU32(f, 18, 6); }},
      {"image past the end", [](std::string& f) { PutU32(f, 14, 65); }},
      {"offset wraps around", [](std::string& f) { PutU32(f, 18, 0xFFFFFFF0u); }},
      {"file cut in the image", [](std::string& f) { f.pop_back(); }},
      {"neither bitmap nor PNG", [](std::string& f) { PutU32(f, 22, 12); }},
      {"bitmap header longer than the image", [](std::string& f) { PutU32(f, 22, 4096); }},
  };
  for (const auto& [name, damage] : damages) {
    std::string file = good;
    damage(file);
    EXPECT_FALSE(ReadIcoDirectory(file)) << name;
  }
}

}  // namespace
}  // namespace tervando
