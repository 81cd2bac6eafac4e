#include "icons/icon_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace tervando {

namespace {

struct Candidate {
  int index = -1;
  int width = 0;
  int colours = 0;
};

int Byte(std::string_view bytes, std::size_t at) { return static_cast<unsigned char>(bytes[at]); }

// Chooses from the icon directory without trusting it: a damaged directory gives no choice.
Candidate ChooseImage(std::string_view file, int size) {
  Candidate best;
  if (file.size() < 6 || Byte(file, 0) != 0 || Byte(file, 1) != 0 || Byte(file, 2) != 1 ||
      Byte(file, 3) != 0) {
    return best;
  }
  const std::size_t count = Byte(file, 4) | Byte(file, 5) << 8;
  if (count == 0 || 6 + 16 * count > file.size()) {
    return best;
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = 6 + 16 * i;
    const int width = Byte(file, at) == 0 ? 256 : Byte(file, at);
    // A colour count of 0 stands for 256 colours or more.
    const int colours = Byte(file, at + 2) == 0 ? 256 : Byte(file, at + 2);
    const bool fits = width == size;
    const bool best_fits = best.width == size;
    const bool better =
        best.index < 0 || (fits && !best_fits) ||
        (fits == best_fits &&
         (fits ? colours > best.colours
               : width > best.width || (width == best.width && colours > best.colours)));
    if (better) {
      best = {static_cast<int>(i), width, colours};
    }
  }
  return best;
}

}  // namespace

QImage DecodeIconImage(std::string_view file, int size) {
  const QByteArray bytes =
      QByteArray::fromRawData(file.data(), static_cast<qsizetype>(file.size()));
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  const Candidate choice = ChooseImage(file, size);
  if (choice.index >= 0) {
    QImageReader reader(&buffer, "ico");
    if (reader.jumpToImage(choice.index)) {
      QImage image = reader.read();
      if (!image.isNull()) {
        return image;
      }
    }
    buffer.seek(0);
  }
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  return reader.read();
}

}  // namespace tervando
