#pragma once

#include <memory>
#include <string>

namespace tervando {

// An open folder handle, shared by the pages of that folder on their way through a run.
class OpenFolder {
 public:
  explicit OpenFolder(int fd) : m_fd(fd) {}
  ~OpenFolder();
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;
  int Fd() const { return m_fd; }

 private:
  int m_fd;
};
using FolderRef = std::shared_ptr<const OpenFolder>;

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
// it. The root itself is opened as given. Used by one thread.
//
// Failures throw std::system_error with these codes: EXDEV for a path not below the root,
// ELOOP for a link on the way, ENOTDIR for something on the way that is no folder; otherwise
// the system's reason.
class SiteWalker {
 public:
  // `root`: a folder path ending with the separator ("/" walks the whole tree).
  explicit SiteWalker(std::string root, WalkMethod method = WalkMethod::kBest);

  WalkedPlace Walk(const std::string& path);
  const std::string& Root() const { return m_root; }

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
