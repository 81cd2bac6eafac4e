#include "cli/cli_arguments.h"

#include <dirent.h>
#include <sys/stat.h>

#include <filesystem>
#include <iostream>

#include "cli/cli_run.h"
#include "engine/messages.h"
#include "engine/messages_cli.h"
#include "support/escape_control_bytes.h"

namespace tervando {

namespace fs = std::filesystem;

int UsageError(const std::string& text) {
  std::cerr << "tervando-cli: " << EscapeControlBytes(text) << "\n" << kCliHelpHint;
  return kExitUsage;
}

std::string ReadableFolder(const std::string& argument) {
  std::error_code error;
  const fs::path absolute = fs::absolute(argument, error).lexically_normal();
  if (error) {
    return {};
  }
  struct stat info {};
  if (stat(absolute.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return {};
  }
  DIR* dir = opendir(absolute.c_str());
  if (dir == nullptr) {
    return {};
  }
  closedir(dir);
  return absolute.string();
}

}  // namespace tervando
