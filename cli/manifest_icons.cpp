#include "cli/manifest_icons.h"

#include <cstdint>

#include "engine/utf8_append.h"

namespace tervando {

namespace {

constexpr int kDeepest = 256;

// One pass over the text; each Read* leaves `m_at` after what it read, false on bad JSON.
class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : m_text(text) {}

  std::optional<ManifestFacts> Facts() {
    ManifestFacts facts;
    Blanks();
    if (!Peek('{') || !ReadObject(0, Role::kManifest, facts)) {
      return std::nullopt;
    }
    Blanks();
    if (m_at != m_text.size()) {
      return std::nullopt;
    }
    return facts;
  }

 private:
  // What a value is to the manifest.
  enum class Role {
    kNone,
    kManifest,
    kIcons,
    kIcon,
    kSource,
    kSizes,
    kPurpose,
    kName,
    kShortName,
    kStartUrl,
    kDisplay
  };

  // Where a text value of this role goes.
  static std::string* Slot(Role role, ManifestFacts& facts) {
    switch (role) {
      case Role::kSource:
        return &facts.icons.back().source;
      case Role::kSizes:
        return &facts.icons.back().sizes;
      case Role::kPurpose:
        return &facts.icons.back().purpose;
      case Role::kName:
        return &facts.name.emplace();
      case Role::kShortName:
        return &facts.shortName.emplace();
      case Role::kStartUrl:
        return &facts.startUrl.emplace();
      case Role::kDisplay:
        return &facts.display.emplace();
      default:
        return nullptr;
    }
  }

  bool Peek(char c) const { return m_at < m_text.size() && m_text[m_at] == c; }
  bool Take(char c) {
    Blanks();
    if (!Peek(c)) {
      return false;
    }
    ++m_at;
    return true;
  }
  void Blanks() {
    while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t' ||
                                    m_text[m_at] == '\n' || m_text[m_at] == '\r')) {
      ++m_at;
    }
  }

  bool ReadValue(int depth, Role role, ManifestFacts& facts) {
    Blanks();
    if (m_at >= m_text.size() || depth > kDeepest) {
      return false;
    }
    switch (m_text[m_at]) {
      case '{':
        return ReadObject(depth, role, facts);
      case '[':
        return ReadArray(depth, role, facts);
      case '"': {
        std::string text;
        if (!ReadString(text)) {
          return false;
        }
        if (std::string* slot = Slot(role, facts)) {
          *slot = std::move(text);
        }
        return true;
      }
      default:
        return ReadWord("true") || ReadWord("false") || ReadWord("null") || ReadNumber();
    }
  }

  bool ReadObject(int depth, Role role, ManifestFacts& facts) {
    ++m_at;  // '{'
    if (Take('}')) {
      return true;
    }
    do {
      std::string key;
      Blanks();
      if (!Peek('"') || !ReadString(key) || !Take(':')) {
        return false;
      }
      Role inner = Role::kNone;
      if (role == Role::kManifest) {
        inner = key == "icons"        ? Role::kIcons
                : key == "name"       ? Role::kName
                : key == "short_name" ? Role::kShortName
                : key == "start_url"  ? Role::kStartUrl
                : key == "display"    ? Role::kDisplay
                                      : Role::kNone;
      } else if (role == Role::kIcon) {
        inner = key == "src"       ? Role::kSource
                : key == "sizes"   ? Role::kSizes
                : key == "purpose" ? Role::kPurpose
                                   : Role::kNone;
      }
      if (!ReadValue(depth + 1, inner, facts)) {
        return false;
      }
    } while (Take(','));
    return Take('}');
  }

  bool ReadArray(int depth, Role role, ManifestFacts& facts) {
    ++m_at;  // '['
    if (Take(']')) {
      return true;
    }
    do {
      if (role == Role::kIcons) {
        facts.icons.emplace_back();
      }
      if (!ReadValue(depth + 1, role == Role::kIcons ? Role::kIcon : Role::kNone, facts)) {
        return false;
      }
    } while (Take(','));
    return Take(']');
  }

  bool ReadWord(std::string_view word) {
    if (m_text.substr(m_at, word.size()) != word) {
      return false;
    }
    m_at += word.size();
    return true;
  }

  bool Digits() {
    const std::size_t start = m_at;
    while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9') {
      ++m_at;
    }
    return m_at > start;
  }

  bool ReadNumber() {
    if (Peek('-')) {
      ++m_at;
    }
    if (Peek('0')) {
      ++m_at;
    } else if (!Digits()) {
      return false;
    }
    if (Peek('.')) {
      ++m_at;
      if (!Digits()) {
        return false;
      }
    }
    if (Peek('e') || Peek('E')) {
      ++m_at;
      if (Peek('+') || Peek('-')) {
        ++m_at;
      }
      return Digits();
    }
    return true;
  }

  bool ReadHex(std::uint32_t& value) {
    if (m_at + 4 > m_text.size()) {
      return false;
    }
    value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = m_text[m_at++];
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
      if (digit < 0) {
        return false;
      }
      value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return true;
  }

  bool ReadEscape(std::string& out) {
    if (m_at >= m_text.size()) {
      return false;
    }
    const char c = m_text[m_at++];
    static constexpr std::string_view kFrom = "\"\\/bfnrt";
    static constexpr std::string_view kTo = "\"\\/\b\f\n\r\t";
    if (const std::size_t which = kFrom.find(c); which != std::string_view::npos) {
      out += kTo[which];
      return true;
    }
    std::uint32_t unit = 0;
    if (c != 'u' || !ReadHex(unit)) {
      return false;
    }
    if (unit >= 0xD800 && unit < 0xDC00 && m_text.substr(m_at, 2) == "\\u") {
      m_at += 2;
      std::uint32_t low = 0;
      if (!ReadHex(low) || low < 0xDC00 || low >= 0xE000) {
        return false;
      }
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    AppendUtf8(out, static_cast<char32_t>(unit));
    return true;
  }

  bool ReadString(std::string& out) {
    ++m_at;  // '"'
    while (m_at < m_text.size()) {
      const char c = m_text[m_at++];
      if (c == '"') {
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20) {
        return false;
      }
      if (c != '\\') {
        out += c;
      } else if (!ReadEscape(out)) {
        return false;
      }
    }
    return false;
  }

  std::string_view m_text;
  std::size_t m_at = 0;
};

}  // namespace

std::optional<ManifestFacts> ReadManifest(std::string_view json) {
  return JsonReader(json).Facts();
}

std::optional<std::vector<std::string>> ReadManifestIconSources(std::string_view json) {
  const std::optional<ManifestFacts> facts = ReadManifest(json);
  if (!facts) {
    return std::nullopt;
  }
  std::vector<std::string> sources;
  for (const ManifestIconEntry& icon : facts->icons) {
    sources.push_back(icon.source);
  }
  return sources;
}

}  // namespace tervando
