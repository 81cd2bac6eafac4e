#include "icons/svg_text.h"

#include <zlib.h>

#include <QByteArray>
#include <QUrl>
#include <QXmlStreamReader>
#include <vector>

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

namespace {

// Drawings embedded in drawings deeper than this, or more than this many bytes of them together,
// are refused rather than looked into: no icon needs them.
constexpr int kMaxNesting = 4;
constexpr std::size_t kMaxNestedBytes = std::size_t{16} << 20;

// The bytes a data: address carries, decoded as the renderer decodes them: the whole address
// percent-decoded, then the part after the first comma base64-decoded when the part before it
// ends in ";base64" (in any case; the undecoded bytes are returned too, for a renderer that
// asks for lower case). Empty when it names no bytes.
std::vector<QByteArray> DataPayloads(const QString& address) {
  const QUrl url(address);
  if (url.scheme() != u"data" || !url.host().isEmpty()) {
    return {};
  }
  const QByteArray data =
      QByteArray::fromPercentEncoding(url.url(QUrl::FullyEncoded | QUrl::RemoveScheme).toLatin1());
  const qsizetype comma = data.indexOf(',');
  if (comma < 0 || comma + 1 == data.size()) {
    return {};
  }
  std::vector<QByteArray> payloads = {data.mid(comma + 1)};
  if (data.left(comma).trimmed().toLower().endsWith(";base64")) {
    payloads.push_back(QByteArray::fromBase64(payloads.front()));
  }
  return payloads;
}

class ReferenceFinder {
 public:
  SvgRefusal Find(std::string_view text, int depth) {
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
        if (value.startsWith(u'#')) {
          continue;
        }
        // The renderer decodes only what starts with "data" so; anything else is a file.
        SvgRefusal refusal = value.startsWith(u"data:")
                                 ? Embedded(value.toString(), depth)
                                 : SvgRefusal{value.toString().toStdString()};
        if (!refusal.empty()) {
          return refusal;
        }
      }
    }
    return {};
  }

 private:
  SvgRefusal Embedded(const QString& address, int depth) {
    const std::vector<QByteArray> payloads = DataPayloads(address);
    if (payloads.empty()) {
      return {address.toStdString()};
    }
    for (const QByteArray& payload : payloads) {
      const std::optional<std::string> text =
          SvgText(std::string_view(payload.constData(), static_cast<std::size_t>(payload.size())));
      if (!text || depth == kMaxNesting || text->size() > m_bytesLeft) {
        return {{}, true};
      }
      m_bytesLeft -= text->size();
      if (SvgRefusal refusal = Find(*text, depth + 1); !refusal.empty()) {
        return refusal;
      }
    }
    return {};
  }

  std::size_t m_bytesLeft = kMaxNestedBytes;
};

}  // namespace

SvgRefusal SvgOutsideReference(std::string_view text) { return ReferenceFinder().Find(text, 0); }

}  // namespace tervando
