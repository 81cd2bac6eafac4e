#include "icons/icon_set.h"

#include <QBuffer>
#include <QByteArray>
#include <QColorSpace>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>

#include "engine/ascii.h"
#include "engine/byte_scan.h"
#include "engine/icon_block.h"
#include "engine/messages.h"
#include "engine/utf8_append.h"
#include "icons/ico_reader.h"
#include "icons/ico_writer.h"
#include "icons/image_to_icon.h"

namespace tervando {

namespace {

constexpr std::string_view kIconSignature("\0\0\1\0", 4);
constexpr int kMaxDecodedMegabytes = 1024;
constexpr int kIcon192Side = 192;
constexpr int kIcon512Side = 512;
// Apple's templates leave a margin around the artwork.
constexpr int kAppleTouchMargin = 15;
// The tab strip of a browser in dark mode, and the contrast against it below which a colour of
// pixel art is lightened there (to kDarkTarget), by the contrast formula of WCAG.
constexpr QRgb kDarkTabStrip = 0xff35363a;
constexpr double kDarkMinimum = 2.0;
constexpr double kDarkTarget = 3.0;

int Side(const QImage& image) { return std::max(image.width(), image.height()); }

// Straight ARGB32 in sRGB, as browsers take an icon without a colour profile.
QImage Straight(QImage image) {
  const QColorSpace colourSpace = image.colorSpace();
  if (colourSpace.isValid() && colourSpace != QColorSpace(QColorSpace::SRgb)) {
    image.convertToColorSpace(QColorSpace::SRgb);
  }
  image.setColorSpace(QColorSpace());
  image.convertTo(QImage::Format_ARGB32);
  return image;
}

// A picture larger than this is reduced to it once, so the sizes of the set are each scaled
// from a picture twice the largest of them rather than from the full one.
constexpr int kLargestKept = 2 * kIcon512Side;

// What the set is drawn from: the bitmaps of an icon file or one picture (smallest first), or
// an SVG drawing, which is also icon.svg unless it is compressed (browsers take no SVGZ file).
struct Source {
  std::vector<QImage> images;
  std::string drawing;
  bool drawingIsIcon = false;
  std::string error;

