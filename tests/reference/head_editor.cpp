#include "tests/reference/head_editor.h"

#include <optional>
#include <system_error>

#include "engine/ascii.h"
#include "engine/byte_scan.h"
#include "engine/errors.h"
#include "engine/tag_scanner.h"

namespace tervando {

namespace {

constexpr std::string_view kHeadTag = "<head>";
constexpr std::string_view kHeadEndTag = "</head>";

bool Matches(std::string_view item, std::string_view needle, bool caseSensitive, bool wholeMatch) {
  if (caseSensitive) {
    return wholeMatch ? item == needle : item.find(needle) != item.npos;
  }
  return wholeMatch ? EqualsIgnoringCase(item, needle) : ContainsIgnoringCase(item, needle);
}

// Any other prefix: the page's tags are walked one by one as the split would cut them.
class TagWalkSearch {
 public:
  TagWalkSearch(std::string_view text, std::string_view prefix)
      : m_scanner(text), m_prefix(prefix) {}

  HeadPlaces Find() {
    HeadPlaces places;
    std::optional<ByteRange> head;
    std::optional<ByteRange> link;
    // An empty needle is found in the first tag part, the empty one before the first '<'.
    if (m_prefix.empty()) {
      link = ByteRange{0, 0};
    }
    TagScanner::Tag tag;
    while (m_scanner.Next(tag)) {
      const std::string_view bytes = Bytes(tag);
      if (!link && HoldsPrefix(tag, bytes)) {
        link = ByteRange{tag.begin, tag.end};
      }
      // A tag holding a marker can't equal a head tag, which holds no escape byte.
      if (tag.holdsOperator) {
        continue;
      }
      if (!head && EqualsIgnoringCase(bytes, kHeadTag)) {
        head = ByteRange{tag.begin, tag.end};
      }
      if (!EqualsIgnoringCase(bytes, kHeadEndTag)) {
        continue;
      }
      if (!head || (link && link->begin == tag.begin)) {
        return places;
      }
      if (!link && LinkAfter()) {
        return places;
      }
      places.edit = true;
      places.headEnd = head->end;
      places.link = link;
      return places;
    }
    return places;
  }

 private:
  std::string_view Bytes(const TagScanner::Tag& tag) const {
    return m_scanner.Text().substr(tag.begin, tag.end - tag.begin);
  }

  bool HoldsPrefix(const TagScanner::Tag& tag, std::string_view bytes) {
    if (!tag.holdsOperator) {
      return ContainsIgnoringCase(bytes, m_prefix);
    }
    return ContainsIgnoringCase(m_scanner.MaskedTag(tag), m_prefix);
  }

  bool LinkAfter() {
    TagScanner::Tag tag;
    while (m_scanner.Next(tag)) {
      if (HoldsPrefix(tag, Bytes(tag))) {
        return true;
      }
    }
    return false;
  }

  TagScanner m_scanner;
  std::string_view m_prefix;
};

}  // namespace

int FindInStringArray(const std::string& needle, const std::vector<std::string>& items,
                      bool caseSensitive, bool wholeMatch) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (Matches(items[i], needle, caseSensitive, wholeMatch)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

FaviconEdit FindFaviconEditAnyPrefix(std::string_view text, std::string_view pagePath, bool remove,
                                     const std::string& faviconLinkPrefix, int webRootDepth) {
  if (IsPlainTagOpener(faviconLinkPrefix)) {
    return FindFaviconEdit(text, pagePath, remove, faviconLinkPrefix, webRootDepth);
  }
  // The empty page has no segment to split.
  if (text.empty()) {
    throw std::system_error(EngineErrc::kIndexOutOfRange);
  }
  return FaviconEditAt(TagWalkSearch(text, faviconLinkPrefix).Find(), pagePath, remove,
                       faviconLinkPrefix, webRootDepth);
}

std::string SetUnsetFaviconInHtml(const std::string& text, const std::string& pagePath, bool remove,
                                  const std::string& faviconLinkPrefix, int webRootDepth) {
  return FindFaviconEditAnyPrefix(text, pagePath, remove, faviconLinkPrefix, webRootDepth)
      .AppliedTo(text);
}

}  // namespace tervando
