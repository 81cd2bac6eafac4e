#include "support/escape_control_bytes.h"

#include <algorithm>

#include "support/utf8_sequence.h"

namespace tervando {

namespace {

void AppendHex(std::string& out, unsigned char byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  out += "\\x";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0xF];
}

}  // namespace

bool IsEscapedCharacter(char32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F) ||
         (codePoint >= 0x2028 && codePoint <= 0x202E) ||
         (codePoint >= 0x2066 && codePoint <= 0x2069);
}

std::string EscapeControlBytes(std::string_view text) {
  const auto plain = [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte < 0x7F && c != '\\';
  };
  if (std::all_of(text.begin(), text.end(), plain)) {
    return std::string(text);
  }
  std::string out;
  out.reserve(text.size() + 16);
  for (std::size_t at = 0; at < text.size();) {
    char32_t codePoint = 0;
    const std::size_t length = Utf8Sequence(text, at, codePoint);
    if (length == 0 || IsEscapedCharacter(codePoint)) {
      if (codePoint == '\r' && length == 1) {
        out += "\\r";
      } else if (codePoint == '\n' && length == 1) {
        out += "\\n";
      } else if (codePoint == '\t' && length == 1) {
        out += "\\t";
      } else {
        for (std::size_t i = 0; i < std::max<std::size_t>(length, 1); ++i) {
          AppendHex(out, static_cast<unsigned char>(text[at + i]));
        }
      }
      at += std::max<std::size_t>(length, 1);
      continue;
    }
    if (codePoint == '\\') {
      out += "\\\\";
    } else {
      out.append(text.substr(at, length));
    }
    at += length;
  }
  return out;
}

}  // namespace tervando
