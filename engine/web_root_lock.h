#pragma once

#include <string>
#include <vector>

namespace tervando {

// Keeps a second run off a site while this one works on it: an advisory lock (flock) on the web
// root folder itself, held until destruction. The site gains no lock file that could be
// uploaded or left behind. Every folder above the root is locked shared, so a run on a folder
// that holds this root, or on one inside it, is kept off as well. Where the file system cannot
// lock folders (some network file systems), the run goes on without the lock.
class WebRootLock {
 public:
  explicit WebRootLock(const std::string& webRoot);
  ~WebRootLock();
  WebRootLock(const WebRootLock&) = delete;
  WebRootLock& operator=(const WebRootLock&) = delete;

  // Another run holds the root, a folder above it or one inside it; this lock holds nothing.
  bool Busy() const { return m_busy; }

 private:
  void Release();

  std::vector<int> m_folders;  // open descriptors carrying the locks
  bool m_busy = false;
};

// The message for a busy web root.
std::string WebRootBusyText(const std::string& webRoot);

}  // namespace tervando
