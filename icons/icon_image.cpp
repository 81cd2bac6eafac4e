#include "icons/icon_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>

#include "icons/ico_reader.h"

namespace tervando {

namespace {

struct Candidate {
  int index = -1;
  int width = 0;
  int colours = 0;
};

// Chooses from the icon directory without trusting it: a damaged directory gives no choice.
Candidate ChooseImage(std::string_view file, int size) {
  Candidate best;
  const auto directory = ReadIcoDirectory(file);
  if (!directory) {
    return best;
  }
  for (std::size_t i = 0; i < directory->size(); ++i) {
    const IcoDirEntry& entry = (*directory)[i];
    const int width = entry.width;
    // A colour count of 0 stands for 256 colours or more; the bit count, where given, says how
    // many more.
    const int colours = entry.colourCount != 0 ? entry.colourCount
                        : entry.bitCount > 8   ? 1 << std::min(entry.bitCount, 24)
                                               : 256;
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
