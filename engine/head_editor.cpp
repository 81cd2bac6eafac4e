#include "engine/head_editor.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <system_error>

#include "engine/errors.h"
#include "engine/paths.h"
#include "engine/tag_scanner.h"

namespace tervando {

namespace {

constexpr std::string_view kHeadTag = "<head>";
constexpr std::string_view kHeadEndTag = "</head>";

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

bool ContainsNoCase(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return true;
  if (needle.size() > haystack.size()) return false;
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                     [](char x, char y) { return FoldCase(x) == FoldCase(y); }) != haystack.end();
}

bool Matches(std::string_view item, std::string_view needle, bool caseSensitive, bool wholeMatch) {
  if (caseSensitive) return wholeMatch ? item == needle : item.find(needle) != item.npos;
  return wholeMatch ? EqualsNoCase(item, needle) : ContainsNoCase(item, needle);
}

// A prefix that starts a tag and can never be touched by masking: then "a tag contains it"
// means "a tag starts with it", and candidates can be found by looking for its first bytes.
bool IsPlainTagOpener(std::string_view prefix) {
  if (prefix.size() < 2 || prefix[0] != '<' || prefix[1] == ' ' || prefix[1] == '=' ||
      prefix.back() == ' ') {
    return false;
  }
  return prefix.find_first_of("<>\x1b", 1) == std::string_view::npos;
}

struct Range {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Finds the head tag, the first reference and the head end tag among the page's tags, the way
// the three array searches over the split page would, stopping as soon as the outcome is known.
class HeadSearch {
 public:
  HeadSearch(std::string_view text, std::string_view prefix)
      : m_scanner(text), m_prefix(prefix), m_plainPrefix(IsPlainTagOpener(prefix)) {
    // An empty needle is found in the first tag part, the empty one before the first '<'.
    if (prefix.empty()) m_link = Range{0, 0};
  }

  // Walks up to the first head end tag. False when the page is to stay as it is: no head end
  // tag, no head tag before it, or the first reference is the head end tag itself.
  bool FindHead() {
    TagScanner::Tag tag;
    while (m_scanner.Next(tag)) {
      const std::string_view bytes = Bytes(tag);
      if (!m_link && HoldsPrefix(tag, bytes)) m_link = Range{tag.begin, tag.end};
      // A tag holding a marker can't equal a head tag, which holds no escape byte.
      if (tag.holdsOperator) continue;
      if (!m_head && EqualsNoCase(bytes, kHeadTag)) m_head = Range{tag.begin, tag.end};
      if (EqualsNoCase(bytes, kHeadEndTag)) {
        return m_head.has_value() && !(m_link && m_link->begin == tag.begin);
      }
    }
    return false;
  }

  // After FindHead found no reference before the head end tag: true when there is one after.
  bool LinkAfterHeadEnd() {
    if (m_plainPrefix) return PlainPrefixTagFrom(m_scanner.Position());
    TagScanner::Tag tag;
    while (m_scanner.Next(tag)) {
      if (HoldsPrefix(tag, Bytes(tag))) return true;
    }
    return false;
  }

  const std::optional<Range>& Head() const { return m_head; }
  const std::optional<Range>& Link() const { return m_link; }

 private:
  std::string_view Bytes(const TagScanner::Tag& tag) const {
    return m_scanner.Text().substr(tag.begin, tag.end - tag.begin);
  }

  bool HoldsPrefix(const TagScanner::Tag& tag, std::string_view bytes) {
    if (m_plainPrefix) {
      return bytes.size() >= m_prefix.size() &&
             EqualsNoCase(bytes.substr(0, m_prefix.size()), m_prefix);
    }
    if (!tag.holdsOperator) return ContainsNoCase(bytes, m_prefix);
    return ContainsNoCase(m_scanner.MaskedTag(tag), m_prefix);
  }

  // Looks for '<' followed by the prefix, and checks that such a hit closes as a tag.
  bool PlainPrefixTagFrom(std::size_t from) {
    const std::string_view text = m_scanner.Text();
    const char second = FoldCase(m_prefix[1]);
    std::size_t at = from;
    while (true) {
      at = text.find('<', at);
      if (at == std::string_view::npos || text.size() - at < m_prefix.size()) return false;
      if (FoldCase(text[at + 1]) != second ||
          !EqualsNoCase(text.substr(at, m_prefix.size()), m_prefix)) {
        ++at;
        continue;
      }
      // The '<' of a plain prefix is never masked; the tag closes at the next visible '>'
      // unless a visible '<' comes first, and from there the search goes on.
      m_scanner.SeekTo(at);
      TagScanner::Tag tag;
      if (!m_scanner.Next(tag)) return false;
      if (tag.begin == at) return true;
      at = tag.begin;
    }
  }

  TagScanner m_scanner;
  std::string_view m_prefix;
  bool m_plainPrefix;
  std::optional<Range> m_head;
  std::optional<Range> m_link;
};

}  // namespace

std::string BuildFaviconLinkPrefix() {
  const char quote = '"';
  return std::string("<link rel=") + quote + "SHORTCUT ICON" + quote + " href=";
}

std::string BuildFaviconReference(const std::string& faviconLinkPrefix, int levels) {
  std::string relative;
  if (levels == 0) relative = "./";
  for (int i = 0; i < levels; ++i) relative += "../";
  return faviconLinkPrefix + '"' + relative + kFaviconFileName + '"' + '>';
}

std::string SetUnsetFaviconInHtml(const std::string& text, const std::string& pagePath, bool remove,
                                  const std::string& faviconLinkPrefix, int webRootDepth) {
  // The empty page has no segment to split.
  if (text.empty()) throw std::system_error(EngineErrc::kIndexOutOfRange);
  HeadSearch search(text, faviconLinkPrefix);
  if (!search.FindHead()) return text;

  std::string result;
  if (const std::optional<Range>& link = search.Link()) {
    std::string replacement;
    if (!remove) {
      const int levels =
          CountOccurrences(std::string_view(&kPathSeparator, 1), pagePath, 0) - webRootDepth;
      replacement = BuildFaviconReference(faviconLinkPrefix, levels);
    }
    result.reserve(text.size() - (link->end - link->begin) + replacement.size());
    result.append(text, 0, link->begin).append(replacement).append(text, link->end);
    return result;
  }
  if (remove || search.LinkAfterHeadEnd()) return text;
  const int levels =
      CountOccurrences(std::string_view(&kPathSeparator, 1), pagePath, 0) - webRootDepth;
  const std::string reference = BuildFaviconReference(faviconLinkPrefix, levels);
  const std::size_t at = search.Head()->end;
  result.reserve(text.size() + reference.size());
  result.append(text, 0, at).append(reference).append(text, at);
  return result;
}

int FindInStringArray(const std::string& needle, const std::vector<std::string>& items,
                      bool caseSensitive, bool wholeMatch) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (Matches(items[i], needle, caseSensitive, wholeMatch)) return static_cast<int>(i);
  }
  return -1;
}

int CountOccurrences(std::string_view needle, std::string_view haystack, int compareMode) {
  if (needle.empty() || haystack.size() < needle.size()) return 0;
  int count = 0;
  for (std::size_t p = 0; p + needle.size() <= haystack.size(); ++p) {
    const std::string_view window = haystack.substr(p, needle.size());
    if (compareMode == 0 ? window == needle : EqualsNoCase(window, needle)) ++count;
  }
  return count;
}

}  // namespace tervando
