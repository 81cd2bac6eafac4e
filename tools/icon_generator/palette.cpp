#include "palette.h"

#include <limits>

namespace tervando::icongen {

namespace {

constexpr QRgb kStandard[kStdCount] = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

}  // namespace

QRgb StdRgb(Std colour) { return kStandard[static_cast<int>(colour)]; }

QColor StdColor(Std colour) { return QColor::fromRgb(StdRgb(colour)); }

Std DarkPartner(Std colour) {
  switch (colour) {
    case Std::kBlack:
    case Std::kSilver:
    case Std::kWhite:
      return Std::kGray;
    case Std::kRed:
      return Std::kMaroon;
    case Std::kLime:
      return Std::kGreen;
    case Std::kYellow:
      return Std::kOlive;
    case Std::kBlue:
      return Std::kNavy;
    case Std::kFuchsia:
      return Std::kPurple;
    case Std::kAqua:
      return Std::kTeal;
    default:
      return Std::kBlack;
  }
}

bool IsLight(Std colour) {
  switch (colour) {
    case Std::kSilver:
    case Std::kWhite:
    case Std::kYellow:
    case Std::kLime:
    case Std::kAqua:
      return true;
    default:
      return false;
  }
}

const std::vector<QRgb>& Palette16() {
  static const std::vector<QRgb> palette(std::begin(kStandard), std::end(kStandard));
  return palette;
}

const std::vector<QRgb>& PaletteMono() {
  static const std::vector<QRgb> palette = {0xFF000000, 0xFFFFFFFF};
  return palette;
}

const std::vector<QRgb>& Palette256() {
  static const std::vector<QRgb> palette = [] {
    std::vector<QRgb> p(std::begin(kStandard), std::end(kStandard));
    for (int r = 0; r < 6; ++r) {
      for (int g = 0; g < 6; ++g) {
        for (int b = 0; b < 6; ++b) {
          p.push_back(qRgb(r * 51, g * 51, b * 51));
        }
      }
    }
    for (int i = 0; p.size() < 256; ++i) {
      const int v = 8 + i * 10;
      p.push_back(qRgb(v, v, v));
    }
    return p;
  }();
  return palette;
}

int NearestIndex(const std::vector<QRgb>& palette, QRgb rgb) {
  int best = 0;
  long best_distance = std::numeric_limits<long>::max();
  for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
    // Weighted so that green differences count more, as the eye sees them.
    const long dr = qRed(rgb) - qRed(palette[i]);
    const long dg = qGreen(rgb) - qGreen(palette[i]);
    const long db = qBlue(rgb) - qBlue(palette[i]);
    const long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best = i;
    }
  }
  return best;
}

}  // namespace tervando::icongen
