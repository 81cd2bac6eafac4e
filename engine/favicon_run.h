#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "engine/run_events.h"
#include "engine/run_request.h"

namespace tervando {

struct FaviconRunResult {
  int changed = 0;           // pages whose file was replaced (in a dry run: would be)
  int unchanged = 0;         // pages read and left as they were
  int failed = 0;            // pages that failed (reported and logged)
  int passedOver = 0;        // marked rows outside the web root: logged, never edited
  int notReached = 0;        // marked rows left when the run was stopped or interrupted
  bool stopped = false;      // the user ended the run at a failure
  bool interrupted = false;  // the program was asked to end before the last page
  bool listEmpty = false;    // nothing to run over: the notice was shown, nothing logged
};

// Runs the favicon edit over the request's marked rows, last row first. Each row's mark is read
// at its turn, so a change during the run counts from the next page on. Reports progress and
// status, logs the run and asks after every failing page whether to go on. When the user stops
// at a failure or the program is asked to end, pages prepared ahead are dropped untouched, so
// pages, log and counts are exactly those of one page at a time. The changed pages reach the
// disk before it returns.
FaviconRunResult SetUnsetFaviconInFiles(const RunRequest& request, RunEvents& events,
                                        RunQuestions& questions);

// The date and time line of the log: local time, short date, a blank, long time.
std::string LogDateTimeText(std::time_t when);

}  // namespace tervando
