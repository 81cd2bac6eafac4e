#include "engine/real_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <utility>

namespace tervando {

namespace {

constexpr int kLinkHops = 40;  // as the system allows before it reports a loop

}  // namespace

std::string RealPath(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) {
    return {};
  }
  std::string result(real);
  std::free(real);
  return result;
}

std::string RealPathOf(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < kLinkHops; ++hop) {
    std::string real = RealPath(current);
    if (!real.empty()) {
      return real;
    }
    struct stat info {};
    const std::size_t slash = current.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : current.substr(0, slash));
    if (::lstat(current.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
      std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
      const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
      if (length <= 0) {
        return {};
      }
      target.resize(static_cast<std::size_t>(length));
      if (target.front() == '/') {
        current = std::move(target);
      } else {
        current = folder;
        current.append("/").append(target);
      }
      continue;
    }
    const std::string realFolder = RealPath(folder);
    if (realFolder.empty() || slash == std::string::npos || slash + 1 == current.size()) {
      return {};
    }
    return (realFolder == "/" ? "" : realFolder) + current.substr(slash);
  }
  return {};
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
  const std::string real = RealPathOf(path);
  std::string root = RealPathOf(folder);
  if (real.empty() || root.empty()) {
    return false;
  }
  if (real == root) {
    return true;
  }
  if (root.back() != '/') {
    root += '/';
  }
  return real.compare(0, root.size(), root) == 0;
}

}  // namespace tervando
