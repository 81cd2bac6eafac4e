#include "catalogue_plan.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "badges.h"
#include "ico_encoder.h"
#include "pictograms.h"

namespace tervando::icongen {

namespace {

// Light and dark neighbours side by side, so a row of one pictogram reads as a colour chart.
constexpr std::array<Std, kStdCount> kPictogramColours = {
    Std::kRed,   Std::kMaroon, Std::kYellow, Std::kOlive, Std::kLime,    Std::kGreen,
    Std::kAqua,  Std::kTeal,   Std::kBlue,   Std::kNavy,  Std::kFuchsia, Std::kPurple,
    Std::kWhite, Std::kSilver, Std::kGray,   Std::kBlack,
};

// Badge colours follow each other so that neighbouring monograms differ clearly.
constexpr std::array<Std, kStdCount> kBadgeColours = {
    Std::kRed,    Std::kBlue,  Std::kGreen,   Std::kPurple, Std::kTeal, Std::kMaroon,
    Std::kNavy,   Std::kOlive, Std::kFuchsia, Std::kBlack,  Std::kGray, Std::kAqua,
    Std::kYellow, Std::kLime,  Std::kSilver,  Std::kWhite,
};

struct BadgeSet {
  const char* signs;
  BadgeShape shape;
};

constexpr BadgeSet kBadgeSets[] = {
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", BadgeShape::kCircle},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", BadgeShape::kRoundedSquare},
    {"0123456789", BadgeShape::kCircle},
    {"0123456789", BadgeShape::kRoundedSquare},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", BadgeShape::kShield},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", BadgeShape::kHexagon},
    {"@&?", BadgeShape::kCircle},
};

constexpr int kLargeOnly[] = {56, 64, 70, 71, 72, 86, 155, 156, 226, 227, 278, 279, 280, 432};
constexpr int kMonoLarge[] = {133, 209, 387, 501, 502};
constexpr int kMonoLargeLarge[] = {85, 208, 246, 449};
constexpr int kLargeMonoLarge[] = {149, 231, 451};

template <std::size_t N>
bool Contains(const int (&list)[N], int entry) {
  return std::find(std::begin(list), std::end(list), entry) != std::end(list);
}

Colours OwnColours(Std fill) { return {fill, DarkPartner(fill)}; }

// Monochrome images show the motif as black lines on white.
constexpr Colours kMonoColours = {Std::kWhite, Std::kBlack};

QImage RenderWith(int entry, int size, const Colours* override_colours) {
  const auto& pictograms = Pictograms();
  const int pictogram_entries = static_cast<int>(pictograms.size()) * kStdCount;
  const int index = entry - 1;
  if (index < pictogram_entries) {
    const Colours own = OwnColours(kPictogramColours[index % kStdCount]);
    return RenderPictogram(pictograms[index / kStdCount],
                           override_colours ? *override_colours : own, size);
  }
  int rest = index - pictogram_entries;
  int colour_offset = 0;
  for (const BadgeSet& set : kBadgeSets) {
    const int count = static_cast<int>(std::char_traits<char>::length(set.signs));
    if (rest < count) {
      const Colours own = OwnColours(kBadgeColours[(rest + colour_offset) % kStdCount]);
      return RenderBadge(QString(QChar(set.signs[rest])), set.shape,
                         override_colours ? *override_colours : own, size);
    }
    rest -= count;
    colour_offset += 5;
  }
  throw std::out_of_range("no motif for catalogue entry " + std::to_string(entry));
}

// The second 16-colour image of the three-image entries: the motif in darker colours.
QImage RenderDarker(int entry) {
  const QImage own = RenderEntry(entry, 32);
  QImage darker = own;
  for (int y = 0; y < darker.height(); ++y) {
    for (int x = 0; x < darker.width(); ++x) {
      const QRgb pixel = own.pixel(x, y);
      if (qAlpha(pixel) < 128) {
        continue;
      }
      for (int c = 0; c < kStdCount; ++c) {
        if (StdRgb(static_cast<Std>(c)) == (pixel | 0xFF000000u)) {
          darker.setPixel(x, y, StdRgb(DarkPartner(static_cast<Std>(c))));
          break;
        }
      }
    }
  }
  return darker;
}

}  // namespace

EntryLayout LayoutOf(int entry) {
  if (Contains(kLargeOnly, entry)) {
    return EntryLayout::kLargeOnly;
  }
  if (Contains(kMonoLarge, entry)) {
    return EntryLayout::kMonoLarge;
  }
  if (Contains(kMonoLargeLarge, entry)) {
    return EntryLayout::kMonoLargeLarge;
  }
  if (Contains(kLargeMonoLarge, entry)) {
    return EntryLayout::kLargeMonoLarge;
  }
  return EntryLayout::kLargeAndSmall;
}

QImage RenderEntry(int entry, int size) { return RenderWith(entry, size, nullptr); }

QByteArray BuildEntryFile(int entry) {
  if (entry < 1 || entry > kCatalogueSize) {
    throw std::out_of_range("catalogue entry " + std::to_string(entry));
  }
  const IcoImage large{RenderEntry(entry, 32), IcoDepth::kColours16};
  const IcoImage mono{RenderWith(entry, 32, &kMonoColours), IcoDepth::kMonochrome};
  switch (LayoutOf(entry)) {
    case EntryLayout::kLargeAndSmall:
      return EncodeIco({large, {RenderEntry(entry, 16), IcoDepth::kColours16}});
    case EntryLayout::kLargeOnly:
      return EncodeIco({large});
    case EntryLayout::kMonoLarge:
      return EncodeIco({mono, large});
    case EntryLayout::kMonoLargeLarge:
      return EncodeIco({mono, large, {RenderDarker(entry), IcoDepth::kColours16}});
    case EntryLayout::kLargeMonoLarge:
      return EncodeIco({large, mono, {RenderDarker(entry), IcoDepth::kColours16}});
  }
  return {};
}

}  // namespace tervando::icongen
