#include "icons/image_to_icon.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QPainter>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

#include "icons/ico_reader.h"
#include "icons/ico_writer.h"
#include "icons/icon_catalogue.h"
#include "icons/icon_image.h"
#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

using namespace std::string_literals;

std::string Encoded(const QImage& image, const char* format, int quality = -1) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format, quality)) << format;
  return bytes.toStdString();
}

QImage Filled(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

// 3 x 2 red pixels.
const std::string kGif =
    "GIF89a\x03\0\x02\0\xf0\0\0\xff\0\0\0\0\0\x21\xf9\x04\0\0\0\0\0\x2c\0\0\0\0\x03\0\x02\0\0\x02\x02\x84\x5f\0\x3b"s;

const std::string kWideSvg =
    "<svg xmlns='http://www.w3.org/2000/svg' width='120' height='60' viewBox='0 0 120 60'>"
    "<rect width='120' height='60' fill='#00c000'/>"
    "<text x='4' y='20' font-size='16' fill='white'>Tv</text></svg>";

// A drawing that shows the picture `address` names, 20 x 20.
std::string ShowingImage(const std::string& address) {
  return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
         "viewBox='0 0 20 20'><image width='20' height='20' xlink:href='" +
         address + "'/></svg>";
}

std::string Base64(const std::string& bytes) {
  return QByteArray::fromStdString(bytes).toBase64().toStdString();
}

struct Input {
  const char* name;
  std::string bytes;
  QSize picture;  // aspect of the picture, to know where the transparent margins are
  QColor centre;  // the colour the middle of the icon must show
  int tolerance;
};

std::vector<Input> Inputs() {
  std::vector<Input> inputs = {
      {"wide.png, half transparent",
       Encoded(Filled(300, 100, QColor(255, 0, 0, 128)), "PNG"),
       {300, 100},
       QColor(255, 0, 0, 128),
       2},
      {"photo.jpg",
       Encoded(Filled(640, 640, QColor(0, 160, 0)), "JPEG", 95),
       {640, 640},
       QColor(0, 160, 0),
       8},
      {"tall.bmp",
       Encoded(Filled(40, 80, QColor(0, 0, 255)), "BMP"),
       {40, 80},
       QColor(0, 0, 255),
       0},
      {"tiny.gif", kGif, {3, 2}, QColor(255, 0, 0), 0},
      {"logo.svg", kWideSvg, {120, 60}, QColor(0, 192, 0), 2},
      {"inner.svg",
       "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
       "viewBox='0 0 10 10'><defs><rect id='r' width='10' height='10' fill='#0000ff'/></defs>"
       "<use xlink:href='#r'/><a href='https://example.org/'><circle r='1'/></a></svg>",
       {10, 10},
       QColor(0, 0, 255),
       2},
      {"embedded.svg",
       ShowingImage("data:image/svg+xml;base64," +
                    Base64("<svg xmlns='http://www.w3.org/2000/svg' width='20' height='20'>"
                           "<rect width='20' height='20' fill='#0000ff'/></svg>")),
       {20, 20},
       QColor(0, 0, 255),
       2},
  };
  if (QImageReader::supportedImageFormats().contains("webp")) {
    inputs.push_back({"logo.webp",
                      Encoded(Filled(50, 50, QColor(0, 0, 255, 200)), "WEBP", 100),
                      {50, 50},
                      QColor(0, 0, 255, 200),
                      3});
  }
  return inputs;
}

std::string Gzipped(const std::string& text) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&stream, text.size()) + 32, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

