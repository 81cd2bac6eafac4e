#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/unique_fd.h"

namespace tervando {

// An open folder handle, shared by the pages of that folder on their way through a run.
class OpenFolder {
 public:
  explicit OpenFolder(int fd) : m_fd(fd) {}
  int Fd() const { return m_fd.Get(); }

 private:
  UniqueFd m_fd;
};
using FolderRef = std::shared_ptr<const OpenFolder>;

// The web root, opened once for everything that follows (the scan, the run, the checks, the
// root's own files, the clean-up): `root` is its real path, opened without following a link.
// Throws std::system_error (kFolderOpenText) when it can't be opened.
FolderRef OpenWebRoot(const std::string& root);

// True while `path` still names the folder held open: a fresh look at the path finds the same
// device and inode. False once the folder was renamed away or another (or a link) took its name.
bool StillNamesFolder(const std::string& path, const OpenFolder& folder);

// Opens `relative` (names separated by "/", no "." or "..") below the folder `from` without
// following a link anywhere on the way or at its end: openat2 where the kernel has it, otherwise
// one name at a time. -1 with errno set on failure (ELOOP for a link).
int OpenBelow(int from, std::string_view relative, int flags);

// A file's place as walked: its folder, opened from the root down, and its name in it.
struct WalkedPlace {
  FolderRef folder;
  std::string name;
};

// How folders below the root are opened: with openat2 where the kernel has it (one call that
// refuses any link on the way), otherwise one name at a time with O_NOFOLLOW.
enum class WalkMethod { kBest, kNameByName };

// Walks paths below a root without ever following a link: from the root's own handle each
// folder is opened relative to its parent, so a folder swapped for a link (to anywhere) fails
// instead of leading out of the root. The last folder walked is kept open for the pages after
// it. The root is the web root's handle when given, otherwise its path is opened (without
// following a link) at the first walk. Used by one thread.
//
// Failures throw std::system_error with these codes: EXDEV for a path not below the root,
// ELOOP for a link on the way, ENOTDIR for something on the way that is no folder; otherwise
// the system's reason.
class SiteWalker {
 public:
  // `root`: a folder path ending with the separator ("/" walks the whole tree).
  explicit SiteWalker(std::string root, WalkMethod method = WalkMethod::kBest);
  SiteWalker(std::string root, FolderRef rootFolder, WalkMethod method = WalkMethod::kBest);

  WalkedPlace Walk(const std::string& path);
  const std::string& Root() const { return m_root; }
  // Brings every finished write on the root's file system to the disk (renames included).
  // False when the file system reported a failed write.
  bool FlushFileSystem();

 private:
  FolderRef OpenBelow(const FolderRef& from, const std::string& relative,
                      const std::string& shownPath);

  std::string m_root;
  WalkMethod m_method;
  FolderRef m_rootFolder;
  std::string m_lastPath;  // relative to the root, without the trailing separator
  FolderRef m_last;
};

}  // namespace tervando
