#include "engine/byte_scan.h"

#include <algorithm>

#include "engine/ascii.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TERVANDO_SSE2 1
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define TERVANDO_AVX2 1  // chosen at run time where the processor has it
#endif
#endif

namespace tervando {

namespace {

constexpr std::size_t kBlock = 64;
constexpr std::size_t kFarApart = 16;  // needles this long are filtered by first and last byte

bool IsLowerLetter(char c) { return c >= 'a' && c <= 'z'; }

std::uint64_t BracketMaskTail(std::string_view text, std::size_t start) {
  std::uint64_t mask = 0;
  const std::size_t end = std::min(text.size(), start + kBlock);
  for (std::size_t i = start; i < end; ++i) {
    if (text[i] == '<' || text[i] == '>') {
      mask |= std::uint64_t{1} << (i - start);
    }
  }
  return mask;
}

bool EqualsNoCaseAt(std::string_view text, std::size_t at, std::string_view lowerNeedle) {
  for (std::size_t k = 0; k < lowerNeedle.size(); ++k) {
    if (AsciiLower(text[at + k]) != lowerNeedle[k]) {
      return false;
    }
  }
  return true;
}

#ifdef TERVANDO_SSE2
std::uint64_t Bits(__m128i matches) {
  return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(matches)));
}

__m128i Load(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
#endif

// The three bytes (lower case, positions in the needle) that pick out candidates.
struct FilterBytes {
  int count;  // 2 for long needles: their first and last byte are far enough apart
  char byte[3];
  std::size_t offset[3];
};

char FoldBitFor(char c) { return IsLowerLetter(c) ? 0x20 : 0; }

#ifdef TERVANDO_AVX2
// Skips 64-byte blocks without any candidate, 32 bytes per step; returns the first block that
// may hold one, or a block from which the rest must be looked at by the caller.
template <int kCount>
__attribute__((target("avx2"))) std::size_t SkipQuietBlocksAvx2(std::string_view text,
                                                                std::size_t block,
                                                                std::size_t limit,
                                                                const FilterBytes& filter) {
  __m256i wanted[kCount];
  __m256i fold[kCount];
  for (int k = 0; k < kCount; ++k) {
    wanted[k] = _mm256_set1_epi8(filter.byte[k]);
    fold[k] = _mm256_set1_epi8(FoldBitFor(filter.byte[k]));
  }
  const std::size_t reach = filter.offset[kCount - 1];
  for (; block < limit && block + kBlock + reach <= text.size(); block += kBlock) {
    __m256i any = _mm256_setzero_si256();
    for (std::size_t half = 0; half < kBlock; half += 32) {
      const char* at = text.data() + block + half;
      __m256i hits = _mm256_set1_epi8(-1);
      for (int k = 0; k < kCount; ++k) {
        const __m256i bytes =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + filter.offset[k]));
        hits =
            _mm256_and_si256(hits, _mm256_cmpeq_epi8(_mm256_or_si256(bytes, fold[k]), wanted[k]));
      }
      any = _mm256_or_si256(any, hits);
    }
    if (!_mm256_testz_si256(any, any)) {
      return block;
    }
  }
  return block;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

std::size_t SkipQuietBlocks(std::string_view text, std::size_t block, std::size_t limit,
                            const FilterBytes& filter) {
#ifdef TERVANDO_AVX2
  if (HasAvx2()) {
    return filter.count == 2 ? SkipQuietBlocksAvx2<2>(text, block, limit, filter)
                             : SkipQuietBlocksAvx2<3>(text, block, limit, filter);
  }
#endif
  (void)text, (void)limit, (void)filter;
  return block;
}

// Finds where a needle may start, 64 positions at a time, by its first two bytes and its last:
// bytes that rarely stand at those distances leave few candidates to compare in full.
class Filter {
 public:
  explicit Filter(std::string_view lowerNeedle)
      : m_needle(lowerNeedle), m_last(lowerNeedle.size() - 1) {
#ifdef TERVANDO_SSE2
    m_first = _mm_set1_epi8(m_needle.front());
    m_firstFold = FoldFor(m_needle.front());
    m_second = _mm_set1_epi8(m_needle.size() > 1 ? m_needle[1] : m_needle.front());
    m_secondFold = FoldFor(m_needle.size() > 1 ? m_needle[1] : m_needle.front());
    m_secondAt = m_needle.size() > 1 ? 1 : 0;
    m_lastByte = _mm_set1_epi8(m_needle.back());
    m_lastFold = FoldFor(m_needle.back());
#endif
  }

