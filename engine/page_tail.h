#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tervando {

// A page costs its head: a page larger than kWholeReadLimit is read only up to its first
// "</head>", which is all its edit needs, and its rest (the tail) is copied into the new page in
// the kernel. Memory per page stays bounded whatever its size; a sparse page stays sparse.
inline constexpr std::uint64_t kWholeReadLimit = std::uint64_t{8} << 20;
// The most of a page read while its head end tag is looked for.
inline constexpr std::size_t kHeadReadLimit = std::size_t{16} << 20;
// The most copy_file_range is asked for at once.
inline constexpr std::size_t kTailCopyChunk = std::size_t{16} << 20;

// The bytes [begin, end) of a page, left on the disk.
struct PageTail {
  off_t begin = 0;
  off_t end = 0;
};

struct PageHead {
  std::string bytes;             // the page's first bytes, or all of them
  std::optional<PageTail> tail;  // the rest, when it was left on the disk
};

// Reads the open page `fd` (fstat `info`) from where its offset stands (its start) up to and with
// its first "</head>" (any case), or kHeadReadLimit bytes when it has none so early, or its end.
// The rest is left on the disk when nothing in it could change the edit: no reference
// (`faviconLinkPrefix`, lower case: one after the head keeps the page as it is), no marker of our
// tags or of switched-off links, and after a head without its end tag no "</head>" and no NUL
// byte (a hole is NUL bytes). None when the tail holds such a thing: the page is read whole.
std::optional<PageHead> ReadPageHead(int fd, const struct stat& info, const std::string& path,
                                     std::string_view faviconLinkPrefix);

// Copies the tail of the page `from` into `to` at offset `at`, in the kernel (copy_file_range,
// which shares the blocks where the file system can) at most `chunk` bytes a call, and leaves
// its holes holes; `to` then ends where the tail does. A page found shorter than the tail was
// changed meanwhile (EAGAIN); failures throw std::system_error.
void CopyTail(int from, const PageTail& tail, int to, off_t at, const std::string& path,
              std::size_t chunk = kTailCopyChunk);

}  // namespace tervando
