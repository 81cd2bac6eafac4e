#include "cli/path_text.h"

#include <cstdint>

namespace tervando {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// Length of the well-formed UTF-8 sequence at `at` (no overlong form, no surrogate, nothing
// above U+10FFFF) with its code point; 0 when the byte there starts none.
std::size_t Utf8Sequence(std::string_view text, std::size_t at, char32_t& codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned lead = byte(at);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    minimum = 0x80;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    minimum = 0x800;
    codePoint = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    minimum = 0x10000;
    codePoint = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      return 0;
    }
    codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    return 0;
  }
  return length;
}

bool IsControl(char32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

void AppendHex(std::string& out, unsigned value, int digits) {
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
    out += kHexDigits[(value >> shift) & 0xF];
  }
}

}  // namespace

std::string TerminalText(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size();) {
    char32_t codePoint = 0;
    const std::size_t length = Utf8Sequence(bytes, at, codePoint);
    if (length == 0 || IsControl(codePoint)) {
      // A C1 character is escaped byte by byte, like a byte that is no UTF-8.
      const std::size_t escaped = length == 0 ? 1 : length;
      for (std::size_t i = 0; i < escaped; ++i) {
        text += "\\x";
        AppendHex(text, static_cast<unsigned char>(bytes[at + i]), 2);
      }
      at += escaped;
      continue;
    }
    if (codePoint == '\\') {
      text += "\\\\";
    } else {
      text.append(bytes.substr(at, length));
    }
    at += length;
  }
  return text;
}

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
    } else if (IsControl(codePoint)) {
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
