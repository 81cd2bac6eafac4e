#include "site/system_folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <string_view>

namespace tervando {

namespace {

constexpr const char* kSystemFolders[] = {"/",    "/usr",  "/etc", "/bin", "/sbin", "/boot",
                                          "/dev", "/proc", "/sys", "/run", "/var"};

// Compared as the file system's identity, so "/bin" is found where it is a link to /usr/bin.
bool SameFolder(const struct stat& folder, const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && info.st_dev == folder.st_dev &&
         info.st_ino == folder.st_ino;
}

// /lib, /lib32, /lib64, /libx32 and whatever else of the kind the system has.
bool IsTopLibraryFolder(const struct stat& folder) {
  const std::unique_ptr<DIR, int (*)(DIR*)> top(::opendir("/"), ::closedir);
  if (!top) {
    return false;
  }
  while (const dirent* entry = ::readdir(top.get())) {
    if (std::string_view(entry->d_name).starts_with("lib") &&
        SameFolder(folder, std::string("/") + entry->d_name)) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool IsSystemFolder(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return false;
  }
  for (const char* system : kSystemFolders) {
    if (SameFolder(info, system)) {
      return true;
    }
  }
  return IsTopLibraryFolder(info);
}

}  // namespace tervando
