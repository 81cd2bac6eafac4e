#include "cli/unified_diff.h"

#include <algorithm>
#include <vector>

namespace tervando {

namespace {

constexpr std::size_t kContext = 3;

// The lines of `text`, each with its line feed when it has one.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, next - start));
    start = next;
  }
  return lines;
}

// "start,count" as unified diffs write it: count 1 is left out, an empty range names the line
// before it.
std::string Range(std::size_t first, std::size_t count) {
  if (count == 0) {
    return std::to_string(first) + ",0";
  }
  if (count == 1) {
    return std::to_string(first + 1);
  }
  return std::to_string(first + 1) + "," + std::to_string(count);
}

// The file name of a header line: ended by a tab (as diff writes it before a time stamp) so
// that blanks belong to the name; quoted C-style when it holds control characters, quotes
// or backslashes, as GNU diff and patch do.
std::string HeaderName(const std::string& label) {
  const bool plain = std::none_of(label.begin(), label.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\' || c == 0x7F;
  });
  if (plain) {
    return label + "\t";
  }
  std::string quoted = "\"";
  for (char c : label) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (c == '\t') {
      quoted += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      const char octal[] = {'\\', static_cast<char>('0' + (byte >> 6)),
                            static_cast<char>('0' + ((byte >> 3) & 7)),
                            static_cast<char>('0' + (byte & 7)), '\0'};
      quoted += octal;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"\t";
}

void AppendLine(std::string& out, char mark, std::string_view line) {
  out += mark;
  out += line;
  if (line.empty() || line.back() != '\n') {
    out += "\n\\ No newline at end of file\n";
  }
}

}  // namespace

std::string UnifiedDiff(const std::string& label, std::string_view before, std::string_view after) {
  if (before == after) {
    return {};
  }
  const std::vector<std::string_view> oldLines = SplitLines(before);
  const std::vector<std::string_view> newLines = SplitLines(after);
  const std::size_t shorter = std::min(oldLines.size(), newLines.size());
  std::size_t head = 0;
  while (head < shorter && oldLines[head] == newLines[head]) {
    ++head;
  }
  std::size_t tail = 0;
  while (tail < shorter - head &&
         oldLines[oldLines.size() - 1 - tail] == newLines[newLines.size() - 1 - tail]) {
    ++tail;
  }
  const std::size_t beforeContext = std::min(head, kContext);
  const std::size_t afterContext = std::min(tail, kContext);
  const std::size_t first = head - beforeContext;
  const std::size_t oldCount = oldLines.size() - tail - head + beforeContext + afterContext;
  const std::size_t newCount = newLines.size() - tail - head + beforeContext + afterContext;

  const std::string name = HeaderName(label);
  std::string out = "--- " + name + "\n+++ " + name + "\n";
  out += "@@ -" + Range(first, oldCount) + " +" + Range(first, newCount) + " @@\n";
  for (std::size_t i = first; i < head; ++i) {
    AppendLine(out, ' ', oldLines[i]);
  }
  for (std::size_t i = head; i < oldLines.size() - tail; ++i) {
    AppendLine(out, '-', oldLines[i]);
  }
  for (std::size_t i = head; i < newLines.size() - tail; ++i) {
    AppendLine(out, '+', newLines[i]);
  }
  const std::size_t last = oldLines.size() - tail + afterContext;
  for (std::size_t i = oldLines.size() - tail; i < last; ++i) {
    AppendLine(out, ' ', oldLines[i]);
  }
  return out;
}

}  // namespace tervando
