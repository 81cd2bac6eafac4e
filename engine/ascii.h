#pragma once

#include <algorithm>
#include <span>
#include <string>
#include <string_view>

namespace tervando {

// Case folding of the ASCII letters only: page text, paths and option names are bytes in any
// encoding, and only A-Z may be folded without changing what a byte means.
constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// A function object rather than a function, so the algorithms below inline it.
inline constexpr auto AsciiEqualNoCase = [](char a, char b) {
  return AsciiLower(a) == AsciiLower(b);
};

inline std::string AsciiLowerCopy(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    c = AsciiLower(c);
  }
  return lower;
}

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), AsciiEqualNoCase);
}

inline bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
  return start.size() <= text.size() && EqualsIgnoringCase(text.substr(0, start.size()), start);
}

inline bool ContainsIgnoringCase(std::string_view text, std::string_view needle) {
  return needle.empty() || std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                                       AsciiEqualNoCase) != text.end();
}

inline bool EndsWithIgnoringCase(std::string_view text, std::string_view ending) {
  return ending.size() <= text.size() &&
         EqualsIgnoringCase(text.substr(text.size() - ending.size()), ending);
}

// HTML's blanks: space, tab, line feed, carriage return and form feed.
constexpr bool IsHtmlBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Whether the blank-separated list (an attribute value such as rel) holds one of `tokens`, ASCII
// case ignored.
inline bool ListHoldsTokenIgnoringCase(std::string_view list,
                                       std::span<const std::string_view> tokens) {
  std::size_t at = 0;
  while (at < list.size()) {
    while (at < list.size() && IsHtmlBlank(list[at])) {
      ++at;
    }
    const std::size_t begin = at;
    while (at < list.size() && !IsHtmlBlank(list[at])) {
      ++at;
    }
    const std::string_view token = list.substr(begin, at - begin);
    if (std::any_of(tokens.begin(), tokens.end(), [token](std::string_view wanted) {
          return EqualsIgnoringCase(token, wanted);
        })) {
      return true;
    }
  }
  return false;
}

}  // namespace tervando
