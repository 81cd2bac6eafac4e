// Splitting then joining gives the text back, and every segment keeps the splitter's rules.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "tests/reference/masking.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  const std::string original = text;
  std::vector<std::string> tags = {"before"};
  std::vector<std::string> texts = {"before"};
  try {
    tervando::SplitUnsplitHtmlString(text, tags, texts, tervando::kSplitMode);
  } catch (const std::system_error&) {
    if (!original.empty() || tags.size() != 1 || tags[0] != "before") std::abort();
    return 0;
  }
  if (original.empty()) std::abort();
  const auto lessCount = static_cast<std::size_t>(std::count(text.begin(), text.end(), '<'));
  if (tags.size() != lessCount + 1 || texts.size() != tags.size() || !tags[0].empty()) {
    std::abort();
  }
  for (std::size_t k = 1; k < tags.size(); ++k) {
    const std::string& tag = tags[k];
    if (tag.empty()) {
      if (texts[k].empty() || texts[k][0] != '<') std::abort();
      continue;
    }
    // "<", no other '<', and the first '>' last.
    if (tag.front() != '<' || tag.back() != '>' || tag.find('<', 1) != std::string::npos ||
        tag.find('>') != tag.size() - 1 || texts[k].find('<') != std::string::npos) {
      std::abort();
    }
  }
  std::string joined = "stale";
  tervando::SplitUnsplitHtmlString(joined, tags, texts, tervando::kUnsplitMode);
  if (joined != original) std::abort();
  return 0;
}
