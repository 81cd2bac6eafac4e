#include "engine/web_root_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <exception>

#include "engine/real_path.h"

namespace tervando {

namespace {

constexpr int kLockOpenFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
constexpr int kFolderLookFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether a run holds the lock file in the folder `folder`. A file that isn't shaped as ours
// (a regular owner-only file with one name) is no lock: anyone could make one readable to all
// and flock it. Outside the run's own site (`trusted` false) it counts only when it belongs to
// this user, to root or to the folder's owner: a user who may merely create files there (/tmp)
// holds nothing. One that can't be opened belongs to another user, who holds it.
bool HeldIn(int folder, bool trusted) {
  struct stat info {};
  struct stat folderInfo {};
  if (::fstatat(folder, kLockFileName, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
      ::fstat(folder, &folderInfo) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & 077) != 0 ||
      info.st_nlink != 1) {
    return false;
  }
  if (!trusted && info.st_uid != ::geteuid() && info.st_uid != 0 &&
      info.st_uid != folderInfo.st_uid) {
    return false;
  }
  const UniqueFd file(::openat(folder, kLockFileName, kLockOpenFlags));
  if (file.Get() < 0) {
    return errno == EACCES || errno == EPERM;
  }
  struct stat opened {};
  if (::fstat(file.Get(), &opened) != 0 || !SameFile(opened, info)) {
    return false;  // replaced meanwhile: a run ending or starting, looked at once
  }
  if (::flock(file.Get(), LOCK_SH | LOCK_NB) != 0) {
    return errno == EWOULDBLOCK;
  }
  ::flock(file.Get(), LOCK_UN);
  return false;
}

// The folder above the root (a real path ending with the separator) that a run holds, if any;
// each is reached from "/" one name at a time without following a link.
std::string HeldAbove(const std::string& webRoot) {
  UniqueFd folder(::open("/", kFolderLookFlags));
  std::size_t begin = 1;
  while (folder.Get() >= 0) {
    if (HeldIn(folder.Get(), false)) {
      return webRoot.substr(0, begin);
    }
    const std::size_t end = webRoot.find('/', begin);
    if (end == std::string::npos || end + 1 >= webRoot.size()) {
      break;  // the next one is the root itself
    }
    const std::string name = webRoot.substr(begin, end - begin);
    folder = UniqueFd(::openat(folder.Get(), name.c_str(), kFolderLookFlags));
    begin = end + 1;
  }
  return {};
}

std::string WithSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') {
    folder += '/';
  }
  return folder;
}

}  // namespace

WebRootLock::WebRootLock(const std::string& webRoot, FolderRef root,
                         const std::vector<std::string>& lockFilesBelow)
    : m_root(std::move(root)) {
  std::string real = webRoot;
  if (!m_root) {
    real = WithSeparator(RealPath(webRoot));
    try {
      m_root = OpenWebRoot(real);
    } catch (const std::exception&) {
      return;  // the run says why it can't reach the root
    }
  }
  real = WithSeparator(real);
  // Each run locks before it looks, so of two runs starting together at least one sees the other.
  if (!Take(real)) {
    return;
  }
  if (const std::string above = HeldAbove(real); !above.empty()) {
    Busy(above);
    return;
  }
  for (const std::string& lockFile : lockFilesBelow) {
    const std::size_t slash = lockFile.rfind('/');
    if (slash == std::string::npos) {
      continue;  // the root's own
    }
    const std::string folder = lockFile.substr(0, slash);
    const UniqueFd below(OpenBelow(m_root->Fd(), folder, kFolderLookFlags));
    if (below.Get() >= 0 && HeldIn(below.Get(), true)) {
      Busy(real + folder);
      return;
    }
  }
}

// Creates or opens the root's lock file and locks it. False when another run holds it.
bool WebRootLock::Take(const std::string& webRoot) {
  const int root = m_root->Fd();
  for (int attempt = 0; attempt < 4; ++attempt) {
    UniqueFd file(::openat(root, kLockFileName, kLockOpenFlags | O_CREAT, 0600));
    struct stat info {};
    if (file.Get() < 0) {
      const int error = errno;
      const bool exists = ::fstatat(root, kLockFileName, &info, AT_SYMLINK_NOFOLLOW) == 0;
      if ((error == EACCES || error == EPERM) && exists && S_ISREG(info.st_mode)) {
        Busy(webRoot);  // another user's run, who may write in this root
        return false;
      }
      if (!exists || S_ISDIR(info.st_mode) || ::unlinkat(root, kLockFileName, 0) != 0) {
        return true;  // a root that can't take the file (read-only): no lock
      }
      continue;  // a link or a pipe under the name is no lock; it is made anew
    }
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
      ::unlinkat(root, kLockFileName, 0);
      continue;
    }
    if (::flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) {
        Busy(webRoot);
        return false;
      }
      return true;  // a file system without locks
    }
    // A run that ended just now removed the name after this one opened it: the lock then
    // holds a file nobody else sees; take the name anew.
    struct stat named {};
    if (::fstatat(root, kLockFileName, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        !SameFile(named, info)) {
      continue;
    }
    if ((info.st_mode & 077) != 0 && info.st_uid == ::geteuid()) {
      ::fchmod(file.Get(), 0600);  // others looking at it see an owner-only lock
    }
    m_file = std::move(file);
    return true;
  }
  return true;
}

bool RunWorksOn(const std::string& webRoot, FolderRef root) {
  std::string real = webRoot;
  if (!root) {
    real = WithSeparator(RealPath(webRoot));
    try {
      root = OpenWebRoot(real);
    } catch (const std::exception&) {
      return false;
    }
  }
  return HeldIn(root->Fd(), true) || !HeldAbove(WithSeparator(real)).empty();
}

WebRootLock::~WebRootLock() { Release(); }

void WebRootLock::Busy(const std::string& folder) {
  m_busy = true;
  m_busyFolder = WithSeparator(folder);
  Release();
}

void WebRootLock::Release() {
  if (m_file.Get() < 0) {
    return;
  }
  // Removed while still locked, and only when the name is still this file.
  struct stat info {};
  struct stat named {};
  if (::fstat(m_file.Get(), &info) == 0 &&
      ::fstatat(m_root->Fd(), kLockFileName, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
      SameFile(info, named)) {
    ::unlinkat(m_root->Fd(), kLockFileName, 0);
  }
  m_file.Reset();
}

}  // namespace tervando
