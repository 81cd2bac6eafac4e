#pragma once

#include <string>

#include "engine/errors.h"

namespace tervando {

// The values the core tells its front end (engine/run_events.h). Each says what happened; the
// German texts for them are made in one place, engine/messages.h.

// Notices with an OK button only.
enum class NoticeKind {
  kEmptyList,     // Start with an empty page list
  kFinished,      // the end of Start
  kWebRootBusy,   // another run works on the web root (path): nothing was started
  kSystemFolder,  // the folder chosen (path) is a system folder: not taken as the web root
  // The web root's path (path) no longer names the folder read: renamed away or replaced.
  kWebRootMoved,           // found at Start: nothing was started
  kWebRootMovedDuringRun,  // found at the end: the run worked in the folder read only
};
// What Start did with the marked rows; the closing notice says it.
struct RunCounts {
  int changed = 0;       // pages replaced (in a dry run: would be)
  int unchanged = 0;     // pages read and left as they were
  int failed = 0;        // pages reported as failed
  int passedOver = 0;    // marked rows outside the web root, never edited
  int notReached = 0;    // marked rows left when the run was stopped
  bool stopped = false;  // "Abbrechen" at a failure
  int otherIcon = 0;     // pages where a later icon link of their own wins over ours
  int attention = 0;     // pages that need a look for another reason (PageCheck)
  bool remove = false;   // the run took the references out

  // Nothing was left undone: no page failed or was passed over, and the run was not stopped.
  // Pages that need a look are named, but they are no failure of the run.
  bool AllHandled() const { return failed == 0 && passedOver == 0 && notReached == 0 && !stopped; }
};

struct Notice {
  NoticeKind kind = NoticeKind::kFinished;
  std::string path;  // kWebRootBusy/Moved: the folder; kSystemFolder: the folder chosen;
                     // kFinished: the log file, if any
  RunCounts counts;  // kFinished only
};

// A page of the run that could not be edited.
struct PageFailure {
  std::string path;     // the page as the list names it
  ErrorInfo errorInfo;  // what went wrong; the messages module renders it
};

// What the second status panel says.
enum class StatusKind {
  kFilling,   // a page is being added to the list (path)
  kFillDone,  // the scan and fill ended
  kRunning,   // the run is going on
  kRunDone,   // the run ended (count: pages changed)
  kFailed,    // a step ended early (path: the reason)
};
struct Status {
  StatusKind kind = StatusKind::kFillDone;
  std::string path;
  int count = 0;
};

// Why the scan passed over an entry.
enum class SkipCause {
  kUnreadableFolder,   // a folder that can't be listed
  kDanglingLink,       // a link that leads nowhere (or in a loop)
  kOutsideRoot,        // a link that leads out of the web root
  kNameTooLong,        // a name or path the system can't take
  kLeftoverTemporary,  // a temporary file of an interrupted run (removed by the next run)
};

}  // namespace tervando