  bool PixelArt() const { return drawing.empty() && Side(images.back()) <= kLargestPixelArt; }
};

// The message for a source that can't be read: the one the favicon.ico of a picture gives.
Source Failed(std::string_view bytes, const std::string& name) {
  std::string error = IconFromImageBytes(bytes, name).error;
  if (error.empty()) {
    error = IconSetUnusableText(name);
  }
  return {{}, {}, false, std::move(error)};
}

Source ReadSource(std::string_view bytes, const std::string& name) {
  const QByteArray data =
      QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  Source source;
  if (bytes.substr(0, kIconSignature.size()) == kIconSignature) {
    const auto directory = ReadIcoDirectory(bytes);
    QImageReader reader(&buffer, "ico");
    for (std::size_t i = 0; directory && i < directory->size(); ++i) {
      QImage image;
      if (!reader.jumpToImage(static_cast<int>(i)) || (image = reader.read()).isNull()) {
        return Failed(bytes, name);
      }
      source.images.push_back(Straight(std::move(image)));
    }
  } else {
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    const bool svg = format == "svg" || (format.isEmpty() && EndsWithIgnoringCase(name, ".svg"));
    if (svg || format == "svgz" || (format.isEmpty() && EndsWithIgnoringCase(name, ".svgz"))) {
      const QImage probe = RenderSvgSquare(bytes, kModernIcoSizes[2]);
      if (probe.isNull() || !HasVisiblePixel(probe)) {
        return Failed(bytes, name);
      }
      source.drawing = std::string(bytes);
      source.drawingIsIcon = svg;
      return source;
    }
    static const QByteArrayList kPictureFormats = {"png", "jpeg", "gif", "bmp", "webp"};
    if (kPictureFormats.contains(format)) {
      reader.setAutoTransform(true);
      reader.setAllocationLimit(kMaxDecodedMegabytes);
      QImage image = reader.read();
      if (Side(image) > kLargestKept) {
        image =
            image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                .scaled(kLargestKept, kLargestKept, Qt::KeepAspectRatio, Qt::SmoothTransformation);
      }
      if (!image.isNull()) {
        source.images.push_back(Straight(std::move(image)));
      }
    }
  }
  std::stable_sort(source.images.begin(), source.images.end(),
                   [](const QImage& a, const QImage& b) { return Side(a) < Side(b); });
  if (source.images.empty() || !HasVisiblePixel(source.images.back())) {
    return Failed(bytes, name);
  }
  return source;
}

// Every pixel a factor x factor block of the same colour.
QImage Enlarged(const QImage& image, int factor) {
  QImage large(image.width() * factor, image.height() * factor, QImage::Format_ARGB32);
  for (int y = 0; y < large.height(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(y / factor));
    auto* to = reinterpret_cast<QRgb*>(large.scanLine(y));
    for (int x = 0; x < large.width(); ++x) {
      to[x] = from[x / factor];
    }
  }
  return large;
}

// The source in a transparent square, straight ARGB32.
QImage DrawSquare(const Source& source, int side) {
  if (!source.drawing.empty()) {
    return Straight(RenderSvgSquare(source.drawing, side));
  }
  if (source.PixelArt()) {
    // The image that covers the most of the square by whole pixels; among equals the finer.
    const QImage* best = nullptr;
    int bestFactor = 0;
    for (const QImage& image : source.images) {
      const int factor = side / Side(image);
      if (factor >= 1 && (best == nullptr || factor * Side(image) >= bestFactor * Side(*best))) {
        best = &image;
        bestFactor = factor;
      }
    }
    if (best != nullptr) {
      return CentredInSquare(Enlarged(*best, bestFactor), side, QImage::Format_ARGB32);
    }
  }
  // Smoothly, from the smallest image that is at least as big, else from the largest.
  const auto covering = std::find_if(source.images.begin(), source.images.end(),
                                     [side](const QImage& image) { return Side(image) >= side; });
  const QImage& from = covering != source.images.end() ? *covering : source.images.back();
  QSize fitted = from.size().scaled(side, side, Qt::KeepAspectRatio);
  fitted = fitted.expandedTo(QSize(1, 1));
  QImage scaled = from.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                      .scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  scaled.convertTo(QImage::Format_ARGB32);
  return CentredInSquare(scaled, side, QImage::Format_ARGB32);
}

// White, unless the border of the visible part is mostly opaque (a photo, a full-bleed logo):
// then its most common colour, so the margins of a picture that is not square blend in.
QColor Background(const QImage& square) {
  int left = square.width();
  int right = -1;
  int top = square.height();
  int bottom = -1;
  for (int y = 0; y < square.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(square.constScanLine(y));
    for (int x = 0; x < square.width(); ++x) {
      if (qAlpha(line[x]) != 0) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  if (right < 0) {
    return Qt::white;
  }
  struct Bucket {
    int count = 0;
    std::array<long, 3> sums{};
  };
  std::map<int, Bucket> buckets;
  int border = 0;
  int opaque = 0;
  for (int y = top; y <= bottom; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(square.constScanLine(y));
    for (int x = left; x <= right; ++x) {
      if (y != top && y != bottom && x != left && x != right) {
        x = right - 1;
        continue;
      }
      ++border;
      const QRgb p = line[x];
      if (qAlpha(p) != 255) {
        continue;
      }
      ++opaque;
      Bucket& bucket = buckets[(qRed(p) >> 4) << 8 | (qGreen(p) >> 4) << 4 | qBlue(p) >> 4];
      ++bucket.count;
      bucket.sums[0] += qRed(p);
      bucket.sums[1] += qGreen(p);
      bucket.sums[2] += qBlue(p);
    }
  }
  if (4 * opaque < 3 * border) {
    return Qt::white;
  }
  const auto most = std::max_element(
      buckets.begin(), buckets.end(),
      [](const auto& a, const auto& b) { return a.second.count < b.second.count; });
  const Bucket& b = most->second;
  return QColor(static_cast<int>(b.sums[0] / b.count), static_cast<int>(b.sums[1] / b.count),
                static_cast<int>(b.sums[2] / b.count));
}

// The picture centred on an opaque square of `colour`.
QImage OnBackground(const QImage& picture, int side, const QColor& colour) {
  QImage opaque(side, side, QImage::Format_RGB32);
  opaque.fill(colour);
  QPainter painter(&opaque);
  painter.drawImage((side - picture.width()) / 2, (side - picture.height()) / 2, picture);
  painter.end();
  return opaque;
}

// The largest distance of a visible pixel's far corner from the middle of the square.
double VisibleRadius(const QImage& square) {
  const double middle = square.width() / 2.0;
  double largest = 0;
  for (int y = 0; y < square.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(square.constScanLine(y));
    const double dy = std::abs(y + 0.5 - middle) + 0.5;
    for (int x = 0; x < square.width(); ++x) {
      if (qAlpha(line[x]) != 0) {
        const double dx = std::abs(x + 0.5 - middle) + 0.5;
        largest = std::max(largest, std::sqrt(dx * dx + dy * dy));
      }
    }
  }
  return largest;
}

// The maskable icon: the picture made as large as the safe zone allows.
QImage Maskable(const Source& source, const QImage& full, const QColor& colour) {
  const double safe = kMaskableSafeRadius * kMaskableSide - 2;  // whole pixels and rounding
  const double radius = VisibleRadius(full);
  const int inner =
      radius <= safe ? kMaskableSide : static_cast<int>(kMaskableSide * safe / radius);
  return OnBackground(DrawSquare(source, inner), kMaskableSide, colour);
}

double Luminance(QRgb colour) {
  const auto linear = [](int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) +
         0.0722 * linear(qBlue(colour));
}

double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A colour that is hard to see on a dark tab strip, mixed with white until it is not; the
// colour itself when it is seen well enough already.
QRgb ForDarkStrip(QRgb colour) {
  if (Contrast(colour, kDarkTabStrip) >= kDarkMinimum) {
    return colour;
  }
  QRgb lighter = colour;
  for (int step = 1; step <= 20 && Contrast(lighter, kDarkTabStrip) < kDarkTarget; ++step) {
    const auto mix = [step](int channel) { return channel + (255 - channel) * step / 20; };
    lighter = qRgb(mix(qRed(colour)), mix(qGreen(colour)), mix(qBlue(colour)));
  }
  return lighter;
}

std::string HexColour(QRgb colour) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "#%02x%02x%02x", qRed(colour), qGreen(colour), qBlue(colour));
  return hex;
}

std::string Png(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png.toStdString();
}

// Pixel art as SVG: per colour one path of the runs of that colour, row by row, with crisp
// edges, so it scales up as sharp squares.
std::string PixelSvg(const QImage& image) {
  std::vector<QRgb> colours;
  std::map<QRgb, std::string> paths;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width();) {
      const QRgb p = line[x];
      int end = x + 1;
      while (end < image.width() && line[end] == p) {
        ++end;
      }
      if (qAlpha(p) != 0) {
        auto [path, added] = paths.try_emplace(p);
        if (added) {
          colours.push_back(p);
        }
        const std::string run = std::to_string(end - x);
        path->second.append("M").append(std::to_string(x)).append(" ").append(std::to_string(y));
        path->second.append("h").append(run).append("v1h-").append(run).append("z");
      }
      x = end;
    }
  }
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                    std::to_string(image.width()) + " " + std::to_string(image.height()) +
                    "\" shape-rendering=\"crispEdges\">\n";
  // On a dark tab strip the dark colours are drawn lighter, so the icon keeps its outline.
  std::string darkRules;
  std::map<QRgb, std::string> darkClasses;
  for (const QRgb colour : colours) {
    const QRgb lighter = ForDarkStrip(colour);
    if (lighter != colour) {
      std::string name = "d";
      name.append(std::to_string(darkClasses.size()));
      darkRules.append(".").append(name).append("{fill:").append(HexColour(lighter)) += '}';
      darkClasses[colour] = std::move(name);
    }
  }
  svg += "<style>@media (prefers-color-scheme: dark){" + darkRules + "}</style>\n";
  for (const QRgb colour : colours) {
    svg += "<path";
    if (const auto dark = darkClasses.find(colour); dark != darkClasses.end()) {
      svg.append(" class=\"").append(dark->second) += '"';
    }
    svg += " fill=\"" + HexColour(colour) + "\"";
    if (qAlpha(colour) != 255) {
      char opacity[8];
      std::snprintf(opacity, sizeof opacity, "%.3f", qAlpha(colour) / 255.0);
      svg += std::string(" fill-opacity=\"") + opacity + "\"";
    }
    svg += " d=\"" + paths[colour] + "\"/>\n";
  }
  return svg + "</svg>\n";
}

