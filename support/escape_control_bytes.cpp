#include "support/escape_control_bytes.h"

#include <algorithm>

namespace tervando {

namespace {

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

// The second byte of a UTF-8 C1 control, which follows 0xC2.
bool IsC1Tail(unsigned char byte) { return byte >= 0x80 && byte <= 0x9F; }

void AppendHex(std::string& out, unsigned char byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  out += "\\x";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0xF];
}

}  // namespace

std::string EscapeControlBytes(std::string_view text) {
  const auto special = [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return IsControl(byte) || c == '\\' || byte == 0xC2;
  };
  if (std::none_of(text.begin(), text.end(), special)) {
    return std::string(text);
  }
  std::string out;
  out.reserve(text.size() + 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\\') {
      out += "\\\\";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (IsControl(byte)) {
      AppendHex(out, byte);
    } else if (byte == 0xC2 && i + 1 < text.size() &&
               IsC1Tail(static_cast<unsigned char>(text[i + 1]))) {
      AppendHex(out, byte);
      AppendHex(out, static_cast<unsigned char>(text[++i]));
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace tervando
