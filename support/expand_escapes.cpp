#include "support/expand_escapes.h"

namespace tervando {

std::string ExpandEscapes(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  bool escaped = false;
  for (char c : text) {
    if (!escaped) {
      if (c == '\\') {
        escaped = true;
      } else {
        result += c;
      }
      continue;
    }
    escaped = false;
    switch (c) {
      case 't':
      case 'T':
        result += '\t';
        break;
      case 'n':
      case 'N':
        result += '\r';
        break;
      case 'l':
      case 'L':
        result += '\n';
        break;
      case 'h':
      case 'H':
        result += '"';
        break;
      default:
        result += c;
    }
  }
  return result;
}

}  // namespace tervando
