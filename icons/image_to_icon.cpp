#include "icons/image_to_icon.h"

#include <QBuffer>
#include <QByteArray>
#include <QColorSpace>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iterator>
#include <utility>
#include <vector>

#include "engine/page_file.h"
#include "icons/ico_reader.h"
#include "icons/ico_writer.h"

namespace tervando {

namespace {

// A picture file beyond this is no logo; refused before it is read into memory.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{256} << 20;
// Decoded pictures up to 1 GiB (16384 x 16384 pixels) are taken.
constexpr int kMaxDecodedMegabytes = 1024;

constexpr std::string_view kIconSignature("\0\0\1\0", 4);
constexpr std::string_view kFormatsText = "PNG, JPEG, GIF, BMP, WebP, SVG oder ICO";

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

IconFromImage Failed(std::string text) { return {{}, std::move(text)}; }

std::string NotReadable(const std::string& name) {
  return "Die Datei " + Quoted(name) + " ist kein Bild, das Tervando lesen kann (" +
         std::string(kFormatsText) + ").";
}

std::string Damaged(const std::string& name) {
  return "Das Bild in der Datei " + Quoted(name) + " ist beschädigt und lässt sich nicht lesen.";
}

std::string Empty(const std::string& name) {
  return "Das Bild in der Datei " + Quoted(name) + " ist leer: es hat keinen sichtbaren Bildpunkt.";
}

bool EndsWith(const std::string& name, std::string_view ending) {
  if (name.size() < ending.size()) {
    return false;
  }
  return std::equal(
      ending.begin(), ending.end(), name.end() - static_cast<long>(ending.size()),
      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

void IgnoreQtMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

// SVG text needs the font database, and that needs a QGuiApplication. The CLI has none; it gets
// one on the offscreen platform, which needs no display, for the rest of the process. Its
// start-up notes (no session folder on a server) are no news for the user.
void EnsureGuiApplication() {
  if (QCoreApplication::instance() != nullptr) {
    return;
  }
  static int argc = 3;
  static char program[] = "tervando";
  static char platformOption[] = "-platform";
  static char platform[] = "offscreen";
  static char* argv[] = {program, platformOption, platform, nullptr};
  const QtMessageHandler previous = qInstallMessageHandler(IgnoreQtMessage);
  static auto* application = new QGuiApplication(argc, argv);
  qInstallMessageHandler(previous);
  (void)application;
}

// The picture's size fitted into the square `side`, aspect kept.
QRectF FittedRect(QSizeF picture, int side) {
  const double scale = side / std::max(picture.width(), picture.height());
  const QSizeF fitted(std::min<double>(side, picture.width() * scale),
                      std::min<double>(side, picture.height() * scale));
  return {(side - fitted.width()) / 2, (side - fitted.height()) / 2, fitted.width(),
          fitted.height()};
}

QSize FittedPixels(QSize picture, int side) {
  const QRectF fitted = FittedRect(picture, side);
  return {std::max(1, qRound(fitted.width())), std::max(1, qRound(fitted.height()))};
}

// Four premultiplied pixels averaged, two channels at a time: each channel sum fits in 16 bits.
QRgb Mean4(QRgb a, QRgb b, QRgb c, QRgb d) {
  const std::uint32_t low =
      (a & 0x00FF00FF) + (b & 0x00FF00FF) + (c & 0x00FF00FF) + (d & 0x00FF00FF) + 0x00020002;
  const std::uint32_t high = ((a >> 8) & 0x00FF00FF) + ((b >> 8) & 0x00FF00FF) +
                             ((c >> 8) & 0x00FF00FF) + ((d >> 8) & 0x00FF00FF) + 0x00020002;
  return ((low >> 2) & 0x00FF00FF) | (((high >> 2) & 0x00FF00FF) << 8);
}

// The mean of a block of up to 3 x 3 pixels, for the last row and column of an odd size.
QRgb MeanOf(const QImage& source, int x0, int y0, int columns, int rows) {
  std::uint32_t sum[4] = {};
  for (int y = y0; y < y0 + rows; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    for (int x = x0; x < x0 + columns; ++x) {
      sum[0] += static_cast<std::uint32_t>(qAlpha(line[x]));
      sum[1] += static_cast<std::uint32_t>(qRed(line[x]));
      sum[2] += static_cast<std::uint32_t>(qGreen(line[x]));
      sum[3] += static_cast<std::uint32_t>(qBlue(line[x]));
    }
  }
  const auto n = static_cast<std::uint32_t>(columns * rows);
  const auto mean = [&](std::uint32_t total) { return static_cast<int>((total + n / 2) / n); };
  return qRgba(mean(sum[1]), mean(sum[2]), mean(sum[3]), mean(sum[0]));
}

// Half the size, each pixel the mean of its 2 x 2 block; with an odd size the last row or
// column also takes in the one left over. Premultiplied, so transparent pixels add no colour.
QImage Halve(const QImage& source) {
  const int w = source.width() / 2;
  const int h = source.height() / 2;
  QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
  if (out.isNull()) {
    return out;
  }
  const bool oddWidth = source.width() % 2 != 0;
  const bool oddHeight = source.height() % 2 != 0;
  for (int y = 0; y < h; ++y) {
    const auto* top = reinterpret_cast<const QRgb*>(source.constScanLine(2 * y));
    const auto* bottom = reinterpret_cast<const QRgb*>(source.constScanLine(2 * y + 1));
    auto* target = reinterpret_cast<QRgb*>(out.scanLine(y));
    const bool lastRow = y == h - 1;
    for (int x = 0; x < w; ++x) {
      if ((lastRow && oddHeight) || (x == w - 1 && oddWidth)) {
        target[x] = MeanOf(source, 2 * x, 2 * y, x == w - 1 && oddWidth ? 3 : 2,
                           lastRow && oddHeight ? 3 : 2);
      } else {
        target[x] = Mean4(top[2 * x], top[2 * x + 1], bottom[2 * x], bottom[2 * x + 1]);
      }
    }
  }
  return out;
}

// The 32-bit bitmap of one size; fully transparent pixels are black and masked, so readers
// without alpha leave the screen as it is there.
std::string BitmapPayload(const QImage& straight) {
  IcoBitmap bitmap;
  bitmap.width = straight.width();
  bitmap.height = straight.height();
  bitmap.bitCount = 32;
  for (int y = 0; y < straight.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
    for (int x = 0; x < straight.width(); ++x) {
      const bool clear = qAlpha(line[x]) == 0;
      bitmap.pixels.push_back(clear ? 0u : line[x]);
      bitmap.transparent.push_back(clear);
    }
  }
  return EncodeIcoBitmap(bitmap);
}

std::string PngPayload(const QImage& straight) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  straight.save(&buffer, "PNG");
  return png.toStdString();
}

bool HasVisiblePixel(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    if (std::any_of(line, line + image.width(), [](QRgb p) { return qAlpha(p) != 0; })) {
      return true;
    }
  }
  return false;
}

// The icon file of the squares drawn for kIconSizes (premultiplied, in the picture's colour
// space); empty when the largest shows nothing.
std::string EncodeSquares(std::vector<QImage> squares, const QColorSpace& colourSpace) {
  if (squares.empty() || !HasVisiblePixel(squares.back())) {
    return {};
  }
  std::vector<IcoEntry> entries;
  for (QImage& square : squares) {
    // Browsers take an icon without a colour profile as sRGB.
    if (colourSpace.isValid() && colourSpace != QColorSpace(QColorSpace::SRgb)) {
      square.setColorSpace(colourSpace);
      square.convertToColorSpace(QColorSpace::SRgb);
    }
    square.setColorSpace(QColorSpace());
    square.convertTo(QImage::Format_ARGB32);
    const int side = square.width();
    if (side >= 256) {
      entries.push_back({side, side, 0, 1, 32, PngPayload(square)});
    } else {
      entries.push_back({side, side, 0, 1, 32, BitmapPayload(square)});
    }
  }
  return WriteIcoFile(entries);
}

IconFromImage IconFromIconFile(std::string_view bytes, const std::string& name) {
  const auto directory = ReadIcoDirectory(bytes);
  if (!directory) {
    return Failed("Die Datei " + Quoted(name) + " ist keine gültige Icon-Datei.");
  }
  // Every image must show, or a browser may pick the one that does not.
  const QByteArray data =
      QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ico");
  for (int i = 0; i < static_cast<int>(directory->size()); ++i) {
    if (!reader.jumpToImage(i) || reader.read().isNull()) {
      return Failed("Die Icon-Datei " + Quoted(name) + " ist beschädigt: Bild " +
                    std::to_string(i + 1) + " lässt sich nicht lesen.");
    }
  }
  return {std::string(bytes), {}};
}

IconFromImage IconFromSvg(std::string_view bytes, const std::string& name) {
  EnsureGuiApplication();
  QSvgRenderer renderer(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!renderer.isValid()) {
    return Failed("Die SVG-Zeichnung in der Datei " + Quoted(name) +
                  " ist beschädigt und lässt sich nicht lesen.");
  }
  QSizeF size = renderer.viewBoxF().size();
  if (size.isEmpty()) {
    size = renderer.defaultSize();
  }
  if (size.isEmpty()) {
    return Failed(Empty(name));
  }
  // Drawn afresh at every size, so each is as sharp as the drawing allows.
  std::vector<QImage> squares;
  for (const int side : kIconSizes) {
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, FittedRect(size, side));
    painter.end();
    squares.push_back(std::move(square));
  }
  std::string icon = EncodeSquares(std::move(squares), QColorSpace());
  if (icon.empty()) {
    return Failed(Empty(name));
  }
  return {std::move(icon), {}};
}

}  // namespace