// Windows-1252 bytes 0x80..0x9F; the others are Latin-1. Unassigned ones stand for themselves.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80         ? 1
                               : (lead >> 5) == 6  ? 2
                               : (lead >> 4) == 14 ? 3
                               : (lead >> 3) == 30 ? 4
                                                   : 0;
    if (length == 0 || i + length > text.size()) {
      return false;
    }
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        return false;
      }
      c = (c << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

std::string AsUtf8(std::string_view text) {
  if (IsValidUtf8(text)) {
    return std::string(text);
  }
  std::string out;
  for (const char byte : text) {
    const auto b = static_cast<unsigned char>(byte);
    AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : char32_t{b});
  }
  return out;
}

// The character references a title holds: numeric ones and the named ones German pages use.
std::string DecodeEntities(std::string_view text) {
  static const std::map<std::string_view, char32_t> kNamed = {
      {"amp", '&'},      {"lt", '<'},       {"gt", '>'},       {"quot", '"'},     {"apos", '\''},
      {"nbsp", 0xA0},    {"auml", 0xE4},    {"ouml", 0xF6},    {"uuml", 0xFC},    {"Auml", 0xC4},
      {"Ouml", 0xD6},    {"Uuml", 0xDC},    {"szlig", 0xDF},   {"euro", 0x20AC},  {"copy", 0xA9},
      {"ndash", 0x2013}, {"mdash", 0x2014}, {"bdquo", 0x201E}, {"ldquo", 0x201C}, {"rdquo", 0x201D},
  };
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t end = text[i] == '&' ? text.find(';', i) : std::string_view::npos;
    if (end == std::string_view::npos || end - i > 10) {
      out += text[i];
      continue;
    }
    const std::string_view name = text.substr(i + 1, end - i - 1);
    char32_t c = 0;
    if (name.size() > 1 && name[0] == '#') {
      const bool hex = name[1] == 'x' || name[1] == 'X';
      const std::string digits(name.substr(hex ? 2 : 1));
      char* stop = nullptr;
      const unsigned long value = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
      if (!digits.empty() && *stop == '\0' && value > 0 && value <= 0x10FFFF &&
          !(value >= 0xD800 && value <= 0xDFFF)) {
        c = static_cast<char32_t>(value);
      }
    } else if (const auto named = kNamed.find(name); named != kNamed.end()) {
      c = named->second;
    }
    if (c == 0) {
      out += text[i];
      continue;
    }
    AppendUtf8(out, c == 0xA0 ? U' ' : c);
    i = end;
  }
  return out;
}

}  // namespace