bool Near(QColor a, QColor b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

TEST(IconFromImage, EveryPictureKindGivesFourSizesThatBothDecodersRead) {
  for (const Input& input : Inputs()) {
    SCOPED_TRACE(input.name);
    const IconFromImage icon = IconFromImageBytes(input.bytes, input.name);
    ASSERT_EQ(icon.error, "");
    const std::string& file = icon.iconFile;

    // The program's own reader: the directory, one 32-bit image per size, 256 px as PNG.
    const auto directory = ReadIcoDirectory(file);
    ASSERT_TRUE(directory);
    ASSERT_EQ(directory->size(), std::size(kIconSizes));
    for (std::size_t i = 0; i < directory->size(); ++i) {
      const IcoDirEntry& entry = (*directory)[i];
      EXPECT_EQ(entry.width, kIconSizes[i]);
      EXPECT_EQ(entry.height, kIconSizes[i]);
      EXPECT_EQ(entry.bitCount, 32);
      EXPECT_EQ(entry.planes, 1);
      EXPECT_EQ(IsPngPayload(IcoPayload(file, entry)), kIconSizes[i] == 256);
    }

    // Qt's icon reader reads every image; the preview's choice finds each size.
    QBuffer buffer;
    buffer.setData(QByteArray::fromStdString(file));
    QImageReader reader(&buffer, "ico");
    ASSERT_EQ(reader.imageCount(), static_cast<int>(std::size(kIconSizes)));
    for (int i = 0; i < reader.imageCount(); ++i) {
      const int side = kIconSizes[i];
      ASSERT_TRUE(reader.jumpToImage(i));
      const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
      ASSERT_EQ(image.size(), QSize(side, side));
      EXPECT_EQ(DecodeIconImage(file, side).size(), QSize(side, side));

      const QColor centre = image.pixelColor(side / 2, side / 2);
      EXPECT_TRUE(Near(centre, input.centre, input.tolerance))
          << side << " px: centre " << qPrintable(centre.name(QColor::HexArgb));
      // Fitted into the square and centred: the margins beside the picture stay transparent.
      const bool wide = input.picture.width() > input.picture.height();
      const bool tall = input.picture.width() < input.picture.height();
      if (wide || tall) {
        const QPoint margin = wide ? QPoint(side / 2, 0) : QPoint(0, side / 2);
        const QPoint opposite = wide ? QPoint(side / 2, side - 1) : QPoint(side - 1, side / 2);
        EXPECT_EQ(image.pixelColor(margin).alpha(), 0) << side << " px";
        EXPECT_EQ(image.pixelColor(opposite).alpha(), 0) << side << " px";
      }
    }
  }
}

TEST(IconFromImage, SvgIsDrawnSharpAtEverySize) {
  // Its edge falls on a pixel boundary at every size: drawn afresh, no pixel is in between.
  const std::string half =
      "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 16 16'>"
      "<rect width='8' height='16' fill='black'/></svg>";
  ASSERT_EQ(QCoreApplication::instance(), nullptr);  // as in the CLI
  const IconFromImage icon = IconFromImageBytes(half, "half.svg");
  ASSERT_EQ(icon.error, "");
  // The offscreen application drawing needs goes with the drawing, not at exit.
  EXPECT_EQ(QCoreApplication::instance(), nullptr);
  for (const int side : kIconSizes) {
    const QImage image =
        DecodeIconImage(icon.iconFile, side).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.width(), side);
    for (int x = 0; x < side; ++x) {
      EXPECT_EQ(qAlpha(image.pixel(x, side / 2)), x < side / 2 ? 255 : 0) << side << " px, x " << x;
    }
  }
}

TEST(IconFromImage, BigReductionsAverageEveryPixel) {
  // Fine black and white stripes become an even grey, not stripes or one of the two colours.
  QImage stripes(2000, 1999, QImage::Format_RGB32);
  for (int y = 0; y < stripes.height(); ++y) {
    stripes.setPixel(0, y, 0);
    for (int x = 0; x < stripes.width(); ++x) {
      stripes.setPixel(x, y, (x % 2) ? 0xFFFFFFFF : 0xFF000000);
    }
  }
  const std::string file = IconFromPicture(stripes);
  for (const int side : kIconSizes) {
    const QImage image = DecodeIconImage(file, side);
    for (const int x : {1, side / 3, side / 2, side - 2}) {
      EXPECT_NEAR(qGray(image.pixel(x, side / 2)), 128, 6) << side << " px, x " << x;
    }
  }
}

TEST(IconFromImage, AnIconFileIsTakenByteForByte) {
  const std::string catalogue(IconFile(12));
  EXPECT_EQ(IconFromImageBytes(catalogue, "mine.ico").iconFile, catalogue);
  const std::string ours = IconFromImageBytes(kWideSvg, "logo.svg").iconFile;
  EXPECT_EQ(IconFromImageBytes(ours, "favicon.ico").iconFile, ours);
}

