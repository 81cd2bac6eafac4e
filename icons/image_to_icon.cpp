#include "icons/image_to_icon.h"

#include <QBuffer>
#include <QByteArray>
#include <QColorSpace>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "engine/messages.h"
#include "engine/page_file.h"
#include "engine/parallel.h"
#include "icons/ico_reader.h"
#include "icons/ico_writer.h"
#include "icons/svg_text.h"

#if defined(__SANITIZE_ADDRESS__)
#define TERVANDO_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TERVANDO_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef TERVANDO_ADDRESS_SANITIZER
// The offscreen QGuiApplication made for SVG text lives to the end of the process, and fontconfig
// below it keeps a little memory unreachable then: no leak of the program's.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace tervando {

namespace {

// A picture file beyond this is no logo; refused before it is read into memory.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{256} << 20;
// Decoded pictures up to 1 GiB (16384 x 16384 pixels) are taken.
constexpr int kMaxDecodedMegabytes = 1024;

constexpr std::string_view kIconSignature("\0\0\1\0", 4);

IconFromImage Failed(std::string text) { return {{}, std::move(text), {}}; }

bool ReadsWebP() { return QImageReader::supportedImageFormats().contains("webp"); }

std::string NotReadable(const std::string& name) {
  return PictureNotReadableText(name, ReadsWebP());
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
// one on the offscreen platform, which needs no display, while a drawing is drawn. Its start-up
// notes (no session folder on a server) are no news for the user.
class OffscreenGuiApplication {
 public:
  OffscreenGuiApplication() {
    if (QCoreApplication::instance() != nullptr) {
      return;
    }
    const QtMessageHandler previous = qInstallMessageHandler(IgnoreQtMessage);
    m_application = std::make_unique<QGuiApplication>(m_argc, m_argv.data());
    qInstallMessageHandler(previous);
  }
  OffscreenGuiApplication(const OffscreenGuiApplication&) = delete;
  OffscreenGuiApplication& operator=(const OffscreenGuiApplication&) = delete;

 private:
  // The application keeps argc and argv for its whole life.
  int m_argc = 3;
  char m_program[9] = "tervando";
  char m_platformOption[10] = "-platform";
  char m_platform[10] = "offscreen";
  std::array<char*, 4> m_argv{m_program, m_platformOption, m_platform, nullptr};
  std::unique_ptr<QGuiApplication> m_application;  // last: goes before its arguments
};

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

// Rows [first, last) of Shrink's result. Red and blue, and green and alpha, are summed two at a
// time in the halves of 64-bit words; a half holds under 4 factor^2 pixels of at most 255 x 255,
// with factor at most 32 for the largest picture taken.
template <bool kStraightAlpha>
void ShrinkRows(const QImage& source, int factor, QImage& out, int first, int last) {
  const int w = out.width();
  const int h = out.height();
  std::vector<std::uint64_t> sums(2 * static_cast<std::size_t>(w));
  for (int y = first; y < last; ++y) {
    std::fill(sums.begin(), sums.end(), 0u);
    const int rowEnd = y == h - 1 ? source.height() : (y + 1) * factor;
    for (int row = y * factor; row < rowEnd; ++row) {
      const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(row));
      for (int x = 0; x < w; ++x) {
        const int columnEnd = x == w - 1 ? source.width() : (x + 1) * factor;
        std::uint64_t redBlue = 0;
        std::uint64_t greenAlpha = 0;
        for (int column = x * factor; column < columnEnd; ++column) {
          const std::uint64_t p = line[column];
          const std::uint64_t rb = ((p & 0xFF0000) << 16) | (p & 0xFF);
          const std::uint64_t g = (p >> 8) & 0xFF;
          const std::uint64_t a = p >> 24;
          if constexpr (kStraightAlpha) {
            redBlue += rb * a;
            greenAlpha += (a << 32) | (g * a);
          } else {
            redBlue += rb;
            greenAlpha += (a << 32) | g;
          }
        }
        sums[2 * static_cast<std::size_t>(x)] += redBlue;
        sums[2 * static_cast<std::size_t>(x) + 1] += greenAlpha;
      }
    }
    auto* target = reinterpret_cast<QRgb*>(out.scanLine(y));
    const auto rows = static_cast<std::uint64_t>(rowEnd - y * factor);
    for (int x = 0; x < w; ++x) {
      const int columnEnd = x == w - 1 ? source.width() : (x + 1) * factor;
      const std::uint64_t n = rows * static_cast<std::uint64_t>(columnEnd - x * factor);
      const std::uint64_t colourDivisor = kStraightAlpha ? n * 255 : n;
      const auto mean = [](std::uint64_t total, std::uint64_t divisor) {
        return static_cast<int>((total + divisor / 2) / divisor);
      };
      const std::uint64_t redBlue = sums[2 * static_cast<std::size_t>(x)];
      const std::uint64_t greenAlpha = sums[2 * static_cast<std::size_t>(x) + 1];
      target[x] =
          qRgba(mean(redBlue >> 32, colourDivisor), mean(greenAlpha & 0xFFFFFFFF, colourDivisor),
                mean(redBlue & 0xFFFFFFFF, colourDivisor), mean(greenAlpha >> 32, n));
    }
  }
}

// The picture reduced by `factor` in one pass: each pixel the mean of its factor x factor block,
// the last row and column also taking in the pixels left over. For a power of two this is what
// halving `factor` times gives, without the pictures in between. Straight alpha is weighted,
// so transparent pixels add no colour; the result is premultiplied. Big pictures are shared
// out among the processor's cores by rows.
template <bool kStraightAlpha>
QImage Shrink(const QImage& source, int factor) {
  QImage out(source.width() / factor, source.height() / factor,
             QImage::Format_ARGB32_Premultiplied);
  if (out.isNull()) {
    return out;
  }
  const qsizetype pixels = static_cast<qsizetype>(source.width()) * source.height();
  const int threads = pixels < (1 << 20)
                          ? 1
                          : std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
  const int rowsEach = (out.height() + threads - 1) / threads;
  ForEachInParallel(static_cast<std::size_t>(threads), threads,
                    [&source, factor, &out, rowsEach](std::size_t band) {
                      const int first = std::min(out.height(), static_cast<int>(band) * rowsEach);
                      const int last = std::min(out.height(), first + rowsEach);
                      ShrinkRows<kStraightAlpha>(source, factor, out, first, last);
                    });
  return out;
}

// The power of two to halve by before the last smooth step, which is then below 2:1.
int HalvingFactor(QSize picture, QSize fitted) {
  int factor = 1;
  while (picture.width() / factor >= 2 * fitted.width() &&
         picture.height() / factor >= 2 * fitted.height()) {
    factor *= 2;
  }
  return factor;
}

std::string PngPayload(const QImage& straight) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  straight.save(&buffer, "PNG");
  return png.toStdString();
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
      entries.push_back({side, side, 0, 1, 32, IcoBitmapPayload(square)});
    }
  }
  return WriteIcoFile(entries);
}