const IconSetFile* IconSet::Find(std::string_view name) const {
  const auto file = std::find_if(files.begin(), files.end(),
                                 [name](const IconSetFile& f) { return f.name == name; });
  return file == files.end() ? nullptr : &*file;
}

IconSet MakeModernIconSet(std::string_view sourceBytes, const std::string& sourceName,
                          const std::string& siteName) {
  const Source source = ReadSource(sourceBytes, sourceName);
  if (!source.error.empty()) {
    return {{}, source.error};
  }
  IconSet set;
  std::vector<IcoEntry> entries;
  for (const int side : kModernIcoSizes) {
    entries.push_back({side, side, 0, 1, 32, IcoBitmapPayload(DrawSquare(source, side))});
  }
  set.files.push_back({kFaviconFileName, WriteIcoFile(entries)});
  if (source.drawingIsIcon) {
    set.files.push_back({kSvgIconFileName, source.drawing});
  } else if (source.PixelArt()) {
    set.files.push_back({kSvgIconFileName, PixelSvg(source.images.back())});
  }

  const QImage touch = DrawSquare(source, kAppleTouchSide - 2 * kAppleTouchMargin);
  const QColor background = Background(touch);
  set.files.push_back(
      {kAppleTouchIconFileName, Png(OnBackground(touch, kAppleTouchSide, background))});

  set.files.push_back({kIcon192FileName, Png(DrawSquare(source, kIcon192Side))});
  const QImage large = DrawSquare(source, kIcon512Side);
  set.files.push_back({kIcon512FileName, Png(large)});
  set.files.push_back({kMaskableIconFileName, Png(Maskable(source, large, background))});
  set.files.push_back(
      {kManifestFileName, BuildWebManifest(siteName, HexColour(background.rgb()),
                                           {{kIcon192FileName, kIcon192Side},
                                            {kIcon512FileName, kIcon512Side},
                                            {kMaskableIconFileName, kMaskableSide, true}})});
  return set;
}

