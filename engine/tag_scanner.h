#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/byte_scan.h"

namespace tervando {

// The tags that SplitUnsplitHtmlString (its reference, tests/reference/masking.h) would cut
// from the masked page, found on the page as it is, without building the masked copy or the
// segment arrays. Script masking hides a '<' or '>' only where it stands inside a comparison
// operator; those are rare, so they are worked out locally, one run of operator characters at
// a time.
class TagScanner {
 public:
  struct Tag {
    std::size_t begin = 0;       // the '<'
    std::size_t end = 0;         // one past the closing '>'
    bool holdsOperator = false;  // masking changes bytes inside the tag
  };

  explicit TagScanner(std::string_view text);

  // The next tag after the previous one; false when the page has no further tag.
  bool Next(Tag& tag);

  // Moves the scan so the next tag is searched from this position on.
  void SeekTo(std::size_t position) { m_brackets.SeekTo(position); }

  // True when masking turns the '<' or '>' at this position into part of a marker.
  bool Hidden(std::size_t position);

  // The tag as the splitter holds it: operators inside it replaced by their markers.
  std::string MaskedTag(const Tag& tag);

  std::string_view Text() const { return m_text; }

 private:
  // For each byte of a run of operator characters: 0 untouched, k + 1 where operator k starts,
  // -1 for its following bytes.
  void MaskRunAround(std::size_t position);

  std::string_view m_text;
  BracketStream m_brackets;
  std::size_t m_runBegin = 0;
  std::size_t m_runEnd = 0;
  std::vector<signed char> m_runMarks;
};

}  // namespace tervando