IconFromImage IconFromIconFile(std::string_view bytes, const std::string& name) {
  const auto directory = ReadIcoDirectory(bytes);
  if (!directory) {
    return Failed(NoIconFileText(name));
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
      return Failed(IconImageDamagedText(name, i + 1));
    }
  }
  return {std::string(bytes), {}, {}};
}

QImage DrawSquare(QSvgRenderer& renderer, QSizeF size, int side) {
  QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
  square.fill(Qt::transparent);
  QPainter painter(&square);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  renderer.render(&painter, FittedRect(size, side));
  painter.end();
  return square;
}

// The drawing's size: its view box, or else the size it gives itself.
QSizeF DrawingSize(const QSvgRenderer& renderer) {
  QSizeF size = renderer.viewBoxF().size();
  return size.isEmpty() ? QSizeF(renderer.defaultSize()) : size;
}

IconFromImage IconFromSvg(std::string_view bytes, const std::string& name) {
  const std::string damaged = SvgDamagedText(name);
  // The renderer reads the very text that was checked, inflated here once.
  const std::optional<std::string> text = SvgText(bytes);
  if (!text) {
    return Failed(damaged);
  }
  if (const SvgRefusal refusal = SvgOutsideReference(*text); !refusal.empty()) {
    return Failed(refusal.nested ? SvgNestedTooDeepText(name)
                                 : SvgOutsideReferenceText(name, refusal.outside));
  }
  // Declared before everything drawn, so it is the last to go.
  const OffscreenGuiApplication gui;
  QSvgRenderer renderer(QByteArray(text->data(), static_cast<qsizetype>(text->size())));
  if (!renderer.isValid()) {
    return Failed(damaged);
  }
  const QSizeF size = DrawingSize(renderer);
  if (size.isEmpty()) {
    return Failed(PictureEmptyText(name));
  }
  // Drawn afresh at every size, so each is as sharp as the drawing allows.
  std::vector<QImage> squares;
  for (const int side : kIconSizes) {
    squares.push_back(DrawSquare(renderer, size, side));
  }
  std::string icon = EncodeSquares(std::move(squares), QColorSpace());
  if (icon.empty()) {
    return Failed(PictureEmptyText(name));
  }
  return {std::move(icon), {}, {}};
}

}  // namespace

bool HasVisiblePixel(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    if (std::any_of(line, line + image.width(), [](QRgb p) { return qAlpha(p) != 0; })) {
      return true;
    }
  }
  return false;
}

