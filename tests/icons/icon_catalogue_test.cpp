#include "icons/icon_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "icons/ico_reader.h"

namespace tervando {
namespace {

// The directory is read by the program's one reader; the bitmaps are decoded here, so the
// catalogue's pictures are checked against the format rather than against the code that wrote
// them.
std::uint32_t U16(std::string_view b, std::size_t at) {
  return static_cast<unsigned char>(b.at(at)) | static_cast<unsigned char>(b.at(at + 1)) << 8;
}
std::uint32_t U32(std::string_view b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

using DirEntry = IcoDirEntry;

struct Bitmap {
  int width = 0, height = 0, bits = 0;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::vector<int> index;              // colour index per pixel, top row first
  std::vector<bool> transparent;       // mask bit per pixel, top row first
};

std::vector<DirEntry> ReadDirectory(std::string_view file) {
  auto entries = ReadIcoDirectory(file);
  EXPECT_TRUE(entries) << "a sound icon file";
  return entries.value_or(std::vector<DirEntry>{});
}

int Stride(int width, int bits) { return (width * bits + 31) / 32 * 4; }

// Decodes one image; fails the test on any structural fault.
Bitmap DecodeImage(std::string_view file, const DirEntry& entry) {
  Bitmap bmp;
  const std::string_view data = file.substr(entry.offset, entry.bytes);
  EXPECT_EQ(U32(data, 0), 40u) << "bitmap header size";
  bmp.width = static_cast<int>(U32(data, 4));
  bmp.height = static_cast<int>(U32(data, 8)) / 2;
  EXPECT_EQ(U32(data, 8), static_cast<std::uint32_t>(bmp.height * 2)) << "height covers the mask";
  EXPECT_EQ(U16(data, 12), 1u) << "planes";
  bmp.bits = static_cast<int>(U16(data, 14));
  EXPECT_EQ(U32(data, 16), 0u) << "uncompressed";
  const int colours = 1 << bmp.bits;
  std::size_t at = 40;
  for (int i = 0; i < colours; ++i, at += 4) {
    bmp.palette.push_back(U32(data, at) & 0xFFFFFF);
  }
  const int colour_stride = Stride(bmp.width, bmp.bits);
  const int mask_stride = Stride(bmp.width, 1);
  EXPECT_EQ(data.size(), at + static_cast<std::size_t>((colour_stride + mask_stride) * bmp.height))
      << "image size matches its header";
  const std::size_t mask_at = at + static_cast<std::size_t>(colour_stride * bmp.height);
  for (int y = 0; y < bmp.height; ++y) {
    const int row = bmp.height - 1 - y;
    for (int x = 0; x < bmp.width; ++x) {
      const int bit = x * bmp.bits;
      const auto byte = static_cast<unsigned char>(
          data.at(at + static_cast<std::size_t>(row * colour_stride + bit / 8)));
      bmp.index.push_back((byte >> (8 - bmp.bits - bit % 8)) & (colours - 1));
      const auto mask = static_cast<unsigned char>(
          data.at(mask_at + static_cast<std::size_t>(row * mask_stride + x / 8)));
      bmp.transparent.push_back((mask & (0x80 >> (x % 8))) != 0);
    }
  }
  return bmp;
}

struct Image {
  int size;
  int colours;  // 2, 16 or 256
};

const std::vector<Image> kLargeAndSmall = {{32, 16}, {16, 16}};
const std::vector<Image> kLargeOnly = {{32, 16}};
const std::vector<Image> kMonoLarge = {{32, 2}, {32, 16}};
const std::vector<Image> kMonoLargeLarge = {{32, 2}, {32, 16}, {32, 16}};
const std::vector<Image> kLargeMonoLarge = {{32, 16}, {32, 2}, {32, 16}};

struct Composition {
  std::vector<int> entries;
  const std::vector<Image>* images;
  std::size_t bytes;
};

const std::vector<Composition> kExceptions = {
    {{56, 64, 70, 71, 72, 86, 155, 156, 226, 227, 278, 279, 280, 432}, &kLargeOnly, 766},
    {{133, 209, 387, 501, 502}, &kMonoLarge, 1086},
    {{85, 208, 246, 449}, &kMonoLargeLarge, 1846},
    {{149, 231, 451}, &kLargeMonoLarge, 1846},
};

std::pair<const std::vector<Image>*, std::size_t> ExpectedComposition(int entry) {
  for (const Composition& c : kExceptions) {
    if (std::find(c.entries.begin(), c.entries.end(), entry) != c.entries.end()) {
      return {c.images, c.bytes};
    }
  }
  return {&kLargeAndSmall, 1078};
}

const std::vector<std::uint32_t> kStandardColours = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

void CheckIconFile(std::string_view file, const std::vector<Image>& images) {
  ASSERT_GE(file.size(), 6u);
  EXPECT_EQ(U16(file, 0), 0u) << "reserved";
  EXPECT_EQ(U16(file, 2), 1u) << "type icon";
  ASSERT_EQ(U16(file, 4), images.size());
  const std::vector<DirEntry> dir = ReadDirectory(file);
  std::size_t expected_offset = 6 + 16 * dir.size();
  for (std::size_t i = 0; i < dir.size(); ++i) {
    SCOPED_TRACE("image " + std::to_string(i + 1));
    const DirEntry& e = dir[i];
    EXPECT_EQ(e.width, images[i].size);
    EXPECT_EQ(e.height, images[i].size);
    EXPECT_EQ(e.colourCount, images[i].colours == 256 ? 0 : images[i].colours);
    EXPECT_EQ(e.reserved, 0);
    EXPECT_EQ(e.planes, 0);
    EXPECT_EQ(e.bitCount, 0);
    EXPECT_EQ(e.offset, expected_offset) << "images follow each other without gaps";
    ASSERT_LE(static_cast<std::size_t>(e.offset) + e.bytes, file.size());
    expected_offset += e.bytes;

    const Bitmap bmp = DecodeImage(file, e);
    EXPECT_EQ(bmp.width, images[i].size);
    EXPECT_EQ(bmp.height, images[i].size);
    EXPECT_EQ(1 << bmp.bits, images[i].colours);
    if (images[i].colours == 16) {
      EXPECT_EQ(bmp.palette, kStandardColours);
    } else if (images[i].colours == 2) {
      EXPECT_EQ(bmp.palette, (std::vector<std::uint32_t>{0, 0xFFFFFF}));
    }
    const auto transparent = std::count(bmp.transparent.begin(), bmp.transparent.end(), true);
    EXPECT_GT(transparent, 0) << "the mask cuts the motif out";
    EXPECT_LT(static_cast<double>(transparent), static_cast<double>(bmp.transparent.size()) / 1.2)
        << "the motif covers a fair part of the image";
    for (std::size_t p = 0; p < bmp.index.size(); ++p) {
      if (bmp.transparent[p]) {
        ASSERT_EQ(bmp.index[p], 0)
            << "a transparent pixel must be black so it leaves the screen as is";
      }
    }
  }
  EXPECT_EQ(expected_offset, file.size()) << "no bytes after the last image";
}

TEST(IconCatalogue, EveryEntryHasTheGivenComposition) {
  for (int entry = 1; entry <= kIconCount; ++entry) {
    SCOPED_TRACE("entry " + std::to_string(entry));
    const auto [images, bytes] = ExpectedComposition(entry);
    const std::string_view file = IconFile(entry);
    EXPECT_EQ(file.size(), bytes);
    CheckIconFile(file, *images);
  }
}

TEST(IconCatalogue, CountsOfEachCompositionAndTotalSize) {
  std::size_t total = 0;
  int counts[4] = {};  // 1078, 766, 1086, 1846 bytes
  for (int entry = 1; entry <= kIconCount; ++entry) {
    const std::size_t size = IconFile(entry).size();
    total += size;
    counts[0] += size == 1078;
    counts[1] += size == 766;
    counts[2] += size == 1086;
    counts[3] += size == 1846;
  }
  EXPECT_EQ(kIconCount, 511);
  EXPECT_EQ(total, 551906u);
  EXPECT_EQ(counts[0], 485);
  EXPECT_EQ(counts[1], 14);
  EXPECT_EQ(counts[2], 5);
  EXPECT_EQ(counts[3], 7);
}

TEST(IconCatalogue, IndexesOutsideTheCatalogueGiveNothing) {
  for (int index : {-1, 0, 512, 100000}) {
    EXPECT_TRUE(IconFile(index).empty()) << index;
  }
  EXPECT_FALSE(IconFile(1).empty());
  EXPECT_FALSE(IconFile(kIconCount).empty());
}

TEST(IconCatalogue, NoTwoEntriesAlike) {
  std::set<std::string_view> files;
  std::set<std::string> first_images;
  for (int entry = 1; entry <= kIconCount; ++entry) {
    const std::string_view file = IconFile(entry);
    EXPECT_TRUE(files.insert(file).second) << "entry " << entry << " repeats an earlier file";
    // Also compare the colour image a list shows, so entries differ in more than their layout.
    for (const DirEntry& e : ReadDirectory(file)) {
      if (e.colourCount == 16 && e.width == 32) {
        EXPECT_TRUE(first_images.insert(std::string(file.substr(e.offset, e.bytes))).second)
            << "entry " << entry << " looks like an earlier one";
        break;
      }
    }
  }
}

TEST(IconCatalogue, SmallImagesAreDrawnForTheirSize) {
  // A 16x16 image made by dropping every other pixel of the 32x32 one would add nothing.
  int own_drawings = 0;
  for (int entry = 1; entry <= kIconCount; ++entry) {
    const std::string_view file = IconFile(entry);
    const std::vector<DirEntry> dir = ReadDirectory(file);
    if (dir.size() != 2 || dir[1].width != 16) {
      continue;
    }
    const Bitmap large = DecodeImage(file, dir[0]);
    const Bitmap small = DecodeImage(file, dir[1]);
    int differing = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        differing += small.index[y * 16 + x] != large.index[(2 * y) * 32 + 2 * x];
      }
    }
    own_drawings += differing > 0;
  }
  EXPECT_EQ(own_drawings, 485);
}

TEST(DefaultIcon, IsOne32x32ImageWith256Colours) {
  const std::string_view file = DefaultIconFile();
  EXPECT_EQ(file.size(), 2238u);
  CheckIconFile(file, {{32, 256}});
  const Bitmap bmp = DecodeImage(file, ReadDirectory(file).at(0));
  std::set<int> used(bmp.index.begin(), bmp.index.end());
  EXPECT_GT(used.size(), 16u) << "uses more than the 16 standard colours";
}

TEST(DefaultIcon, IsNotACatalogueEntry) {
  for (int entry = 1; entry <= kIconCount; ++entry) {
    EXPECT_NE(IconFile(entry), DefaultIconFile());
  }
}

}  // namespace
}  // namespace tervando
