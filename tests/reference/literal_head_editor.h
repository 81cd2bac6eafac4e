#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/paths.h"
#include "tests/reference/head_editor.h"
#include "tests/reference/masking.h"

namespace tervando::literal {

inline std::string ReplaceEvery(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  std::size_t start = 0;
  for (std::size_t hit = text.find(from); hit != text.npos; hit = text.find(from, start)) {
    result.append(text.substr(start, hit - start)).append(to);
    start = hit + from.size();
  }
  result.append(text.substr(start));
  return result;
}

// The head edit done step by step on whole arrays: mask, split, three searches, edit, join,
// unmask. Escape bytes the page already holds are set apart first (27 -> 27 5) and restored
// last, so bytes 27 followed by 1..4 in the page are never taken for markers and no pair is
// formed when a tag between an escape byte and such a byte is removed.
inline std::string SetUnsetFaviconInHtml(const std::string& text, const std::string& pagePath,
                                         bool remove, const std::string& prefix, int depth) {
  const std::string escaped = ReplaceEvery(text, "\x1b", "\x1b\x05");
  std::string masked = HideUnhideJavaInHtml(escaped, kHideMode);
  std::vector<std::string> tags;
  std::vector<std::string> texts;
  SplitUnsplitHtmlString(masked, tags, texts, kSplitMode);
  const int head = FindInStringArray("<head>", tags, false, true);
  const int link = FindInStringArray(prefix, tags, false, false);
  const int end = FindInStringArray("</head>", tags, false, true);
  // Array indices as the searches give them; -1 is "none".
  const auto at = [&tags](int index) -> std::string& {
    return tags[static_cast<std::size_t>(index)];
  };
  if (head >= 0 && head < end && link < end) {
    if (remove) {
      if (link >= 0) at(link).clear();
    } else {
      const int levels =
          CountOccurrences(std::string_view(&kPathSeparator, 1), pagePath, 0) - depth;
      std::string relative = levels == 0 ? "./" : "";
      for (int i = 0; i < levels; ++i) relative += "../";
      const std::string reference = prefix + "\"" + relative + "favicon.ico\">";
      if (link == -1) {
        at(head) += reference;
      } else {
        at(link) = reference;
      }
    }
  }
  std::string joined;
  SplitUnsplitHtmlString(joined, tags, texts, kUnsplitMode);
  return ReplaceEvery(HideUnhideJavaInHtml(joined, kUnhideMode), "\x1b\x05", "\x1b");
}

}  // namespace tervando::literal
