#include "icons/svg_text.h"

#include <zlib.h>

#include <QByteArray>
#include <QXmlStreamReader>

namespace tervando {

namespace {

// Far above any drawing a favicon is made from; a small file that inflates beyond it is a bomb.
constexpr std::size_t kMaxSvgTextBytes = std::size_t{64} << 20;

bool Gzipped(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
         static_cast<unsigned char>(bytes[1]) == 0x8B;
}

}  // namespace

std::optional<std::string> SvgText(std::string_view bytes) {
  if (!Gzipped(bytes)) {
    return std::string(bytes);
  }
  z_stream stream{};
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
    return std::nullopt;
  }
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  std::string text;
  int status = Z_OK;
  while (status == Z_OK && text.size() < kMaxSvgTextBytes) {
    char chunk[16384];
    stream.next_out = reinterpret_cast<Bytef*>(chunk);
    stream.avail_out = sizeof chunk;
    status = inflate(&stream, Z_NO_FLUSH);
    text.append(chunk, sizeof chunk - stream.avail_out);
  }
  inflateEnd(&stream);
  if (status != Z_STREAM_END) {
    return std::nullopt;
  }
  return text;
}

std::string SvgOutsideReference(std::string_view text) {
  QXmlStreamReader reader(
      QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())));
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement) {
      continue;
    }
    // Prefixes are compared by name too: the drawing's renderer reads xlink:href by its
    // qualified name, and a link is never a load.
    const QStringView element = reader.qualifiedName();
    if (element == u"a" || element.endsWith(u":a")) {
      continue;
    }
    for (const QXmlStreamAttribute& attribute : reader.attributes()) {
      const QStringView name = attribute.qualifiedName();
      if (name != u"href" && !name.endsWith(u":href")) {
        continue;
      }
      const QStringView value = attribute.value().trimmed();
      if (!value.startsWith(u'#') && !value.startsWith(u"data:", Qt::CaseInsensitive)) {
        return value.toString().toStdString();
      }
    }
  }
  return {};
}

}  // namespace tervando
