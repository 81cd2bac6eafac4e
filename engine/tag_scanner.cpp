#include "engine/tag_scanner.h"

#include "engine/masking.h"

namespace tervando {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsOperatorByte(char c) { return c == ' ' || c == '<' || c == '>' || c == '='; }

}  // namespace

TagScanner::TagScanner(std::string_view text) : m_text(text), m_brackets(text) {}

bool TagScanner::Next(Tag& tag) {
  // A tag runs from a visible '<' to the first visible '>' before the next visible '<'.
  std::size_t open = kNone;
  bool holdsOperator = false;
  for (std::size_t at = m_brackets.Next(); at != BracketStream::kEnd; at = m_brackets.Next()) {
    if (m_text[at] == '<') {
      if (Hidden(at)) {
        holdsOperator = true;
        continue;
      }
      open = at;
      holdsOperator = false;
    } else if (open != kNone) {
      if (Hidden(at)) {
        holdsOperator = true;
        continue;
      }
      tag = Tag{open, at + 1, holdsOperator};
      return true;
    }
  }
  return false;
}

bool TagScanner::Hidden(std::size_t position) {
  // Only the middle byte of " < ", " > ", " <= " or " >= " is ever hidden.
  const std::size_t size = m_text.size();
  if (position == 0 || m_text[position - 1] != ' ' || position + 1 >= size) {
    return false;
  }
  const char after = m_text[position + 1];
  const bool candidate =
      after == ' ' || (after == '=' && position + 2 < size && m_text[position + 2] == ' ');
  if (!candidate) {
    return false;
  }
  if (position < m_runBegin || position >= m_runEnd) {
    MaskRunAround(position);
  }
  return m_runMarks[position - m_runBegin] != 0;
}

void TagScanner::MaskRunAround(std::size_t position) {
  // Masking never reaches across a byte that is no operator character, so a maximal run of
  // them is masked exactly as the whole page would mask it.
  std::size_t begin = position;
  while (begin > 0 && IsOperatorByte(m_text[begin - 1])) {
    --begin;
  }
  std::size_t end = position + 1;
  while (end < m_text.size() && IsOperatorByte(m_text[end])) {
    ++end;
  }
  m_runBegin = begin;
  m_runEnd = end;
  const std::string_view run = m_text.substr(begin, end - begin);
  m_runMarks.assign(run.size(), 0);
  signed char index = 0;
  for (const MaskedOperator& entry : kMaskedOperators) {
    ++index;
    const std::size_t length = entry.text.size();
    std::size_t i = 0;
    while (i + length <= run.size()) {
      bool match = run.compare(i, length, entry.text) == 0;
      for (std::size_t j = 0; match && j < length; ++j) {
        match = m_runMarks[i + j] == 0;
      }
      if (!match) {
        ++i;
        continue;
      }
      m_runMarks[i] = index;
      for (std::size_t j = 1; j < length; ++j) {
        m_runMarks[i + j] = -1;
      }
      i += length;
    }
  }
}

std::string TagScanner::MaskedTag(const Tag& tag) {
  const std::string_view bytes = m_text.substr(tag.begin, tag.end - tag.begin);
  if (!tag.holdsOperator) {
    return std::string(bytes);
  }
  std::string masked;
  for (std::size_t i = tag.begin; i < tag.end; ++i) {
    const char c = m_text[i];
    if (c != ' ') {
      masked.push_back(c);
      continue;
    }
    // Operators start with a blank; find out whether this one does.
    if (i + 1 < tag.end && (m_text[i + 1] == '<' || m_text[i + 1] == '>') && Hidden(i + 1)) {
      const signed char mark = m_runMarks[i - m_runBegin];
      const MaskedOperator& entry = kMaskedOperators[mark - 1];
      masked.append(entry.marker);
      i += entry.text.size() - 1;
      continue;
    }
    masked.push_back(c);
  }
  return masked;
}

}  // namespace tervando
