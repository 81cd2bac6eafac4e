#include "engine/web_root_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace tervando {

WebRootLock::WebRootLock(const std::string& webRoot) {
  // The real path: other spellings of the root, through links or "..", lock the same folders.
  std::error_code error;
  const std::filesystem::path root = std::filesystem::canonical(webRoot, error);
  if (error) {
    return;
  }
  std::filesystem::path folder;
  for (const auto& part : root) {
    folder /= part;
    const bool isRoot = folder == root;
    // Close-on-exec: a program started meanwhile (an editor, a browser) must not keep the lock.
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      continue;  // a folder above that this user cannot read is left out
    }
    if (flock(fd, (isRoot ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) {
      m_folders.push_back(fd);
      continue;
    }
    const int reason = errno;
    close(fd);
    if (reason == EWOULDBLOCK) {
      m_busy = true;
      Release();
      return;
    }
  }
}

WebRootLock::~WebRootLock() { Release(); }

void WebRootLock::Release() {
  for (const int fd : m_folders) {
    close(fd);  // closing the only descriptor ends its lock
  }
  m_folders.clear();
}

std::string WebRootBusyText(const std::string& webRoot) {
  return "Ein anderer Lauf bearbeitet gerade diesen Ordner: " + webRoot;
}

}  // namespace tervando
