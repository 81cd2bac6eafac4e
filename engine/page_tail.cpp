#include "engine/page_tail.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "engine/byte_scan.h"
#include "engine/errors.h"
#include "engine/icon_block.h"
#include "engine/messages.h"

namespace tervando {

namespace {

constexpr std::string_view kHeadEndTag = "</head>";
constexpr std::size_t kFirstRead = std::size_t{64} << 10;
constexpr std::size_t kScanChunk = std::size_t{1} << 20;

// The start of the data at or after `position`, or `end` when only a hole is left; every byte
// counts as data where the file system can't tell.
off_t NextData(int fd, off_t position, off_t end) {
  const off_t data = ::lseek(fd, position, SEEK_DATA);
  if (data < 0) {
    return errno == ENXIO ? end : position;
  }
  return std::min(data, end);
}

off_t DataEnd(int fd, off_t data, off_t end) {
  const off_t hole = ::lseek(fd, data, SEEK_HOLE);
  return hole < 0 ? end : std::min(hole, end);
}

// Whether the page's bytes [from, end) hold one of the needles (lower case) ending after
// `counted`, or, with `nul`, a NUL byte or a hole.
bool Holds(int fd, off_t from, off_t counted, off_t end,
           const std::vector<std::string_view>& needles, bool nul, const std::string& path) {
  std::vector<char> buffer(kScanChunk);
  std::size_t overlap = 0;
  for (const std::string_view needle : needles) {
    overlap = std::max(overlap, needle.size() - 1);
  }
  for (off_t position = from; position < end;) {
    const off_t data = NextData(fd, position, end);
    if (nul && data > position) {
      return true;
    }
    const off_t dataEnd = DataEnd(fd, data, end);
    std::size_t kept = 0;  // the last bytes of the chunk before: a needle may span both
    for (off_t at = data; at < dataEnd;) {
      const std::size_t want =
          std::min<std::size_t>(buffer.size() - kept, static_cast<std::size_t>(dataEnd - at));
      const ssize_t got = ::pread(fd, buffer.data() + kept, want, at);
      if (got < 0 && errno == EINTR) {
        continue;
      }
      if (got < 0) {
        throw FileError(errno, kReadText, path);
      }
      if (got == 0) {
        return true;  // shorter than it was: read whole, as it is now
      }
      const std::string_view text(buffer.data(), kept + static_cast<std::size_t>(got));
      const off_t textStart = at - static_cast<off_t>(kept);
      if (nul && std::memchr(text.data(), '\0', text.size()) != nullptr) {
        return true;
      }
      for (const std::string_view needle : needles) {
        for (std::size_t found = FindNoCase(text, 0, text.size(), needle);
             found != std::string_view::npos;
             found = FindNoCase(text, found + 1, text.size(), needle)) {
          if (textStart + static_cast<off_t>(found + needle.size()) > counted) {
            return true;
          }
        }
      }
      at += got;
      kept = std::min(overlap, text.size());
      std::memmove(buffer.data(), text.data() + text.size() - kept, kept);
    }
    position = dataEnd;
  }
  return false;
}

// Copies [begin, end) of `from` to `to` at `begin + shift` through a buffer, where the kernel
// can't copy between the two files.
void CopyThroughBuffer(int from, off_t begin, off_t end, int to, off_t shift,
                       const std::string& path) {
  std::vector<char> buffer(kScanChunk);
  while (begin < end) {
    const ssize_t got =
        ::pread(from, buffer.data(),
                std::min<std::size_t>(buffer.size(), static_cast<std::size_t>(end - begin)), begin);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      throw FileError(errno, kReadText, path);
    }
    if (got == 0) {
      throw FileError(EAGAIN, kPageChangedText, path);
    }
    for (ssize_t written = 0; written < got;) {
      const ssize_t put =
          ::pwrite(to, buffer.data() + written, static_cast<std::size_t>(got - written),
                   begin + shift + written);
      if (put < 0 && errno != EINTR) {
        throw FileError(errno, kWriteText, path);
      }
      written += std::max<ssize_t>(put, 0);
    }
    begin += got;
  }
}

bool KernelCannotCopy(int error) {
  return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

}  // namespace

std::optional<PageHead> ReadPageHead(int fd, const struct stat& info, const std::string& path,
                                     std::string_view faviconLinkPrefix) {
  PageHead head;
  std::string& bytes = head.bytes;
  std::size_t filled = 0;
  std::size_t headEnd = std::string_view::npos;
  while (filled < kHeadReadLimit) {
    if (filled == bytes.size()) {
      bytes.resize(std::min(std::max(2 * bytes.size(), kFirstRead), kHeadReadLimit));
    }
    const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      throw FileError(errno, kReadText, path);
    }
    if (got == 0) {
      bytes.resize(filled);
      return head;  // the whole page
    }
    const std::size_t searchFrom = filled >= kHeadEndTag.size() ? filled - kHeadEndTag.size() : 0;
    filled += static_cast<std::size_t>(got);
    headEnd = FindNoCase(std::string_view(bytes.data(), filled), searchFrom, filled, kHeadEndTag);
    if (headEnd != std::string_view::npos) {
      filled = headEnd + kHeadEndTag.size();
      break;
    }
  }
  bytes.resize(filled);
  const off_t end = info.st_size;
  if (static_cast<off_t>(filled) >= end) {
    return std::nullopt;  // grew or shrank since its size was taken: read as it is now
  }
  std::vector<std::string_view> needles{faviconLinkPrefix, kBlockMarker};
  const bool headEnded = headEnd != std::string_view::npos;
  if (!headEnded) {
    needles.push_back(kHeadEndTag);
  }
  // A needle may begin in the head's last bytes and end in the tail.
  std::size_t overlap = 0;
  for (const std::string_view needle : needles) {
    overlap = std::max(overlap, needle.size() - 1);
  }
  const off_t begin = static_cast<off_t>(filled);
  const off_t scanFrom = begin - static_cast<off_t>(std::min(overlap, filled));
  if (Holds(fd, scanFrom, begin, end, needles, !headEnded, path)) {
    return std::nullopt;
  }
  head.tail = PageTail{begin, end};
  return head;
}

void CopyTail(int from, const PageTail& tail, int to, off_t at, const std::string& path,
              std::size_t chunk) {
  const off_t shift = at - tail.begin;
  bool inKernel = true;
  for (off_t position = tail.begin; position < tail.end;) {
    const off_t data = NextData(from, position, tail.end);
    const off_t dataEnd = DataEnd(from, data, tail.end);
    off_t in = data;
    off_t out = data + shift;
    while (inKernel && in < dataEnd) {
      const std::size_t want = std::min(chunk, static_cast<std::size_t>(dataEnd - in));
      const ssize_t copied = ::copy_file_range(from, &in, to, &out, want, 0);
      if (copied < 0 && errno == EINTR) {
        continue;
      }
      if (copied < 0 && KernelCannotCopy(errno)) {
        inKernel = false;
      } else if (copied < 0) {
        throw FileError(errno, kWriteText, path);
      } else if (copied == 0) {
        throw FileError(EAGAIN, kPageChangedText, path);
      }
    }
    CopyThroughBuffer(from, in, dataEnd, to, shift, path);
    position = dataEnd;
  }
  // A hole at the end is made by the length alone.
  if (::ftruncate(to, tail.end + shift) != 0) {
    throw FileError(errno, kWriteText, path);
  }
}

}  // namespace tervando
