#include "support/write_log.h"

#include <cstdio>

#include "site/app_folder.h"
#include "support/escape_control_bytes.h"

namespace tervando {

namespace {
std::string& LogPath() {
  static std::string path;
  return path;
}
}  // namespace

const std::string& LogFilePath() { return LogPath(); }

std::string DefaultLogFilePath() { return LogFolder() + "Application.log"; }

void WriteLog(const std::string& text, const std::string& logFileName, bool suppress) {
  try {
    if (!logFileName.empty()) {
      LogPath() = logFileName.find(kPathSeparator) != std::string::npos ? logFileName
                                                                        : LogFolder() + logFileName;
    }
    if (LogPath().empty()) {
      LogPath() = DefaultLogFilePath();
    }
    if (suppress) {
      return;
    }
    // An installed copy's state folder may not exist yet; the program folder always does.
    if (Installed() && LogPath().rfind(LogFolder(), 0) == 0) {
      MakeFolders(LogFolder());
    }

    std::FILE* file = std::fopen(LogPath().c_str(), "ab");
    if (file == nullptr) {
      return;
    }
    // Names from the site may hold line breaks; escaped, they cannot forge log lines.
    const std::string line = EscapeControlBytes(text) + "\r\n";
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
  } catch (...) {
    // The log never stops the work it records.
  }
}

}  // namespace tervando
