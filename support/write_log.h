#pragma once

#include <string>

namespace tervando {

// Appends `text`, its control bytes escaped (EscapeControlBytes), and CR LF to the activity log,
// opening and closing the file for this one line. A non-empty `logFileName` redirects this and
// every later call: a name with a path separator is used as it is, a bare name lies in the log
// folder (LogFolder: the program folder, or the state folder of an installed copy). Without any
// name the log is DefaultLogFilePath. With `suppress` nothing is written.
// Failures are swallowed: the line is lost, the caller goes on.
void WriteLog(const std::string& text, const std::string& logFileName = {}, bool suppress = false);

// The file WriteLog appends to now (empty before the first call).
const std::string& LogFilePath();

// Application.log in the log folder: where the log goes unless a name was given.
std::string DefaultLogFilePath();

}  // namespace tervando