std::string JsonQuoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : AsUtf8(text)) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string BuildWebManifest(std::string_view name, std::string_view colour,
                             const std::vector<ManifestIcon>& icons) {
  const std::string quotedColour = JsonQuoted(colour);
  std::string json = "{\n  \"id\": \"./\",\n  \"name\": " + JsonQuoted(name) +
                     ",\n  \"short_name\": " + JsonQuoted(ShortName(name)) +
                     ",\n  \"start_url\": \"./\",\n  \"scope\": \"./\",\n  \"display\": "
                     "\"minimal-ui\",\n  \"background_color\": " +
                     quotedColour + ",\n  \"theme_color\": " + quotedColour + ",\n  \"icons\": [";
  for (std::size_t i = 0; i < icons.size(); ++i) {
    const std::string side = std::to_string(icons[i].side);
    json.append(i == 0 ? "\n" : ",\n").append("    {\"src\": ").append(JsonQuoted(icons[i].file));
    json.append(", \"sizes\": \"").append(side).append("x").append(side);
    json.append("\", \"type\": \"image/png\"");
    json.append(icons[i].maskable ? ", \"purpose\": \"maskable\"}" : "}");
  }
  return json + "\n  ]\n}\n";
}

std::string ShortName(std::string_view name) {
  const std::string text = AsUtf8(name);
  // Characters, not bytes: a UTF-8 character starts with any byte but a continuation byte.
  const auto length = [](std::string_view part) {
    return static_cast<std::size_t>(std::count_if(part.begin(), part.end(), [](char c) {
      return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
  };
  if (length(text) <= kShortNameLength) {
    return text;
  }
  std::string_view first = text;
  for (const std::string_view separator :
       {" | ", " \xe2\x80\x94 ", " \xe2\x80\x93 ", " - ", ": ", " \xc2\xb7 "}) {
    first = first.substr(0, first.find(separator));
  }
  if (!first.empty() && length(first) <= kShortNameLength) {
    return std::string(first);
  }
  std::size_t end = 0;
  for (std::size_t blank = first.find_first_of(" -"); blank != std::string_view::npos;
       blank = first.find_first_of(" -", blank + 1)) {
    if (length(first.substr(0, blank)) > kShortNameLength) {
      break;
    }
    end = blank;
  }
  if (end > 0) {
    return std::string(first.substr(0, end));
  }
  std::size_t cut = 0;
  for (std::size_t characters = 0; cut < text.size(); ++cut) {
    if ((static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80 &&
        characters++ == kShortNameLength) {
      break;
    }
  }
  return text.substr(0, cut);
}

std::string SiteName(std::string_view rootPageText, std::string_view folderName) {
  std::string title;
  const std::size_t open = FindNoCase(rootPageText, 0, rootPageText.size(), "<title");
  if (open != std::string_view::npos && open + 6 < rootPageText.size() &&
      (rootPageText[open + 6] == '>' || IsHtmlBlank(rootPageText[open + 6]))) {
    const std::size_t begin = rootPageText.find('>', open);
    const std::size_t end = begin == std::string_view::npos
                                ? std::string_view::npos
                                : FindNoCase(rootPageText, begin, rootPageText.size(), "</title");
    if (end != std::string_view::npos) {
      // Blanks and line breaks in any number read as one blank, as the browser shows them.
      for (const char c : DecodeEntities(AsUtf8(rootPageText.substr(begin + 1, end - begin - 1)))) {
        if (!IsHtmlBlank(c)) {
          title += c;
        } else if (!title.empty() && title.back() != ' ') {
          title += ' ';
        }
      }
      if (!title.empty() && title.back() == ' ') {
        title.pop_back();
      }
    }
  }
  if (!title.empty()) {
    return title;
  }
  return folderName.empty() ? "Website" : AsUtf8(folderName);
}

}  // namespace tervando
