#pragma once

#include <string>
#include <vector>

#include "engine/messages.h"  // WebRootBusyText, the message for a busy web root

namespace tervando {

// Keeps a second run off a site while this one works on it: an advisory lock (flock) on the web
// root folder itself, held until destruction. The site gains no lock file that could be
// uploaded or left behind. The root and every folder above it also carry a mark (a read lock on
// one byte), so a run on a folder that holds this root, or on one inside it, is kept off as
// well, while a lock another program or user holds on a folder above stops nothing. Where the
// file system cannot lock folders (some network file systems), the run goes on without it.
class WebRootLock {
 public:
  explicit WebRootLock(const std::string& webRoot);
  ~WebRootLock();
  WebRootLock(const WebRootLock&) = delete;
  WebRootLock& operator=(const WebRootLock&) = delete;

  // Another run holds the root, a folder above it or one inside it; this lock holds nothing.
  bool Busy() const { return m_busy; }
  // Where the other run was seen: the root, or the folder above it that the other run works on.
  const std::string& BusyFolder() const { return m_busyFolder; }

 private:
  void Busy(const std::string& folder);
  void Release();

  std::vector<int> m_folders;  // open descriptors carrying the locks
  bool m_busy = false;
  std::string m_busyFolder;
};

// True while a run works on the web root, a folder above it or one inside it. Only looks: takes
// no lock, so it never keeps a starting run off.
bool RunWorksOn(const std::string& webRoot);

}  // namespace tervando
