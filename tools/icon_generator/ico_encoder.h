#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace tervando::icongen {

enum class IcoDepth { kMonochrome, kColours16, kColours256 };

// One image of an icon file: its picture (alpha below 128 counts as transparent) and the
// palette depth it is stored with.
struct IcoImage {
  QImage image;
  IcoDepth depth;
};

// A complete icon file: header, one directory entry per image (planes and bit count left 0,
// the colour count filled in), then each image as bitmap header, palette, colour bitmap and
// transparency mask. Transparent pixels carry colour index 0 and mask bit 1.
QByteArray EncodeIco(const std::vector<IcoImage>& images);

// The picture as it will look once stored: every opaque pixel moved to the nearest colour of
// the depth's palette, alpha reduced to fully opaque or fully transparent.
QImage Quantise(const QImage& image, IcoDepth depth);

}  // namespace tervando::icongen
