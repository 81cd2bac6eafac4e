#pragma once

#include <QColor>
#include <QImage>
#include <vector>

namespace tervando::icongen {

// The 16 standard colours in their classic palette order.
enum class Std : int {
  kBlack,
  kMaroon,
  kGreen,
  kOlive,
  kNavy,
  kPurple,
  kTeal,
  kSilver,
  kGray,
  kRed,
  kLime,
  kYellow,
  kBlue,
  kFuchsia,
  kAqua,
  kWhite
};
inline constexpr int kStdCount = 16;

QRgb StdRgb(Std colour);
QColor StdColor(Std colour);
// The colour used for outlines and inner lines of a shape filled with `colour`.
Std DarkPartner(Std colour);
// True when dark text reads better than white text on `colour`.
bool IsLight(Std colour);

const std::vector<QRgb>& Palette16();
const std::vector<QRgb>& PaletteMono();
// The 16 standard colours, a 6x6x6 colour cube and 24 greys.
const std::vector<QRgb>& Palette256();

// Index of the palette colour nearest to `rgb`.
int NearestIndex(const std::vector<QRgb>& palette, QRgb rgb);

}  // namespace tervando::icongen
