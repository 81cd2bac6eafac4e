#include "cli/path_text.h"

#include "support/escape_control_bytes.h"
#include "support/utf8_sequence.h"

namespace tervando {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendHex(std::string& out, unsigned value, int digits) {
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
    out += kHexDigits[(value >> shift) & 0xF];
  }
}

}  // namespace

std::string TerminalLine(std::string_view bytes) { return EscapeControlBytes(bytes); }

std::string JsonString(std::string_view bytes, bool* exact) {
  std::string json = "\"";
  json.reserve(bytes.size() + 2);
  bool lossless = true;
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t codePoint = 0;
    const std::size_t length = Utf8Sequence(bytes, at, codePoint);
    if (length == 0) {
      json += "\\ufffd";
      lossless = false;
      ++at;
      continue;
    }
    if (codePoint == '"' || codePoint == '\\') {
      json += '\\';
      json += static_cast<char>(codePoint);
    } else if (IsEscapedCharacter(codePoint)) {
      json += "\\u";
      AppendHex(json, static_cast<unsigned>(codePoint), 4);
    } else {
      json.append(bytes.substr(at, length));
    }
    at += length;
  }
  json += '"';
  if (exact != nullptr) {
    *exact = lossless;
  }
  return json;
}

std::string HexBytes(std::string_view bytes) {
  std::string hex;
  hex.reserve(2 * bytes.size());
  for (const char c : bytes) {
    AppendHex(hex, static_cast<unsigned char>(c), 2);
  }
  return hex;
}

}  // namespace tervando
