#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tervando {

// Bit i set when text[start + i] (i < 64, inside the text) is '<' or '>'.
std::uint64_t BracketMask(std::string_view text, std::size_t start);

// Hands out the positions of '<' and '>' of a text in order, 64 bytes at a time.
class BracketStream {
 public:
  static constexpr std::size_t kEnd = static_cast<std::size_t>(-1);

  explicit BracketStream(std::string_view text) : m_text(text) { SeekTo(0); }

  // Positions from here on.
  void SeekTo(std::size_t position);

  // The next '<' or '>', or kEnd.
  std::size_t Next() {
    while (m_mask == 0) {
      if (!LoadNextBlock()) return kEnd;
    }
    const std::size_t position = m_blockStart + static_cast<std::size_t>(std::countr_zero(m_mask));
    m_mask &= m_mask - 1;
    return position;
  }

 private:
  bool LoadNextBlock();

  std::string_view m_text;
  std::size_t m_blockStart = 0;
  std::uint64_t m_mask = 0;
};

// First position in [from, limit) where the needle starts, ASCII letters compared without
// regard to case, or std::string_view::npos. The needle is given in lower case.
std::size_t FindNoCase(std::string_view text, std::size_t from, std::size_t limit,
                       std::string_view needle);

}  // namespace tervando
