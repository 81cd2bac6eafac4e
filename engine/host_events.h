#pragma once

#include <string>

namespace tervando {

// The values the core hands its host (engine/host.h). Each says what happened; the German
// texts for them are made in one place, engine/messages.h.

// Notices with an OK button only.
enum class NoticeKind {
  kEmptyList,    // Start with an empty page list
  kFinished,     // the end of Start
  kWebRootBusy,  // another run works on the web root (path): nothing was started
};
struct Notice {
  NoticeKind kind = NoticeKind::kFinished;
  std::string path;
};

// A page of the run that could not be edited.
struct PageFailure {
  std::string path;       // the page as the list names it
  std::string errorInfo;  // "text [code]"
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
struct SkippedEntry {
  SkipCause cause = SkipCause::kUnreadableFolder;
  std::string path;
};

}  // namespace tervando
