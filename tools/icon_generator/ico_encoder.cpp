#include "ico_encoder.h"

#include <QtEndian>
#include <stdexcept>

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

int RowStride(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

void PutU16(QByteArray& out, int value) {
  out.append(static_cast<char>(value & 0xFF));
  out.append(static_cast<char>((value >> 8) & 0xFF));
}

void PutU32(QByteArray& out, quint32 value) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.append(static_cast<char>((value >> shift) & 0xFF));
  }
}

bool IsOpaque(QRgb pixel) { return qAlpha(pixel) >= 128; }

QByteArray EncodeImage(const IcoImage& entry) {
  const QImage image = entry.image.convertToFormat(QImage::Format_ARGB32);
  const int w = image.width();
  const int h = image.height();
  const int bits = BitsFor(entry.depth);
  const std::vector<QRgb>& palette = PaletteFor(entry.depth);
  const int colour_stride = RowStride(w, bits);
  const int mask_stride = RowStride(w, 1);

  QByteArray out;
  PutU32(out, 40);
  PutU32(out, static_cast<quint32>(w));
  PutU32(out, static_cast<quint32>(h * 2));  // colour bitmap and mask stacked
  PutU16(out, 1);
  PutU16(out, bits);
  PutU32(out, 0);
  PutU32(out, static_cast<quint32>((colour_stride + mask_stride) * h));
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  for (QRgb colour : palette) {
    out.append(static_cast<char>(qBlue(colour)));
    out.append(static_cast<char>(qGreen(colour)));
    out.append(static_cast<char>(qRed(colour)));
    out.append('\0');
  }

  QByteArray colours(static_cast<qsizetype>(colour_stride) * h, '\0');
  QByteArray mask(static_cast<qsizetype>(mask_stride) * h, '\0');
  for (int y = 0; y < h; ++y) {
    const int row = h - 1 - y;  // bitmaps are stored bottom-up
    for (int x = 0; x < w; ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (!IsOpaque(pixel)) {
        mask[row * mask_stride + x / 8] =
            static_cast<char>(mask[row * mask_stride + x / 8] | (0x80 >> (x % 8)));
        continue;
      }
      const int index = NearestIndex(palette, pixel);
      const int bit_offset = x * bits;
      const int byte = row * colour_stride + bit_offset / 8;
      const int shift = 8 - bits - bit_offset % 8;
      colours[byte] = static_cast<char>(colours[byte] | (index << shift));
    }
  }
  out.append(colours);
  out.append(mask);
  return out;
}

}  // namespace

QByteArray EncodeIco(const std::vector<IcoImage>& images) {
  if (images.empty()) {
    throw std::invalid_argument("an icon file needs at least one image");
  }
  QByteArray out;
  PutU16(out, 0);
  PutU16(out, 1);
  PutU16(out, static_cast<int>(images.size()));
  std::vector<QByteArray> encoded;
  encoded.reserve(images.size());
  for (const IcoImage& image : images) {
    encoded.push_back(EncodeImage(image));
  }
  quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int w = images[i].image.width();
    const int h = images[i].image.height();
    const int colours = static_cast<int>(PaletteFor(images[i].depth).size());
    out.append(static_cast<char>(w >= 256 ? 0 : w));
    out.append(static_cast<char>(h >= 256 ? 0 : h));
    out.append(static_cast<char>(colours >= 256 ? 0 : colours));
    out.append('\0');
    PutU16(out, 0);  // planes
    PutU16(out, 0);  // bit count
    PutU32(out, static_cast<quint32>(encoded[i].size()));
    PutU32(out, offset);
    offset += static_cast<quint32>(encoded[i].size());
  }
  for (const QByteArray& bytes : encoded) {
    out.append(bytes);
  }
  return out;
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
