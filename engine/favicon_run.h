#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "engine/host.h"
#include "engine/page_file.h"
#include "engine/site_state.h"

namespace tervando {

// How a run works through its pages. Pages are decided in list order on the calling thread,
// prepared (read, edited, new text written and flushed beside the page) on worker threads, and
// committed (renamed over, counted, logged) strictly in list order on the calling thread. What
// the user sees is one page after the other; only the waits for the disk overlap.
struct RunOptions {
  int threads = 8;      // 0: every page is prepared at its turn on the calling thread
  int pagesAhead = 16;  // pages prepared ahead of the one being committed
  // Page bytes prepared at once; a larger page is prepared alone.
  std::uint64_t bytesAhead = std::uint64_t{8} << 20;
  PageEditOptions edit;  // dry run, description of the changes
  // Start reads the marked pages once more after the run, for the list's marks and the closing
  // counts of pages that will not show the icon. tervando-cli leaves that to --check, so a run
  // reads each page once.
  bool checkAfterRun = true;
};

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

// Runs the favicon edit over the marked rows of the host's list, last row first. Each row's
// mark and the mode are read at its turn, so a change during the run counts from the next page
// on. Reports progress and status, logs the run through the host and asks after every failing
// page whether to go on. When the user stops at a failure or the program is asked to end,
// pages prepared ahead are dropped untouched, so pages, log and counts are exactly those of
// one page at a time. The changed pages reach the disk before it returns.
FaviconRunResult SetUnsetFaviconInFiles(Host& host, const SiteState& state,
                                        const RunOptions& options = {});

// The date and time line of the log: local time, short date, a blank, long time.
std::string LogDateTimeText(std::time_t when);

}  // namespace tervando
