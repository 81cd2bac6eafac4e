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

void WriteLog(const std::string& text, const std::string& logFileName, bool suppress) {
  try {
    if (!logFileName.empty()) {
      LogPath() = logFileName.find(kPathSeparator) != std::string::npos ? logFileName
                                                                        : AppFolder() + logFileName;
    }
    if (LogPath().empty()) {
      LogPath() = AppFolder() + "Application.log";
    }
    if (suppress) {
      return;
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
