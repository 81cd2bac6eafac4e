#include "engine/page_walk.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#ifdef __linux__
#include <linux/openat2.h>
#endif

#include "engine/errors.h"
#include "engine/messages.h"

namespace tervando {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

[[noreturn]] void ThrowWalkFailure(int error, const std::string& shownPath) {
  switch (error) {
    case ELOOP:
      throw FileError(ELOOP, kWalkLinkText, shownPath);
    case ENOTDIR:
      throw FileError(ENOTDIR, kWalkNoFolderText, shownPath);
    case EXDEV:
      throw FileError(EXDEV, kWalkOutsideRootText, shownPath);
    default:
      throw FileError(error, kFolderOpenText, shownPath);
  }
}

// -1 with errno ENOSYS where the kernel has no openat2.
int OpenBeneath(int from, const std::string& relative, int flags = O_RDONLY | O_DIRECTORY) {
#if defined(__linux__) && defined(SYS_openat2)
  open_how how{};
  how.flags = static_cast<unsigned long long>(flags | O_CLOEXEC);
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
  int fd = -1;
  // EAGAIN: a rename elsewhere raced the lookup; it is safe to try again.
  for (int attempt = 0; attempt < 8; ++attempt) {
    fd = static_cast<int>(::syscall(SYS_openat2, from, relative.c_str(), &how, sizeof how));
    if (fd >= 0 || errno != EAGAIN) {
      break;
    }
  }
  return fd;
#else
  (void)from;
  (void)relative;
  (void)flags;
  errno = ENOSYS;
  return -1;
#endif
}

}  // namespace

FolderRef OpenWebRoot(const std::string& root) {
  std::string path = root;
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();  // a trailing separator would follow a link named so
  }
  const int fd = ::open(path.c_str(), kFolderFlags);
  if (fd < 0) {
    throw FileError(errno == ENOTDIR ? ELOOP : errno, kFolderOpenText, root);
  }
  return std::make_shared<const OpenFolder>(fd);
}

bool StillNamesFolder(const std::string& path, const OpenFolder& folder) {
  struct stat named {};
  struct stat held {};
  std::string name = path;
  while (name.size() > 1 && name.back() == '/') {
    name.pop_back();
  }
  return ::lstat(name.c_str(), &named) == 0 && ::fstat(folder.Fd(), &held) == 0 &&
         S_ISDIR(named.st_mode) && named.st_dev == held.st_dev && named.st_ino == held.st_ino;
}

int OpenBelow(int from, std::string_view relative, int flags) {
  const std::string path(relative);
  const int fd = OpenBeneath(from, path, flags);
  if (fd >= 0 || (errno != ENOSYS && errno != EPERM && errno != EAGAIN)) {
    return fd;
  }
  UniqueFd folder;
  std::size_t begin = 0;
  while (true) {
    const std::size_t end = std::min(path.find('/', begin), path.size());
    const std::string name = path.substr(begin, end - begin);
    const int at = folder.Get() >= 0 ? folder.Get() : from;
    if (name.empty() || name == "." || name == "..") {
      errno = EXDEV;
      return -1;
    }
    if (end == path.size()) {
      return ::openat(at, name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC);
    }
    const int next = ::openat(at, name.c_str(), kFolderFlags);
    if (next < 0) {
      struct stat info {};
      if (errno == ENOTDIR && ::fstatat(at, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
          S_ISLNK(info.st_mode)) {
        errno = ELOOP;
      }
      return -1;
    }
    folder = UniqueFd(next);
    begin = end + 1;
  }
}

SiteWalker::SiteWalker(std::string root, WalkMethod method)
    : SiteWalker(std::move(root), nullptr, method) {}

SiteWalker::SiteWalker(std::string root, FolderRef rootFolder, WalkMethod method)
    : m_root(std::move(root)), m_method(method), m_rootFolder(std::move(rootFolder)) {
  if (m_root.empty() || m_root.back() != '/') {
    m_root += '/';
  }
}

WalkedPlace SiteWalker::Walk(const std::string& path) {
  if (!path.starts_with(m_root) || path.size() == m_root.size()) {
    ThrowWalkFailure(EXDEV, path);
  }
  const std::string_view relative = std::string_view(path).substr(m_root.size());
  const std::size_t slash = relative.rfind('/');
  WalkedPlace place;
  place.name = std::string(relative.substr(slash == std::string_view::npos ? 0 : slash + 1));
  const std::string_view folder =
      slash == std::string_view::npos ? std::string_view() : relative.substr(0, slash);
  const auto walkable = [](std::string_view part) {
    return !part.empty() && part != "." && part != "..";
  };
  if (!walkable(place.name)) {
    ThrowWalkFailure(EXDEV, path);  // every path is walked downwards only
  }
  const bool known = m_last && folder == m_lastPath;
  for (std::size_t begin = 0; !known && begin < folder.size();) {
    const std::size_t end = std::min(folder.find('/', begin), folder.size());
    if (!walkable(folder.substr(begin, end - begin))) {
      ThrowWalkFailure(EXDEV, path);
    }
    begin = end + 1;
  }
  if (!m_rootFolder) {
    m_rootFolder = OpenWebRoot(m_root);
  }
  if (folder.empty()) {
    place.folder = m_rootFolder;
  } else if (known) {
    place.folder = m_last;
  } else {
    m_last = OpenBelow(m_rootFolder, std::string(folder), path);
    m_lastPath = folder;
    place.folder = m_last;
  }
  return place;
}

bool SiteWalker::FlushFileSystem() {
  if (!m_rootFolder) {
    m_rootFolder = OpenWebRoot(m_root);
  }
  return ::syncfs(m_rootFolder->Fd()) == 0;
}

FolderRef SiteWalker::OpenBelow(const FolderRef& from, const std::string& relative,
                                const std::string& shownPath) {
  if (m_method == WalkMethod::kBest) {
    const int fd = OpenBeneath(from->Fd(), relative);
    if (fd >= 0) {
      return std::make_shared<const OpenFolder>(fd);
    }
    if (errno != ENOSYS && errno != EPERM && errno != EAGAIN) {  // EPERM: a filter forbids it
      ThrowWalkFailure(errno, shownPath);
    }
    m_method = WalkMethod::kNameByName;
  }
  FolderRef folder = from;
  std::size_t begin = 0;
  while (begin < relative.size()) {
    const std::size_t end = std::min(relative.find('/', begin), relative.size());
    const std::string name = relative.substr(begin, end - begin);
    const int fd = ::openat(folder->Fd(), name.c_str(), kFolderFlags);
    if (fd < 0) {
      // O_DIRECTORY answers a link with ENOTDIR; it is told as the link it is.
      struct stat info {};
      const int error = errno;
      ThrowWalkFailure(
          error == ENOTDIR &&
                  ::fstatat(folder->Fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                  S_ISLNK(info.st_mode)
              ? ELOOP
              : error,
          shownPath);
    }
    folder = std::make_shared<const OpenFolder>(fd);
    begin = end + 1;
  }
  return folder;
}

}  // namespace tervando
