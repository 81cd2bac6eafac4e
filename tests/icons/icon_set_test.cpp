#include "icons/icon_set.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <string>
#include <vector>

#include "engine/icon_block.h"
#include "icons/ico_reader.h"
#include "icons/icon_catalogue.h"
#include "icons/image_to_icon.h"

namespace tervando {
namespace {

std::string Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format)) << format;
  return bytes.toStdString();
}

// Image `index` of a picture or icon file, straight ARGB32.
QImage Decoded(const std::string& bytes, int index = 0) {
  const QByteArray data = QByteArray::fromStdString(bytes);
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.jumpToImage(index);
  return reader.read().convertToFormat(QImage::Format_ARGB32);
}

// A photo-like picture: every pixel another colour, opaque to the edge.
QImage Photo(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 200));
    }
  }
  return image;
}

const std::string kCatalogueIcon(IconFile(7));

// The catalogue icon's 16 px image: pixel art with transparent corners.
QImage CatalogueImage(int side) {
  for (int i = 0; i < 2; ++i) {
    const QImage image = Decoded(kCatalogueIcon, i);
    if (image.width() == side) return image;
  }
  return {};
}

TEST(MakeModernIconSet, MakesEveryFileFromEverySource) {
  QImage pixels(20, 20, QImage::Format_ARGB32);
  pixels.fill(Qt::transparent);
  pixels.setPixel(3, 4, qRgba(0, 0, 255, 255));
  const std::string svg =
      "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 20 10'><rect width='20' height='10' "
      "fill='#00c000'/></svg>";
  struct Case {
    const char* name;
    std::string bytes;
    bool svgIcon;
  };
  const std::vector<Case> cases = {
      {"catalogue.ico", kCatalogueIcon, true},
      {"photo.png", Encoded(Photo(1024, 1024), "PNG"), false},
      {"photo.jpg", Encoded(Photo(300, 200), "JPEG"), false},
      {"pixels.bmp", Encoded(pixels, "BMP"), true},
      {"logo.svg", svg, true},
  };
  for (const Case& c : cases) {
    const IconSet set = MakeModernIconSet(c.bytes, c.name, "Site");
    ASSERT_TRUE(set.error.empty()) << c.name << ": " << set.error;
    std::vector<std::string> names;
    for (const IconSetFile& file : set.files) names.push_back(file.name);
    std::vector<std::string> expected = {kFaviconFileName,      kAppleTouchIconFileName,
                                         kIcon192FileName,      kIcon512FileName,
                                         kMaskableIconFileName, kManifestFileName};
    if (c.svgIcon) expected.insert(expected.begin() + 1, kSvgIconFileName);
    EXPECT_EQ(names, expected) << c.name;

    const std::string& ico = set.Find(kFaviconFileName)->bytes;
    const auto directory = ReadIcoDirectory(ico);
    ASSERT_TRUE(directory.has_value()) << c.name;
    ASSERT_EQ(directory->size(), std::size(kModernIcoSizes)) << c.name;
    for (std::size_t i = 0; i < directory->size(); ++i) {
      EXPECT_EQ((*directory)[i].width, kModernIcoSizes[i]) << c.name;
      EXPECT_EQ(Decoded(ico, static_cast<int>(i)).width(), kModernIcoSizes[i]) << c.name;
    }
    const QImage touch = Decoded(set.Find(kAppleTouchIconFileName)->bytes);
    EXPECT_EQ(touch.size(), QSize(kAppleTouchSide, kAppleTouchSide)) << c.name;
    bool opaque = true;
    for (int y = 0; y < touch.height(); ++y)
      for (int x = 0; x < touch.width(); ++x) opaque = opaque && qAlpha(touch.pixel(x, y)) == 255;
    EXPECT_TRUE(opaque) << c.name;
    EXPECT_EQ(Decoded(set.Find(kIcon192FileName)->bytes).size(), QSize(192, 192)) << c.name;
    EXPECT_EQ(Decoded(set.Find(kIcon512FileName)->bytes).size(), QSize(512, 512)) << c.name;
    // The maskable icon: opaque, and all but the background inside the safe zone's circle.
    const QImage maskable = Decoded(set.Find(kMaskableIconFileName)->bytes);
    ASSERT_EQ(maskable.size(), QSize(kMaskableSide, kMaskableSide)) << c.name;
    const QRgb background = maskable.pixel(0, 0);
    const double safe = kMaskableSafeRadius * kMaskableSide;
    int inside = 0;
    for (int y = 0; y < kMaskableSide; ++y) {
      for (int x = 0; x < kMaskableSide; ++x) {
        const QRgb p = maskable.pixel(x, y);
        ASSERT_EQ(qAlpha(p), 255) << c.name;
        if (p != background) {
          ASSERT_LE(std::hypot(x + 0.5 - 256, y + 0.5 - 256), safe)
              << c.name << " " << x << "," << y;
          ++inside;
        }
      }
    }
    EXPECT_GT(inside, 0) << c.name;
    if (c.name == std::string("logo.svg")) {
      EXPECT_EQ(set.Find(kSvgIconFileName)->bytes, svg);
    }
  }
}

