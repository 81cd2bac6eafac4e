#include "engine/head_editor.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <system_error>

#include "engine/ascii.h"
#include "engine/byte_scan.h"
#include "engine/errors.h"
#include "engine/internal_error.h"
#include "engine/paths.h"
#include "engine/tag_scanner.h"

namespace tervando {

namespace {

constexpr std::string_view kHeadTag = "<head>";
constexpr std::string_view kHeadEndTag = "</head>";

// With a plain tag opener as prefix every search is a text search: "<head>" and "</head>"
// anywhere in the page are always whole tags (masking never touches them), and a reference is
// the prefix at a '<' whose segment closes with a visible '>'.
class PlainSearch {
 public:
  PlainSearch(std::string_view text, std::string_view prefix)
      : m_text(text), m_scanner(text), m_prefix(AsciiLowerCopy(prefix)) {}

  HeadPlaces Find(bool remove) {
    HeadPlaces places;
    const std::size_t end = FindNoCase(m_text, 0, m_text.size(), kHeadEndTag);
    if (end == std::string_view::npos) {
      return places;
    }
    const std::size_t head = FindNoCase(m_text, 0, end, kHeadTag);
    if (head == std::string_view::npos) {
      return places;
    }
    // Removing needs only a reference before the head end tag; inserting must know whether
    // the first reference of the whole page lies after it.
    const std::optional<ByteRange> link = FirstReference(remove ? end : m_text.size());
    if (link && link->begin >= end) {
      return places;  // at or after the head end tag
    }
    places.edit = true;
    places.headEnd = head + kHeadTag.size();
    places.link = link;
    return places;
  }

 private:
  std::optional<ByteRange> FirstReference(std::size_t limit) {
    std::size_t at = 0;
    while ((at = FindNoCase(m_text, at, limit, m_prefix)) != std::string_view::npos) {
      // The '<' of a plain prefix is never masked; the tag closes at the next visible '>'
      // unless a visible '<' comes first, and candidates before that '<' close no tag either.
      m_scanner.SeekTo(at);
      TagScanner::Tag tag;
      if (!m_scanner.Next(tag)) {
        return std::nullopt;
      }
      if (tag.begin == at) {
        return ByteRange{tag.begin, tag.end};
      }
      at = tag.begin;
    }
    return std::nullopt;
  }

  std::string_view m_text;
  TagScanner m_scanner;
  std::string m_prefix;
};

}  // namespace

std::string BuildFaviconLinkPrefix() { return kFaviconLinkPrefix; }

std::string BuildFaviconReference(const std::string& faviconLinkPrefix, int levels) {
  // Built in place: this runs for every page of every run.
  std::string reference;
  reference.reserve(faviconLinkPrefix.size() + 3 * static_cast<std::size_t>(std::max(levels, 1)) +
                    sizeof kFaviconFileName + 2);
  reference.append(faviconLinkPrefix).append(1, '"');
  AppendRelativePart(reference, levels);
  return reference.append(kFaviconFileName).append("\">");
}

bool FaviconEdit::LeavesUnchanged(std::string_view text) const {
  return removed == inserted.size() && text.substr(offset, removed) == inserted;
}

std::string FaviconEdit::AppliedTo(std::string_view text) const {
  std::string result;
  result.reserve(text.size() - removed + inserted.size());
  result.append(text.substr(0, offset)).append(inserted).append(text.substr(offset + removed));
  return result;
}

bool IsPlainTagOpener(std::string_view prefix) {
  if (prefix.size() < 2 || prefix[0] != '<' || prefix[1] == ' ' || prefix[1] == '=' ||
      prefix.back() == ' ') {
    return false;
  }
  return prefix.find_first_of("<>\x1b", 1) == std::string_view::npos;
}

bool IsWideText(std::string_view text) {
  if (text.starts_with("\xFE\xFF") || text.starts_with("\xFF\xFE") ||
      text.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
    return true;  // UTF-16 BE, UTF-16 LE or UTF-32 LE (FF FE 00 00), UTF-32 BE
  }
  const std::size_t end = FindNoCase(text, 0, text.size(), "</head>");
  const std::size_t region = end == std::string_view::npos ? text.size() : end + 7;
  return std::memchr(text.data(), 0, region) != nullptr;
}

FaviconEdit FindFaviconEdit(std::string_view text, std::string_view pagePath, bool remove,
                            const std::string& faviconLinkPrefix, int webRootDepth) {
  // The empty page has no segment to split.
  if (text.empty()) {
    throw std::system_error(EngineErrc::kIndexOutOfRange);
  }
  if (IsWideText(text)) {
    return {};
  }
  if (!IsPlainTagOpener(faviconLinkPrefix)) {
    EndWithInternalError("FindFaviconEdit: prefix is no plain tag opener");
  }
  return FaviconEditAt(PlainSearch(text, faviconLinkPrefix).Find(remove), pagePath, remove,
                       faviconLinkPrefix, webRootDepth);
}

FaviconEdit FaviconEditAt(const HeadPlaces& places, std::string_view pagePath, bool remove,
                          const std::string& faviconLinkPrefix, int webRootDepth) {
  if (!places.edit || (remove && !places.link)) {
    return {};
  }

  std::string reference;
  if (!remove) {
    const int levels = PageLevels(pagePath, webRootDepth);
    reference = BuildFaviconReference(faviconLinkPrefix, levels);
  }
  // The reference replaces the first one found, or follows the head tag directly.
  const ByteRange replaced = places.link.value_or(ByteRange{places.headEnd, places.headEnd});
  return {replaced.begin, replaced.end - replaced.begin, std::move(reference)};
}

int CountOccurrences(std::string_view needle, std::string_view haystack, int compareMode) {
  if (needle.empty() || haystack.size() < needle.size()) {
    return 0;
  }
  int count = 0;
  for (std::size_t p = 0; p + needle.size() <= haystack.size(); ++p) {
    const std::string_view window = haystack.substr(p, needle.size());
    if (compareMode == 0 ? window == needle : EqualsIgnoringCase(window, needle)) {
      ++count;
    }
  }
  return count;
}

}  // namespace tervando
