#include "site/app_folder.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "build_config.h"

namespace tervando {

namespace fs = std::filesystem;

std::string WithTrailingSeparator(const std::string& path) {
  if (!path.empty() && path.back() == kPathSeparator) {
    return path;
  }
  return path + kPathSeparator;
}

std::string AppFolder() {
  static const std::string folder = [] {
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    // Without /proc the working folder is the best guess left; never the file-system root.
    if (error || !program.has_parent_path()) {
      return WithTrailingSeparator(fs::current_path(error).string());
    }
    return WithTrailingSeparator(program.parent_path().string());
  }();
  return folder;
}

std::string InstalledDataFolder(const std::string& programFolder) {
  return WithTrailingSeparator(
      (fs::path(programFolder) / TERVANDO_DATA_FROM_BIN).lexically_normal().string());
}

bool IsInstalledIn(const std::string& programFolder) {
  std::error_code error;
  return fs::is_directory(InstalledDataFolder(programFolder), error);
}

bool Installed() {
  static const bool installed = IsInstalledIn(AppFolder());
  return installed;
}

std::string DataFolder() { return Installed() ? InstalledDataFolder(AppFolder()) : AppFolder(); }

std::string UserFolder(const char* variable, const char* homeFallback) {
  const char* base = std::getenv(variable);
  if (base != nullptr && base[0] == kPathSeparator) {
    return WithTrailingSeparator(base) + "tervando" + kPathSeparator;
  }
  const char* home = std::getenv("HOME");
  return WithTrailingSeparator(home != nullptr && home[0] != '\0' ? home : "/") + homeFallback +
         kPathSeparator + "tervando" + kPathSeparator;
}

std::string LogFolder() {
  return Installed() ? UserFolder("XDG_STATE_HOME", ".local/state") : AppFolder();
}

std::string ConfigFolder() { return UserFolder("XDG_CONFIG_HOME", ".config"); }

bool MakeFolders(const std::string& folder) {
  std::error_code error;
  const fs::path target = fs::path(folder).lexically_normal();
  fs::path partial;
  for (const fs::path& part : target) {
    partial /= part;
    if (!part.empty() && !fs::exists(partial, error)) {
      ::mkdir(partial.c_str(), S_IRWXU);
    }
  }
  return fs::is_directory(target, error);
}

}  // namespace tervando