// Pixel art grows by whole pixels: every pixel of the large files is one of the small image,
// and the SVG draws the image back pixel for pixel.
TEST(MakeModernIconSet, PixelArtStaysSharp) {
  const IconSet set = MakeModernIconSet(kCatalogueIcon, "catalogue.ico", "Site");
  ASSERT_TRUE(set.error.empty()) << set.error;
  const QImage small = CatalogueImage(16);
  const QImage large = CatalogueImage(32);
  ASSERT_FALSE(small.isNull());
  ASSERT_FALSE(large.isNull());
  struct Case {
    QImage image;
    const QImage& from;
    int factor;
    int margin;
  };
  const std::vector<Case> cases = {
      {Decoded(set.Find(kFaviconFileName)->bytes, 2), small, 3, 0},  // 48 from 16
      {Decoded(set.Find(kIcon192FileName)->bytes), large, 6, 0},     // 192 from 32
      {Decoded(set.Find(kIcon512FileName)->bytes), large, 16, 0},
      {RenderSvgSquare(set.Find(kSvgIconFileName)->bytes, 32)
           .convertToFormat(QImage::Format_ARGB32),
       large, 1, 0},
  };
  for (const Case& c : cases) {
    for (int y = 0; y < c.image.height(); ++y) {
      for (int x = 0; x < c.image.width(); ++x) {
        const QRgb want = c.from.pixel(x / c.factor, y / c.factor);
        const QRgb got = c.image.pixel(x, y);
        ASSERT_EQ(qAlpha(got), qAlpha(want)) << c.factor << " at " << x << "," << y;
        if (qAlpha(want) == 255) {
          ASSERT_NEAR(qRed(got), qRed(want), 1) << c.factor << " at " << x << "," << y;
          ASSERT_NEAR(qGreen(got), qGreen(want), 1);
          ASSERT_NEAR(qBlue(got), qBlue(want), 1);
        }
      }
    }
  }
}

// The apple-touch icon's background: white behind a transparent icon, the picture's own edge
// colour beside a picture that is not square.
TEST(MakeModernIconSet, AppleTouchBackground) {
  QImage wide(300, 100, QImage::Format_ARGB32);
  wide.fill(QColor(200, 30, 30));
  struct Case {
    const char* name;
    std::string bytes;
    QPoint margin;
    QColor colour;
  };
  const std::vector<Case> cases = {
      {"catalogue.ico", kCatalogueIcon, {0, 0}, Qt::white},
      {"wide.png", Encoded(wide, "PNG"), {90, 5}, QColor(200, 30, 30)},
  };
  for (const Case& c : cases) {
    const IconSet set = MakeModernIconSet(c.bytes, c.name, "Site");
    ASSERT_TRUE(set.error.empty()) << set.error;
    const QImage touch = Decoded(set.Find(kAppleTouchIconFileName)->bytes);
    EXPECT_EQ(touch.pixelColor(c.margin), c.colour) << c.name;
    EXPECT_NE(set.Find(kManifestFileName)
                  ->bytes.find("\"theme_color\": \"" + c.colour.name().toStdString() + "\""),
              std::string::npos)
        << c.name;
  }
}

