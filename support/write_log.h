#pragma once

#include <string>

namespace tervando {

// The activity log of one program run: owned by the window or the CLI and handed to what
// writes to it. Its file is fixed when it is made: a name with a path separator is used as it
// is, a bare name lies in the log folder (LogFolder: the program folder, or the state folder
// of an installed copy), and without a name it is DefaultLogFilePath.
// The log is a record: created owner-only (0600; an existing file keeps its mode), opened
// without waiting, and only ever a regular file, so a named pipe or a device can neither hold
// the program nor take the lines.
class ActivityLog {
 public:
  explicit ActivityLog(const std::string& fileName = {});

  // Appends `text`, escaped (EscapeControlBytes), and CR LF, opening and closing the file for
  // this one line. Returns false when the line is lost (Failure says why); a line that reached
  // the file only in part is taken back, so no line is torn.
  bool WriteLog(const std::string& text);

  // Puts the lines written so far on the disk and returns whether every line since this log
  // was made reached the file; a write the disk reports only now counts as lost.
  bool SyncLog();

  const std::string& FilePath() const { return m_filePath; }
  // Why the last lost line was lost (German, without a full stop); empty while none was.
  const std::string& Failure() const { return m_failure; }

 private:
  bool Lost(std::string problem);

  std::string m_filePath;
  std::string m_failure;
  bool m_anyLost = false;
  bool m_written = false;  // a line was handed in
};

// Application.log in the log folder: where the log goes unless a name was given.
std::string DefaultLogFilePath();

// Why `path` can't take the log (German, without a full stop), or empty when it can: it is a
// regular file that opens for appending, or it did not exist and has been created, empty.
std::string LogFileProblem(const std::string& path);

}  // namespace tervando
