#include "site/app_folder.h"

#include <filesystem>
#include <system_error>

namespace tervando {

std::string WithTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == kPathSeparator) {
    return path;
  }
  return path + kPathSeparator;
}

std::string AppFolder() {
  static const std::string folder = [] {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    // Without /proc the working folder is the best guess left; never the file-system root.
    if (error || !program.has_parent_path()) {
      return WithTrailingBackslash(std::filesystem::current_path(error).string());
    }
    return WithTrailingBackslash(program.parent_path().string());
  }();
  return folder;
}

}  // namespace tervando
