#include "engine/web_root_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace tervando {

namespace {

// Runs mark folders with read locks on single bytes of the folder (open file description
// locks, which no flock and no other lock kind disturbs): byte 0 of the root says "a run works
// here", byte 1 of every folder above it "a run works below".
constexpr off_t kRunHere = 0;
constexpr off_t kRunBelow = 1;

struct flock ByteRange(short type, off_t byte) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = byte;
  range.l_len = 1;
  return range;
}

bool Mark(int fd, off_t byte) {
  struct flock range = ByteRange(F_RDLCK, byte);
  return fcntl(fd, F_OFD_SETLK, &range) == 0;
}

// True when another open file description marks the byte (this one's own marks never count).
bool MarkedByAnother(int fd, off_t byte) {
  struct flock range = ByteRange(F_WRLCK, byte);
  return fcntl(fd, F_OFD_GETLK, &range) == 0 && range.l_type != F_UNLCK;
}

}  // namespace

WebRootLock::WebRootLock(const std::string& webRoot) {
  // The real path: other spellings of the root, through links or "..", lock the same folders.
  std::error_code error;
  const std::filesystem::path root = std::filesystem::canonical(webRoot, error);
  if (error) {
    return;
  }
  // Close-on-exec: a program started meanwhile (an editor, a browser) must not keep the lock.
  const int rootFd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (rootFd < 0) {
    return;
  }
  m_folders.push_back(rootFd);
  // Two runs on the same root: the exclusive lock decides between them without a race.
  if (flock(rootFd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    Busy(root.string());
    return;
  }
  Mark(rootFd, kRunHere);
  std::vector<std::pair<int, std::filesystem::path>> above;
  std::filesystem::path folder;
  for (const auto& part : root) {
    folder /= part;
    if (folder == root) {
      break;
    }
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      continue;  // a folder above that this user cannot read is left out
    }
    m_folders.push_back(fd);
    Mark(fd, kRunBelow);
    above.emplace_back(fd, folder);
  }
  // Each run marks before it looks, so of two runs starting together at least one sees the
  // other. Locks of other programs (flock on /tmp, say) are no marks and stop nothing.
  if (MarkedByAnother(rootFd, kRunBelow)) {
    Busy(root.string());
    return;
  }
  for (const auto& [fd, path] : above) {
    if (MarkedByAnother(fd, kRunHere)) {
      Busy(path.string());
      return;
    }
  }
}

bool RunWorksOn(const std::string& webRoot) {
  std::error_code error;
  const std::filesystem::path root = std::filesystem::canonical(webRoot, error);
  if (error) {
    return false;
  }
  std::filesystem::path folder;
  bool busy = false;
  for (const auto& part : root) {
    folder /= part;
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      continue;
    }
    busy = MarkedByAnother(fd, kRunHere) || (folder == root && MarkedByAnother(fd, kRunBelow));
    close(fd);
    if (busy) {
      break;
    }
  }
  return busy;
}

WebRootLock::~WebRootLock() { Release(); }

void WebRootLock::Busy(const std::string& folder) {
  m_busy = true;
  m_busyFolder = folder;
  if (!m_busyFolder.empty() && m_busyFolder.back() != '/') {
    m_busyFolder += '/';
  }
  Release();
}

void WebRootLock::Release() {
  for (const int fd : m_folders) {
    close(fd);  // closing the only descriptor ends its locks
  }
  m_folders.clear();
}

}  // namespace tervando
