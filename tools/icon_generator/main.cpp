// Draws the icon catalogue and the program's artwork into the source tree and writes contact
// sheets of the catalogue into a build folder for review.
//
//   tervando_icon_generator <icons source folder> <contact sheet folder>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <cstdio>

#include "artwork.h"
#include "catalogue_plan.h"
#include "icons/ico_reader.h"

namespace {

using namespace tervando::icongen;

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
    return false;
  }
  return true;
}

// The first colour image of `size`, decoded the way the program decodes it.
QImage DecodeBest(const QByteArray& bytes, int size) {
  const auto directory =
      tervando::ReadIcoDirectory(std::string_view(bytes.constData(), bytes.size()));
  if (!directory) {
    return {};
  }
  for (std::size_t i = 0; i < directory->size(); ++i) {
    const tervando::IcoDirEntry& entry = (*directory)[i];
    if (entry.width != size || entry.colourCount == 2) {
      continue;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "ico");
    reader.jumpToImage(static_cast<int>(i));
    return reader.read();
  }
  return {};
}

QImage ContactSheet(const std::vector<QByteArray>& files, int size) {
  const int columns = 16;
  const int cell_w = std::max(size + 16, 40);
  const int cell_h = size + 18;
  const int rows = (static_cast<int>(files.size()) + columns - 1) / columns;
  QImage sheet(columns * cell_w, rows * cell_h, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  QPainter p(&sheet);
  QFont font("DejaVu Sans");
  font.setPixelSize(10);
  p.setFont(font);
  for (int i = 0; i < static_cast<int>(files.size()); ++i) {
    const int x = (i % columns) * cell_w;
    const int y = (i / columns) * cell_h;
    QImage image = DecodeBest(files[i], size);
    if (image.isNull()) {
      // No image of this size: show what a browser would make of the large one, in grey frame.
      image = DecodeBest(files[i], 32)
                  .scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      p.setPen(QColor(200, 200, 200));
      p.drawRect(x + (cell_w - size) / 2 - 1, y + 1, size + 1, size + 1);
    }
    p.drawImage(x + (cell_w - size) / 2, y + 2, image);
    p.setPen(Qt::black);
    p.drawText(QRect(x, y + size + 3, cell_w, 14), Qt::AlignHCenter, QString::number(i + 1));
  }
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: tervando_icon_generator <icons folder> <sheet folder>\n");
    return 2;
  }
  const QDir source(QString::fromLocal8Bit(argv[1]));
  const QDir sheets(QString::fromLocal8Bit(argv[2]));
  if (!source.mkpath("catalogue") || !source.mkpath("art") || !sheets.mkpath(".")) {
    std::fprintf(stderr, "cannot create the output folders\n");
    return 1;
  }

  std::vector<QByteArray> files;
  for (int entry = 1; entry <= kCatalogueSize; ++entry) {
    files.push_back(BuildEntryFile(entry));
    const QString name = QString("catalogue/%1.ico").arg(entry, 3, 10, QChar('0'));
    if (!WriteFile(source.filePath(name), files.back())) {
      return 1;
    }
  }
  for (const ArtFile& art : BuildArtwork()) {
    if (!WriteFile(source.filePath("art/" + art.name), art.bytes)) {
      return 1;
    }
  }
  for (int size : {32, 16}) {
    const QString path = sheets.filePath(QString("catalogue_%1px.png").arg(size));
    if (!ContactSheet(files, size).save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  std::printf("icon catalogue and artwork written to %s, contact sheets to %s\n",
              qPrintable(source.absolutePath()), qPrintable(sheets.absolutePath()));
  return 0;
}
