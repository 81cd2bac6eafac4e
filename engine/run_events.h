#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/host_events.h"
#include "engine/page_check.h"

namespace tervando {

// What the core tells its front end while it scans or runs: output only, each a typed value
// whose German text is made in engine/messages.h. The window turns them into its status bar
// and message boxes, tervando-cli into lines on the terminal, the tests into a record. Calls
// come on the thread the core works on, which in the window is not the window's.
class RunEvents {
 public:
  virtual ~RunEvents() = default;

  // The progress bar stands at `value` of `maximum`.
  virtual void Progress(int value, int maximum) = 0;
  // The second status panel.
  virtual void ShowStatus(const Status& status) = 0;
  // A notice with an OK button only (the empty list, completion, a web root in use).
  virtual void Tell(const Notice& notice) = 0;
  // A page of the run was (or, in a dry run, would be) changed: the run's `number`th.
  // `difference` holds the change as text when the run was asked to describe changes.
  virtual void PageChanged(int /*number*/, const std::string& /*path*/,
                           const std::string& /*difference*/) {}
  // Start removed this many leftover temporary files before its run.
  virtual void LeftoversRemoved(int /*count*/) {}
  // One line of the activity log.
  virtual void Log(const std::string& line) = 0;
  // What browsers will make of the checked pages after Start: the pages that need a look,
  // each with its check, once after the run (rows the check did not name need none).
  virtual void ShowPageChecks(const std::vector<std::pair<std::string, PageCheck>>& /*checks*/) {}
};

// What the core asks; it waits for the answer. In the window a question holds the run's
// thread, not the window.
class RunQuestions {
 public:
  virtual ~RunQuestions() = default;

  // A page failed: true goes on with the next page ("OK"), false ends the run ("Abbrechen").
  virtual bool GoOnAfterFailure(const PageFailure& failure) = 0;
  // favicon.ico exists and another icon is chosen: true replaces it.
  virtual bool ConfirmFaviconOverwrite() = 0;
  // Files of the modern set exist with other bytes and a new icon is chosen: true replaces them
  // all, false keeps every one and writes none.
  virtual bool ConfirmSetOverwrite(const std::vector<std::string>& names) = 0;
  // Writing favicon.ico (or another file of the set) failed with this error info: true tries again.
  virtual bool RetryFaviconWrite(const ErrorInfo& errorInfo) = 0;
};

}  // namespace tervando
