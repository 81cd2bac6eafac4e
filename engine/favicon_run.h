#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "engine/host.h"
#include "engine/message.h"
#include "engine/site_state.h"

namespace tervando {

// Edits one page (path, remove flag) and says whether its file changed. Failures throw.
using PageEditor = std::function<bool(const std::string& pagePath, bool remove)>;

struct FaviconRunResult {
  int changed = 0;         // pages whose file was replaced
  int failed = 0;          // pages that failed (reported and logged)
  bool stopped = false;    // the user ended the run at a failure
  bool listEmpty = false;  // nothing to run over: the message was shown, nothing logged
};

// Runs the favicon edit over the marked rows of the host's list, last row first, with
// SetUnsetFaviconInFile. Reports progress and status, logs the run through the host and
// asks after every failing page whether to go on. The changed pages reach the disk before it
// returns.
FaviconRunResult SetUnsetFaviconInFiles(Host& host, const SiteState& state);
// The same run with another page editor (a dry run, a run that also shows differences); the
// caller flushes what its editor wrote (FlushFileSystem).
FaviconRunResult SetUnsetFaviconInFiles(Host& host, const PageEditor& editPage);

// The date and time line of the log: local time, short date, a blank, long time.
std::string LogDateTimeText(std::time_t when);

// The messages of the run and of the Start command.
Message EmptyListMessage();
Message PageFailedMessage(const std::string& pagePath, const std::string& errorInfo);
Message FinishedMessage();

}  // namespace tervando
