#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tervando {

inline constexpr char kFaviconFileName[] = "favicon.ico";

// The text that starts every favicon reference and finds an existing one (any letter case).
inline constexpr char kFaviconLinkPrefix[] = "<link rel=\"SHORTCUT ICON\" href=";
std::string BuildFaviconLinkPrefix();

// The favicon edit of one page: `removed` bytes at `offset` give way to `inserted`. A page
// that stays as it is gets an edit that removes and inserts nothing.
struct FaviconEdit {
  std::size_t offset = 0;
  std::size_t removed = 0;
  std::string inserted;

  // True when applying the edit to `text` gives `text` back (also a reference that is
  // already the one that would be written).
  bool LeavesUnchanged(std::string_view text) const;
  // The text with the edit applied.
  std::string AppliedTo(std::string_view text) const;
};

// True for a page that is no byte-oriented text (8-bit or UTF-8): it starts with a UTF-16 or
// UTF-32 byte order mark, or holds a NUL byte before the end of its first "</head>" (the whole
// page when it has none), as UTF-16 without a mark does wherever it spells an ASCII character.
// Its code units may spell tags by chance, so such a page is never edited.
bool IsWideText(std::string_view text);

// A prefix that starts a tag and can never be touched by masking (BuildFaviconLinkPrefix is
// one): then "a tag contains it" means "a tag starts with it", and candidates can be found by
// looking for its first bytes.
bool IsPlainTagOpener(std::string_view prefix);

// Finds the edit that inserts, refreshes or (remove) empties the page's favicon reference,
// without copying the page, so a page can be written from its original bytes and the one new
// tag. Works on whole tags as the masked, split page shows them; the head tag, the first
// reference and the head end tag decide whether and where. webRootDepth is the number of
// separators in the web root. Every byte outside the one changed tag stays, including bytes 27
// followed by 1..4 that the page already held. An empty text throws
// std::system_error(EngineErrc::kIndexOutOfRange); a prefix that is no plain tag opener ends
// the program. A wide text (IsWideText) is left unchanged. Its reference: SetUnsetFaviconInHtml in
// tests/reference/literal_head_editor.h.
FaviconEdit FindFaviconEdit(std::string_view text, std::string_view pagePath, bool remove,
                            const std::string& faviconLinkPrefix, int webRootDepth);

struct ByteRange {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Where the three searches over the split page land, as positions in the page.
struct HeadPlaces {
  bool edit = false;        // a head tag before the head end tag, and no reference at or after it
  std::size_t headEnd = 0;  // just after the head tag
  std::optional<ByteRange> link;  // the first reference, when it lies before the head end tag
};

// The edit for a page whose head tag, head end tag and first reference lie at `places`.
FaviconEdit FaviconEditAt(const HeadPlaces& places, std::string_view pagePath, bool remove,
                          const std::string& faviconLinkPrefix, int webRootDepth);

// Number of positions, overlapping ones included, at which the needle occurs in the haystack;
// 0 for an empty needle. compareMode 0 compares exactly, any other value without regard to case.
int CountOccurrences(std::string_view needle, std::string_view haystack, int compareMode);

// The reference for a page whose path holds `levels` separators more than the web root:
// "./" at the root, "../" per level below it, no relative part above it.
std::string BuildFaviconReference(const std::string& faviconLinkPrefix, int levels);

}  // namespace tervando
