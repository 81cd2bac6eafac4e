#include "support/write_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "engine/messages.h"
#include "engine/unique_fd.h"
#include "site/app_folder.h"
#include "support/escape_control_bytes.h"

namespace tervando {

namespace {

// An open log file, closed with its owner.
struct LogFile {
  UniqueFd fd;
  std::string problem;  // why it is not open
};

// Non-blocking, so a named pipe without a reader fails at once instead of waiting for one;
// a terminal never becomes the controlling one.
void OpenLog(const std::string& path, LogFile& log) {
  log.fd = UniqueFd(::open(
      path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
  const int fd = log.fd.Get();
  const int openErrno = errno;
  struct stat status {};
  if (fd >= 0 ? ::fstat(fd, &status) != 0 : ::stat(path.c_str(), &status) != 0) {
    log.problem = LogNotWritableText(path, fd >= 0 ? errno : openErrno);
  } else if (!S_ISREG(status.st_mode)) {
    log.problem = LogNotARegularFileText(path);
  } else if (fd < 0) {
    log.problem = LogNotWritableText(path, openErrno);
  }
  if (!log.problem.empty()) {
    log.fd.Reset();
  }
}

// Writes all of `line` or nothing: a part that got in before the failure is cut off again
// (unless another writer has added since), so the next line does not continue a torn one.
int AppendWhole(int fd, const std::string& line) {
  struct stat before {};
  if (::fstat(fd, &before) != 0) {
    return errno;
  }
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t got = ::write(fd, line.data() + written, line.size() - written);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      const int writeErrno = got < 0 ? errno : EIO;
      struct stat after {};
      if (written > 0 && ::fstat(fd, &after) == 0 &&
          after.st_size == before.st_size + static_cast<off_t>(written)) {
        if (::ftruncate(fd, before.st_size) != 0) {
          // the torn part stays; the loss is reported all the same
        }
      }
      return writeErrno;
    }
    written += static_cast<std::size_t>(got);
  }
  return 0;
}

// An installed copy's state folder may not exist yet; the program folder always does.
void MakeLogFolder(const std::string& path) {
  if (Installed() && path.rfind(LogFolder(), 0) == 0) {
    MakeFolders(LogFolder());
  }
}

}  // namespace

std::string DefaultLogFilePath() { return LogFolder() + "Application.log"; }

std::string LogFileProblem(const std::string& path) {
  MakeLogFolder(path);
  LogFile log;
  OpenLog(path, log);
  return log.problem;
}

ActivityLog::ActivityLog(const std::string& fileName)
    : m_filePath(fileName.empty()                                     ? DefaultLogFilePath()
                 : fileName.find(kPathSeparator) != std::string::npos ? fileName
                                                                      : LogFolder() + fileName) {}

bool ActivityLog::Lost(std::string problem) {
  m_failure = std::move(problem);
  m_anyLost = true;
  return false;
}

bool ActivityLog::WriteLog(const std::string& text) {
  m_written = true;
  try {
    MakeLogFolder(m_filePath);
    LogFile log;
    OpenLog(m_filePath, log);
    if (log.fd.Get() < 0) {
      return Lost(log.problem);
    }
    // Names from the site may hold line breaks; escaped, they cannot forge log lines.
    if (const int error = AppendWhole(log.fd.Get(), EscapeControlBytes(text) + "\r\n");
        error != 0) {
      return Lost(LogNotWritableText(m_filePath, error));
    }
    return true;
  } catch (...) {
    // The log never stops the work it records; the loss is reported.
    return Lost(LogNotWritableText(m_filePath, ENOMEM));
  }
}

bool ActivityLog::SyncLog() {
  if (!m_written) {
    return !m_anyLost;  // nothing to put on the disk, and no file to make for it
  }
  LogFile log;
  OpenLog(m_filePath, log);
  if (log.fd.Get() >= 0 && ::fdatasync(log.fd.Get()) != 0) {
    Lost(LogNotWritableText(m_filePath, errno));
  }
  return !m_anyLost;
}

}  // namespace tervando