std::string IcoBitmapPayload(const QImage& straight) {
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

QImage RenderSvgSquare(std::string_view svg, int side) {
  const OffscreenGuiApplication gui;  // declared before the renderer, so it is the last to go
  QSvgRenderer renderer(QByteArray(svg.data(), static_cast<qsizetype>(svg.size())));
  const QSizeF size = DrawingSize(renderer);
  if (!renderer.isValid() || size.isEmpty()) {
    return {};
  }
  return DrawSquare(renderer, size, side);
}

std::string IconFromPicture(QImage picture) {
  if (picture.isNull() || picture.width() < 1 || picture.height() < 1) {
    return {};
  }
  const QColorSpace colourSpace = picture.colorSpace();
  const QSize size = picture.size();
  // A big picture is reduced straight from its decoded pixels (RGB32 and premultiplied pixels
  // are summed as they are, straight alpha weighted), so it is not copied first; the picture is
  // then given back. Other formats are converted once.
  QImage current;
  const int factor = HalvingFactor(size, FittedPixels(size, kIconSizes[std::size(kIconSizes) - 1]));
  if (factor > 1 && picture.format() == QImage::Format_ARGB32) {
    current = Shrink<true>(picture, factor);
  } else {
    if (picture.format() != QImage::Format_RGB32) {
      picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    }
    current = factor > 1 ? Shrink<false>(picture, factor) : std::move(picture);
  }
  picture = QImage();
  if (current.isNull()) {
    return {};
  }
  current.convertTo(QImage::Format_ARGB32_Premultiplied);

  // Largest size first, so each size halves on from the one before.
  std::vector<QImage> squares;
  for (auto it = std::rbegin(kIconSizes); it != std::rend(kIconSizes); ++it) {
    const int side = *it;
    const QSize fitted = FittedPixels(size, side);
    const int halving = HalvingFactor(current.size(), fitted);
    if (halving > 1) {
      current = Shrink<false>(current, halving);
      if (current.isNull()) {
        return {};
      }
    }
    const QImage scaled = current.size() == fitted ? current
                                                   : current.scaled(fitted, Qt::IgnoreAspectRatio,
                                                                    Qt::SmoothTransformation);
    squares.push_back(CentredInSquare(scaled, side, QImage::Format_ARGB32_Premultiplied));
  }
  std::reverse(squares.begin(), squares.end());
  return EncodeSquares(std::move(squares), colourSpace);
}

IconFromImage IconFromImageBytes(std::string_view bytes, const std::string& name) {
  // The decoders' own notes (libpng, the SVG parser) are English and add nothing to the German
  // message the user gets; on the terminal they would stand before it.
  struct QuietQt {
    QtMessageHandler previous = qInstallMessageHandler(IgnoreQtMessage);
    ~QuietQt() { qInstallMessageHandler(previous); }
  } quiet;
  if (bytes.empty()) {
    return Failed(FileEmptyText(name));
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
    return Failed(PictureEmptyText(name));
  }
  if (size.isValid() &&
      4.0 * size.width() * size.height() > kMaxDecodedMegabytes * 1024.0 * 1024.0) {
    return Failed(PictureTooLargeText(name, size.width(), size.height()));
  }
  if (format == "jpeg" && size.isValid() &&
      !(reader.transformation() & QImageIOHandler::TransformationRotate90)) {
    // A JPEG decodes straight to 1/2, 1/4 or 1/8 of its size, each pixel the mean of its block:
    // the first halvings come with the decoding, at a fraction of its time and memory.
    const int factor =
        std::min(8, HalvingFactor(size, FittedPixels(size, kIconSizes[std::size(kIconSizes) - 1])));
    if (factor > 1) {
      reader.setScaledSize(
          QSize((size.width() + factor - 1) / factor, (size.height() + factor - 1) / factor));
    }
  }
  QImage picture = reader.read();
  if (picture.isNull()) {
    return Failed(PictureDamagedText(name));
  }
  std::string icon = IconFromPicture(std::move(picture));
  if (icon.empty()) {
    return Failed(PictureEmptyText(name));
  }
  return {std::move(icon), {}, {}};
}

IconFromImage IconFromImageFile(const std::string& path) {
  std::error_code error;
  const std::uintmax_t fileBytes = std::filesystem::file_size(path, error);
  if (!error && fileBytes > kMaxFileBytes) {
    return Failed(PictureFileTooLargeText(path, fileBytes >> 20));
  }
  std::string bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const std::exception& failure) {
    return Failed(PictureReadFailedText(failure.what()));
  }
  IconFromImage icon = IconFromImageBytes(bytes, path);
  if (icon.error.empty()) {
    icon.picture = std::move(bytes);
  }
  return icon;
}

QImage CentredInSquare(const QImage& image, int side, QImage::Format format) {
  QImage square(side, side, format);
  square.fill(Qt::transparent);
  const int left = (side - image.width()) / 2;
  const int top = (side - image.height()) / 2;
  for (int y = 0; y < image.height(); ++y) {
    std::memcpy(square.scanLine(top + y) + 4 * static_cast<std::ptrdiff_t>(left),
                image.constScanLine(y), 4 * static_cast<std::size_t>(image.width()));
  }
  return square;
}

}  // namespace tervando