TEST(IconFromImage, BadInputIsRefusedWithAGermanReason) {
  const std::string png = Encoded(Filled(20, 20, Qt::red), "PNG");
  std::string badImage = WriteIcoFile({{1, 1, 2, 0, 0, "\x28\0\0\0"s + std::string(60, '\x07')}});
  // A JPEG whose frame header claims 20000 x 20000 pixels.
  std::string jpegTooLarge = Encoded(Filled(8, 8, Qt::red), "JPEG");
  const std::size_t frame = jpegTooLarge.find("\xFF\xC0"s);
  ASSERT_NE(frame, std::string::npos);
  jpegTooLarge.replace(frame + 5, 4, "\x4e\x20\x4e\x20"s);
  // A picture elsewhere on the computer that a drawing names must not reach the icon.
  test::ScratchFolder folder;
  const std::string secret = folder.Write("private.png", png);
  const std::string outside =
      "<svg xmlns='http://www.w3.org/2000/svg' "
      "xmlns:xlink='http://www.w3.org/1999/xlink' viewBox='0 0 20 20'>"
      "<image width='20' height='20' xlink:href='" +
      secret + "'/></svg>";
  // Drawings inside drawings, as data: addresses of any claimed type, are checked as well.
  std::string deep = kWideSvg;
  for (int level = 0; level < 5; ++level) {
    deep = ShowingImage("data:image/svg+xml;base64," + Base64(deep));
  }
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"outside.svg", outside, "außerhalb der Datei"},
      {"nested.svg", ShowingImage("data:image/svg+xml;base64," + Base64(outside)),
       "außerhalb der Datei"},
      {"percent.svg",
       ShowingImage("data:image/svg+xml," +
                    QUrl::toPercentEncoding(QByteArray::fromStdString(outside)).toStdString()),
       "außerhalb der Datei"},
      {"lying.svg",
       ShowingImage("data:image/png;BASE64," +
                    Base64(Gzipped(ShowingImage("data:;base64," + Base64(outside))))),
       "außerhalb der Datei"},
      {"bare.svg", ShowingImage("data:private.png"), "außerhalb der Datei"},
      {"deep.svg", deep, "zu tief verschachtelt"},
      {"outside.svgz", Gzipped(outside), "außerhalb der Datei"},
      {"address.svg",
       "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 9 9'><image width='9' height='9' "
       "href=' file://" +
           secret + "'/></svg>",
       "außerhalb der Datei"},
      {"cut.svgz", Gzipped(outside).substr(0, 40), "SVG-Zeichnung"},
      {"empty.png", "", "ist leer."},
      {"notes.txt", "just some text\n", "kein Bild, das Tervando lesen kann"},
      {"scan.tif", Encoded(Filled(8, 8, Qt::red), "TIFF"), "kein Bild, das Tervando lesen kann"},
      {"pointer.cur", "\0\0\2\0\1\0"s + std::string(40, '\0'), "kein Bild, das Tervando lesen"},
      {"cut.png", png.substr(0, png.size() / 2), "beschädigt"},
      {"fake.png", "\x89PNG\r\n\x1a\n...................."s, "beschädigt"},
      {"clear.png", Encoded(Filled(20, 20, Qt::transparent), "PNG"), "ist leer"},
      {"huge.jpg", jpegTooLarge, "20000 × 20000 Bildpunkten zu groß"},
      {"lying.ico", "\0\0\1\0\5\0 not really a directory"s, "keine gültige Icon-Datei"},
      {"garbled.ico", badImage, "ist beschädigt: Bild 1"},
      {"broken.svg", "<svg xmlns='http://www.w3.org/2000/svg'><rect", "SVG-Zeichnung"},
      {"nothing.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='0' height='0'/>", "ist leer"},
  };
  for (const auto& c : cases) {
    const IconFromImage icon = IconFromImageBytes(c.bytes, c.name);
    EXPECT_EQ(icon.iconFile, "") << c.name;
    EXPECT_NE(icon.error.find(c.reason), std::string::npos) << c.name << ": " << icon.error;
    EXPECT_NE(icon.error.find(c.name), std::string::npos) << c.name << ": " << icon.error;
  }

  for (const std::string& path : {folder.Path() + "missing.png", folder.MakeFolder("logo.png")}) {
    const IconFromImage icon = IconFromImageFile(path);
    EXPECT_EQ(icon.iconFile, "");
    EXPECT_EQ(icon.error.rfind("Das Bild lässt sich nicht lesen (", 0), 0u) << icon.error;
  }
  EXPECT_EQ(IconFromImageFile(folder.Write("ok.png", png)).error, "");
}

}  // namespace
}  // namespace tervando