// Pixel art's SVG lightens, on a dark tab strip, each colour that would be hard to see there.
TEST(MakeModernIconSet, PixelArtStaysVisibleInDarkMode) {
  const auto luminance = [](const QColor& c) {
    const auto linear = [](double v) {
      return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
  };
  const double strip = luminance(QColor(0x35, 0x36, 0x3a));
  QImage outlined(16, 16, QImage::Format_ARGB32);
  outlined.fill(Qt::black);
  for (int y = 2; y < 14; ++y)
    for (int x = 2; x < 14; ++x) outlined.setPixel(x, y, qRgb(255, 200, 0));
  const std::string svg = MakeModernIconSet(Encoded(outlined, "PNG"), "outlined.png", "Site")
                              .Find(kSvgIconFileName)
                              ->bytes;
  const std::size_t rules = svg.find("@media (prefers-color-scheme: dark){");
  ASSERT_NE(rules, std::string::npos) << svg;
  int lightened = 0;
  for (std::size_t at = svg.find("{fill:", rules); at != std::string::npos;
       at = svg.find("{fill:", at + 1), ++lightened) {
    const double l = luminance(QColor(QString::fromStdString(svg.substr(at + 6, 7))));
    EXPECT_GE((l + 0.05) / (strip + 0.05), 3.0) << svg.substr(at, 14);
  }
  EXPECT_EQ(lightened, 1) << svg;  // the black outline; the yellow is seen well already
  EXPECT_NE(svg.find("<path class=\"d0\" fill=\"#000000\""), std::string::npos) << svg;
}

TEST(MakeModernIconSet, UnreadableSourcesSayWhy) {
  QImage clear(40, 40, QImage::Format_ARGB32);
  clear.fill(Qt::transparent);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "leer.png"},
      {Encoded(clear, "PNG"), "durchsichtig.png"},
      {"<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 4 4'/>", "nichts.svg"},
      {"kein Bild", "text.png"},
      {std::string("\0\0\1\0\1\0", 6), "kaputt.ico"},
      {"<svg", "halb.svg"},
  };
  for (const auto& [bytes, name] : cases) {
    const IconSet set = MakeModernIconSet(bytes, name, "Site");
    EXPECT_TRUE(set.files.empty()) << name;
    EXPECT_EQ(set.error, IconFromImageBytes(bytes, name).error) << name;
    EXPECT_NE(set.error.find(name), std::string::npos) << set.error;
  }
}

TEST(BuildWebManifest, IsJsonThatGivesTheNameBack) {
  const std::vector<std::pair<std::string, std::string>> names = {
      {"Müller & \"Söhne\" \\ Co.", "Müller & \"Söhne\" \\ Co."},
      {"Zeile\neins\t\x01", "Zeile\neins\t\x01"},
      {"M\xfcller \x80", "Müller €"},  // Windows-1252
      {"", ""},
  };
  for (const auto& [name, readBack] : names) {
    const std::string manifest =
        BuildWebManifest(name, "#ffffff", {{kIcon192FileName, 192}, {kIcon512FileName, 512, true}});
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(manifest), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << manifest;
    EXPECT_EQ(document["name"].toString().toStdString(), readBack);
    const QJsonArray icons = document["icons"].toArray();
    ASSERT_EQ(icons.size(), 2);
    EXPECT_EQ(icons[1].toObject()["src"].toString(), "icon-512.png");
    EXPECT_EQ(icons[1].toObject()["sizes"].toString(), "512x512");
    EXPECT_EQ(icons[0].toObject()["type"].toString(), "image/png");
    EXPECT_EQ(icons[1].toObject()["purpose"].toString(), "maskable");
    EXPECT_FALSE(icons[0].toObject().contains("purpose"));
    for (const char* key : {"id", "start_url", "scope"}) {
      EXPECT_EQ(document[key].toString(), "./") << key;
    }
    EXPECT_EQ(document["display"].toString(), "minimal-ui");
    EXPECT_EQ(document["background_color"].toString(), "#ffffff");
    EXPECT_EQ(document["short_name"].toString().toStdString(), ShortName(readBack));
  }
}

TEST(ShortName, KeepsTwelveCharactersSensibly) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Haus am See", "Haus am See"},
      {"Python 3.11.7 documentation", "Python"},
      {"Django documentation | Django documentation | Django", "Django"},
      {"Debian-Referenz \xe2\x80\x94 Kapitel 1", "Debian"},
      {"Grüße aus Köln: Startseite", "Grüße aus"},
      {"Donaudampfschifffahrt", "Donaudampfsc"},
      {"Ä\xe2\x82\xac\xe2\x82\xacÄÄÄÄÄÄÄÄÄÄ", "Ä€€ÄÄÄÄÄÄÄÄÄ"},
  };
  for (const auto& [name, shortName] : cases) {
    EXPECT_EQ(ShortName(name), shortName) << name;
  }
}

TEST(SiteName, TakesTheTitleOrTheFolder) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"<head><title>Grüße &amp; mehr</title>", "Grüße & mehr"},
      {"<TITLE lang=de>\n  Haus\r\n  am&nbsp;See </TITLE>", "Haus am See"},
      {"<title>M\xfcller &#x41;&#66; &unknown;</title>", "Müller AB &unknown;"},
      {"<title> </title>", "ordner"},
      {"<titles>x</titles>", "ordner"},
      {"<title>ohne Ende", "ordner"},
      {"", "ordner"},
  };
  for (const auto& [page, name] : cases) {
    EXPECT_EQ(SiteName(page, "ordner"), name) << page;
  }
  EXPECT_EQ(SiteName("", ""), "Website");
}

}  // namespace
}  // namespace tervando
