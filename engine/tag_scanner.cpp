#include "engine/tag_scanner.h"

#include <cstring>

#include "engine/masking.h"

namespace tervando {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsOperatorByte(char c) { return c == ' ' || c == '<' || c == '>' || c == '='; }

std::size_t FindByte(std::string_view text, std::size_t from, std::size_t to, char c) {
  if (from >= to) return kNone;
  const void* hit = std::memchr(text.data() + from, c, to - from);
  return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : kNone;
}

}  // namespace

TagScanner::TagScanner(std::string_view text) : m_text(text) {}

std::size_t TagScanner::FindLess(std::size_t from) {
  if (m_lessFrom > m_nextLess || from < m_lessFrom || from > m_nextLess) {
    const std::size_t hit = FindByte(m_text, from, m_text.size(), '<');
    m_nextLess = hit == kNone ? m_text.size() : hit;
    m_lessFrom = from;
  } else {
    m_lessFrom = from;
  }
  return m_nextLess;
}

bool TagScanner::Next(Tag& tag) {
  const std::size_t size = m_text.size();
  while (m_position < size) {
    const std::size_t open = FindLess(m_position);
    if (open >= size) break;
    m_position = open + 1;
    if (Hidden(open)) continue;
    // The tag closes at the first visible '>' before the next visible '<'.
    bool holdsOperator = false;
    while (m_position < size) {
      const std::size_t less = FindLess(m_position);
      const std::size_t greater = FindByte(m_text, m_position, less, '>');
      if (greater != kNone) {
        m_position = greater + 1;
        if (Hidden(greater)) {
          holdsOperator = true;
          continue;
        }
        tag = Tag{open, greater + 1, holdsOperator};
        return true;
      }
      if (less >= size) {
        m_position = size;
        break;
      }
      if (!Hidden(less)) break;  // a new segment starts at this '<' with no tag before it
      holdsOperator = true;
      m_position = less + 1;
    }
  }
  m_position = size;
  return false;
}

bool TagScanner::Hidden(std::size_t position) {
  // Only the middle byte of " < ", " > ", " <= " or " >= " is ever hidden.
  const std::size_t size = m_text.size();
  if (position == 0 || m_text[position - 1] != ' ' || position + 1 >= size) return false;
  const char after = m_text[position + 1];
  const bool candidate =
      after == ' ' || (after == '=' && position + 2 < size && m_text[position + 2] == ' ');
  if (!candidate) return false;
  if (position < m_runBegin || position >= m_runEnd) MaskRunAround(position);
  return m_runMarks[position - m_runBegin] != 0;
}

void TagScanner::MaskRunAround(std::size_t position) {
  // Masking never reaches across a byte that is no operator character, so a maximal run of
  // them is masked exactly as the whole page would mask it.
  std::size_t begin = position;
  while (begin > 0 && IsOperatorByte(m_text[begin - 1])) --begin;
  std::size_t end = position + 1;
  while (end < m_text.size() && IsOperatorByte(m_text[end])) ++end;
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
      for (std::size_t j = 0; match && j < length; ++j) match = m_runMarks[i + j] == 0;
      if (!match) {
        ++i;
        continue;
      }
      m_runMarks[i] = index;
      for (std::size_t j = 1; j < length; ++j) m_runMarks[i + j] = -1;
      i += length;
    }
  }
}

std::string TagScanner::MaskedTag(const Tag& tag) {
  const std::string_view bytes = m_text.substr(tag.begin, tag.end - tag.begin);
  if (!tag.holdsOperator) return std::string(bytes);
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
