#pragma once

#include <string>

namespace tervando {

// Appends `text`, escaped (EscapeControlBytes), and CR LF to the activity log, opening and
// closing the file for this one line. A non-empty `logFileName` redirects this and every later
// call: a name with a path separator is used as it is, a bare name lies in the log folder
// (LogFolder: the program folder, or the state folder of an installed copy). Without any name
// the log is DefaultLogFilePath. With `suppress` nothing is written.
// The log is a record: created owner-only (0600; an existing file keeps its mode), opened
// without waiting, and only ever a regular file, so a named pipe or a device can neither hold
// the program nor take the lines. Returns false when the line is lost (LogFailure says why);
// a line that reached the file only in part is taken back, so no line is torn.
bool WriteLog(const std::string& text, const std::string& logFileName = {}, bool suppress = false);

// The file WriteLog appends to now (empty before the first call).
const std::string& LogFilePath();

// Application.log in the log folder: where the log goes unless a name was given.
std::string DefaultLogFilePath();

// Why `path` can't take the log (German, without a full stop), or empty when it can: it is a
// regular file that opens for appending, or it did not exist and has been created, empty.
std::string LogFileProblem(const std::string& path);

// Puts the lines written so far on the disk and returns whether every line since the program
// started reached the file; a write the disk reports only now counts as lost.
bool SyncLog();

// Why the last lost line was lost (German, without a full stop); empty while none was.
const std::string& LogFailure();

}  // namespace tervando