std::string IconFromPicture(QImage picture) {
  if (picture.isNull() || picture.width() < 1 || picture.height() < 1) {
    return {};
  }
  const QColorSpace colourSpace = picture.colorSpace();
  const QSize size = picture.size();
  // In place for the usual 32-bit formats; others are copied once.
  picture.convertTo(QImage::Format_ARGB32_Premultiplied);
  if (picture.isNull()) {
    return {};
  }
  // Largest size first, so each size halves on from the one before.
  std::vector<QImage> squares;
  QImage current = std::move(picture);
  for (auto it = std::rbegin(kIconSizes); it != std::rend(kIconSizes); ++it) {
    const int side = *it;
    const QSize fitted = FittedPixels(size, side);
    // Halving keeps every source pixel's share; the last, smooth step is then below 2:1.
    while (current.width() >= 2 * fitted.width() && current.height() >= 2 * fitted.height()) {
      QImage half = Halve(current);
      if (half.isNull()) {
        return {};
      }
      current = std::move(half);
    }
    const QImage scaled = current.size() == fitted ? current
                                                   : current.scaled(fitted, Qt::IgnoreAspectRatio,
                                                                    Qt::SmoothTransformation);
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    const int left = (side - fitted.width()) / 2;
    const int top = (side - fitted.height()) / 2;
    for (int y = 0; y < fitted.height(); ++y) {
      std::memcpy(square.scanLine(top + y) + 4 * left, scaled.constScanLine(y),
                  4 * static_cast<std::size_t>(fitted.width()));
    }
    squares.push_back(std::move(square));
  }
  std::reverse(squares.begin(), squares.end());
  return EncodeSquares(std::move(squares), colourSpace);
}

