#pragma once

#include <string>
#include <vector>

#include "engine/messages.h"  // WebRootBusyText, the message for a busy web root
#include "engine/page_walk.h"
#include "engine/unique_fd.h"

namespace tervando {

// The lock file a run keeps in its web root: hidden (no scan lists it as a page), owner-only.
inline constexpr char kLockFileName[] = ".tervando.lock";

// Keeps a second run off a site while this one works on it: the run creates the lock file in
// the web root (0600, never through a link), holds an exclusive flock on it until destruction
// and then removes it. Only those who can open that file can lock it, so only the run's own
// user (and root) can hold a run off the site; a user who may create files in the web root may
// change the site anyway.
//
// Nested roots: a run looks for held lock files in the folders above its root, counting only
// those owned by itself, by root or by the folder's owner, owner-only and with one name (so no
// other user can plant or hold one there), and in the folders below that the scan met
// (`lockFilesBelow`, paths below the root). Where the file system cannot lock (some network
// file systems) or the root can't take the file (read-only), the run goes on without it.
class WebRootLock {
 public:
  // `webRoot`: the real path ending with the separator; `root`: its handle (opened here when
  // none is given).
  explicit WebRootLock(const std::string& webRoot, FolderRef root = nullptr,
                       const std::vector<std::string>& lockFilesBelow = {});
  ~WebRootLock();
  WebRootLock(const WebRootLock&) = delete;
  WebRootLock& operator=(const WebRootLock&) = delete;

  // Another run holds the root, a folder above it or one inside it; this lock holds nothing.
  bool Busy() const { return m_busy; }
  // Where the other run was seen: the root, or the folder above or below that it works on.
  const std::string& BusyFolder() const { return m_busyFolder; }

 private:
  bool Take(const std::string& webRoot);
  void Busy(const std::string& folder);
  void Release();

  FolderRef m_root;
  UniqueFd m_file;  // the lock file, flocked while held
  bool m_busy = false;
  std::string m_busyFolder;
};

// True while a run works on the web root or on a folder above it. Only looks: takes no lock,
// so it never keeps a starting run off.
bool RunWorksOn(const std::string& webRoot, FolderRef root = nullptr);

}  // namespace tervando
