#include "ico_encoder.h"

#include <stdexcept>

#include "icons/ico_writer.h"
#include "palette.h"

namespace tervando::icongen {

namespace {

const std::vector<QRgb>& PaletteFor(IcoDepth depth) {
  switch (depth) {
    case IcoDepth::kMonochrome:
      return PaletteMono();
    case IcoDepth::kColours16:
      return Palette16();
    case IcoDepth::kColours256:
      break;
  }
  return Palette256();
}

int BitsFor(IcoDepth depth) {
  switch (depth) {
    case IcoDepth::kMonochrome:
      return 1;
    case IcoDepth::kColours16:
      return 4;
    case IcoDepth::kColours256:
      break;
  }
  return 8;
}

bool IsOpaque(QRgb pixel) { return qAlpha(pixel) >= 128; }

// Transparent pixels carry colour index 0 (black), so old readers leave the screen as it is.
std::string EncodeImage(const IcoImage& entry) {
  const QImage image = entry.image.convertToFormat(QImage::Format_ARGB32);
  const std::vector<QRgb>& palette = PaletteFor(entry.depth);
  IcoBitmap bitmap;
  bitmap.width = image.width();
  bitmap.height = image.height();
  bitmap.bitCount = BitsFor(entry.depth);
  bitmap.palette.assign(palette.begin(), palette.end());
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      const bool opaque = IsOpaque(pixel);
      bitmap.pixels.push_back(opaque ? static_cast<std::uint32_t>(NearestIndex(palette, pixel))
                                     : 0);
      bitmap.transparent.push_back(!opaque);
    }
  }
  return EncodeIcoBitmap(bitmap);
}

}  // namespace

QByteArray EncodeIco(const std::vector<IcoImage>& images) {
  if (images.empty()) {
    throw std::invalid_argument("an icon file needs at least one image");
  }
  // The catalogue's directory entries leave planes and bit count 0, as its first files did.
  std::vector<IcoEntry> entries;
  for (const IcoImage& image : images) {
    const int colours = static_cast<int>(PaletteFor(image.depth).size());
    entries.push_back({image.image.width(), image.image.height(), colours >= 256 ? 0 : colours, 0,
                       0, EncodeImage(image)});
  }
  const std::string file = WriteIcoFile(entries);
  return QByteArray(file.data(), static_cast<qsizetype>(file.size()));
}

QImage Quantise(const QImage& source, IcoDepth depth) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  const std::vector<QRgb>& palette = PaletteFor(depth);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      image.setPixel(x, y, IsOpaque(pixel) ? palette[NearestIndex(palette, pixel)] : 0u);
    }
  }
  return image;
}

}  // namespace tervando::icongen