IconFromImage IconFromImageBytes(std::string_view bytes, const std::string& name) {
  if (bytes.empty()) {
    return Failed("Die Datei " + Quoted(name) + " ist leer.");
  }
  if (bytes.substr(0, kIconSignature.size()) == kIconSignature) {
    return IconFromIconFile(bytes, name);
  }
  const QByteArray data =
      QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QByteArray format = reader.format();
  if (format == "svg" || format == "svgz" ||
      (format.isEmpty() && (EndsWith(name, ".svg") || EndsWith(name, ".svgz")))) {
    return IconFromSvg(bytes, name);
  }
  static const QByteArrayList kPictureFormats = {"png", "jpeg", "gif", "bmp", "webp"};
  if (!kPictureFormats.contains(format)) {
    return Failed(NotReadable(name));
  }
  reader.setAutoTransform(true);  // a photo stands as it was taken
  reader.setAllocationLimit(kMaxDecodedMegabytes);
  const QSize size = reader.size();
  if (size.isValid() && size.isEmpty()) {
    return Failed(Empty(name));
  }
  if (size.isValid() &&
      4.0 * size.width() * size.height() > kMaxDecodedMegabytes * 1024.0 * 1024.0) {
    return Failed("Das Bild in der Datei " + Quoted(name) + " ist mit " +
                  std::to_string(size.width()) + " × " + std::to_string(size.height()) +
                  " Bildpunkten zu groß für Tervando.");
  }
  QImage picture = reader.read();
  if (picture.isNull()) {
    return Failed(Damaged(name));
  }
  std::string icon = IconFromPicture(std::move(picture));
  if (icon.empty()) {
    return Failed(Empty(name));
  }
  return {std::move(icon), {}};
}

IconFromImage IconFromImageFile(const std::string& path) {
  std::error_code error;
  const std::uintmax_t fileBytes = std::filesystem::file_size(path, error);
  if (!error && fileBytes > kMaxFileBytes) {
    return Failed("Die Datei " + Quoted(path) + " ist mit " + std::to_string(fileBytes >> 20) +
                  " MB zu groß für ein Bild.");
  }
  std::string bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const std::exception& failure) {
    return Failed(std::string("Das Bild lässt sich nicht lesen (") + failure.what() + ").");
  }
  return IconFromImageBytes(bytes, path);
}

}  // namespace tervando