  // Bit i set when the needle may start at text[start + i].
  std::uint64_t Mask(std::string_view text, std::size_t start) const {
#ifdef TERVANDO_SSE2
    if (start + kBlock + m_last <= text.size()) {
      std::uint64_t mask = 0;
      for (std::size_t part = 0; part < 4; ++part) {
        const char* at = text.data() + start + 16 * part;
        const __m128i hits = _mm_and_si128(
            _mm_and_si128(
                _mm_cmpeq_epi8(_mm_or_si128(Load(at), m_firstFold), m_first),
                _mm_cmpeq_epi8(_mm_or_si128(Load(at + m_secondAt), m_secondFold), m_second)),
            _mm_cmpeq_epi8(_mm_or_si128(Load(at + m_last), m_lastFold), m_lastByte));
        mask |= Bits(hits) << (16 * part);
      }
      return mask;
    }
#endif
    std::uint64_t mask = 0;
    const std::size_t end = std::min(text.size(), start + kBlock);
    for (std::size_t i = start; i < end && i + m_needle.size() <= text.size(); ++i) {
      if (EqualsNoCaseAt(text, i, m_needle)) {
        mask |= std::uint64_t{1} << (i - start);
      }
    }
    return mask;
  }

 private:
#ifdef TERVANDO_SSE2
  // For a letter, byte | 0x20 equals it exactly for its two cases.
  static __m128i FoldFor(char c) { return _mm_set1_epi8(IsLowerLetter(c) ? 0x20 : 0); }

  __m128i m_first;
  __m128i m_firstFold;
  __m128i m_second;
  __m128i m_secondFold;
  std::size_t m_secondAt = 0;
  __m128i m_lastByte;
  __m128i m_lastFold;
#endif
  std::string_view m_needle;
  std::size_t m_last;
};

}  // namespace

std::uint64_t BracketMask(std::string_view text, std::size_t start) {
#ifdef TERVANDO_SSE2
  if (start + kBlock <= text.size()) {
    const __m128i less = _mm_set1_epi8('<');
    const __m128i greater = _mm_set1_epi8('>');
    std::uint64_t mask = 0;
    for (std::size_t part = 0; part < 4; ++part) {
      const __m128i bytes = Load(text.data() + start + 16 * part);
      const __m128i hits =
          _mm_or_si128(_mm_cmpeq_epi8(bytes, less), _mm_cmpeq_epi8(bytes, greater));
      mask |= Bits(hits) << (16 * part);
    }
    return mask;
  }
#endif
  return BracketMaskTail(text, start);
}

void BracketStream::SeekTo(std::size_t position) {
  m_blockStart = position - position % kBlock;
  m_mask = m_blockStart < m_text.size() ? BracketMask(m_text, m_blockStart) : 0;
  m_mask &= ~std::uint64_t{0} << (position - m_blockStart);
}

bool BracketStream::LoadNextBlock() {
  if (m_blockStart + kBlock >= m_text.size()) {
    m_blockStart = m_text.size();
    return false;
  }
  m_blockStart += kBlock;
  m_mask = BracketMask(m_text, m_blockStart);
  return true;
}

std::size_t FindNoCase(std::string_view text, std::size_t from, std::size_t limit,
                       std::string_view needle) {
  limit = std::min(limit, text.size());
  if (needle.empty()) {
    return from <= limit ? from : std::string_view::npos;
  }
  if (needle.size() > text.size()) {
    return std::string_view::npos;
  }
  const Filter filter(needle);
  const std::size_t second = needle.size() > 1 ? 1 : 0;
  const FilterBytes bytes =
      needle.size() >= kFarApart
          ? FilterBytes{2, {needle.front(), needle.back()}, {0, needle.size() - 1}}
          : FilterBytes{
                3, {needle.front(), needle[second], needle.back()}, {0, second, needle.size() - 1}};
  std::size_t block = from - from % kBlock;
  std::uint64_t mask = ~std::uint64_t{0} << (from - block);
  while (block < limit) {
    mask &= filter.Mask(text, block);
    for (; mask != 0; mask &= mask - 1) {
      const std::size_t at = block + static_cast<std::size_t>(std::countr_zero(mask));
      if (at >= limit || at + needle.size() > text.size()) {
        return std::string_view::npos;
      }
      if (EqualsNoCaseAt(text, at, needle)) {
        return at;
      }
    }
    block = SkipQuietBlocks(text, block + kBlock, limit, bytes);
    mask = ~std::uint64_t{0};
  }
  return std::string_view::npos;
}

}  // namespace tervando
