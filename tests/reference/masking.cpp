#include "tests/reference/masking.h"

#include <algorithm>
#include <cstddef>
#include <system_error>

#include "engine/errors.h"
#include "engine/internal_error.h"

namespace tervando {

namespace {

constexpr std::size_t kYieldStride = 32;

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  result.reserve(text.size());
  std::size_t start = 0;
  for (std::size_t hit = text.find(from); hit != std::string_view::npos;
       hit = text.find(from, start)) {
    result.append(text, start, hit - start);
    result.append(to);
    start = hit + from.size();
  }
  result.append(text, start);
  return result;
}

void Split(const std::string& text, std::vector<std::string>& tagParts,
           std::vector<std::string>& textParts, const std::function<void()>& yield) {
  if (text.empty()) {
    throw std::system_error(EngineErrc::kIndexOutOfRange);
  }
  const std::size_t count = static_cast<std::size_t>(std::count(text.begin(), text.end(), '<')) + 1;
  std::vector<std::string> tags(count);
  std::vector<std::string> texts(count);
  const std::string_view all(text);
  std::size_t start = 0;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t next = std::min(all.find('<', start), all.size());
    const std::string_view segment = all.substr(start, next - start);
    const std::size_t close = segment.find('>');
    if (k >= 1 && close != std::string_view::npos) {
      tags[k].reserve(close + 2);
      tags[k].push_back('<');
      tags[k].append(segment.substr(0, close + 1));
      texts[k].assign(segment.substr(close + 1));
    } else {
      if (k >= 1) {
        texts[k].push_back('<');
      }
      texts[k].append(segment);
    }
    if (k % kYieldStride == 0) {
      if (yield) {
        yield();
      }
    }
    start = next + 1;
  }
  tagParts.swap(tags);
  textParts.swap(texts);
}

void Join(std::string& text, const std::vector<std::string>& tagParts,
          const std::vector<std::string>& textParts, const std::function<void()>& yield) {
  if (textParts.size() < tagParts.size()) {
    throw std::system_error(EngineErrc::kIndexOutOfRange);
  }
  std::size_t size = 0;
  for (std::size_t k = 0; k < tagParts.size(); ++k) {
    size += tagParts[k].size() + textParts[k].size();
  }
  std::string joined;
  joined.reserve(size);
  for (std::size_t k = 0; k < tagParts.size(); ++k) {
    joined.append(tagParts[k]);
    joined.append(textParts[k]);
    if (k % kYieldStride == 0) {
      if (yield) {
        yield();
      }
    }
  }
  text = std::move(joined);
}

}  // namespace

std::string HideUnhideJavaInHtml(const std::string& text, int mode) {
  if (mode != kHideMode && mode != kUnhideMode) {
    EndWithInternalError("HideUnhideJavaInHtml: Unknown Mode " + std::to_string(mode));
  }
  std::string result = text;
  for (const MaskedOperator& entry : kMaskedOperators) {
    result = mode == kHideMode ? ReplaceAll(result, entry.text, entry.marker)
                               : ReplaceAll(result, entry.marker, entry.text);
  }
  return result;
}

void SplitUnsplitHtmlString(std::string& text, std::vector<std::string>& tagParts,
                            std::vector<std::string>& textParts, int mode,
                            const std::function<void()>& yield) {
  if (mode == kSplitMode) {
    Split(text, tagParts, textParts, yield);
  } else if (mode == kUnsplitMode) {
    Join(text, tagParts, textParts, yield);
  } else {
    EndWithInternalError("SplitUnsplitHtmlString: Unknown Mode " + std::to_string(mode));
  }
}

}  // namespace tervando
