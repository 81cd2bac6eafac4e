#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/host_events.h"
#include "engine/page_check.h"

namespace tervando {

// What the long operations of the core (the scan and fill, Start with its run, placing
// favicon.ico) need from their caller. Everything the core tells or asks is a typed value;
// the German texts belong to the core (engine/messages.h) and each front end renders them its
// own way: the window as message boxes and status panels, tervando-cli on the terminal or from
// its options, the tests by script. Every call comes on the thread that called the core.
class Host {
 public:
  virtual ~Host() = default;

  // The page list. Rows are numbered 1..RowCount() in the list's current order.
  virtual int RowCount() const = 0;
  virtual std::string RowText(int row) const = 0;
  virtual bool RowMarked(int row) const = 0;
  // True when a row already holds this path (compared as the file system compares names).
  virtual bool ContainsRow(const std::string& path) const = 0;
  virtual void InsertCheckedRowAtTop(const std::string& path) = 0;
  virtual void SetSortingEnabled(bool enabled) = 0;

  // The mode option pair: true while "lös&chen" is chosen. Read at the moment it is needed.
  virtual bool RemoveMode() const = 0;

  // Progress bar, status bar panels (2: the status, 1: "<n> Dateien") and the wait cursor.
  virtual void SetProgressRange(int minimum, int maximum) = 0;
  virtual void SetProgressValue(int value) = 0;
  virtual void ShowStatus(const Status& status) = 0;
  virtual void SetStatusCount(int count) = 0;
  virtual void SetBusy(bool busy) = 0;
  // The web-root label: the chosen web root, shown as soon as it is set.
  virtual void ShowWebRoot(const std::string& /*webRoot*/) {}

  // A notice with an OK button only (the empty list, completion, a web root in use).
  virtual void Tell(const Notice& notice) = 0;
  // A page failed: true goes on with the next page ("OK"), false ends the run ("Abbrechen").
  virtual bool GoOnAfterFailure(const PageFailure& failure) = 0;
  // favicon.ico exists and another icon is chosen: true replaces it.
  virtual bool ConfirmFaviconOverwrite() = 0;
  // Files of the modern set exist with other bytes and a new icon is chosen: true replaces them
  // all, false keeps every one and writes none.
  virtual bool ConfirmSetOverwrite(const std::vector<std::string>& names) = 0;
  // Writing favicon.ico (or another file of the set) failed with this error info: true tries again.
  virtual bool RetryFaviconWrite(const ErrorInfo& errorInfo) = 0;

  // A page of the run was (or, in a dry run, would be) changed: the run's `number`th.
  // `difference` holds the change as text when the run was asked to describe changes.
  virtual void PageChanged(int /*number*/, const std::string& /*path*/,
                           const std::string& /*difference*/) {}
  // An entry the scan passed over, or a leftover temporary file of an interrupted run it found.
  virtual void Skipped(const SkippedEntry& /*entry*/) {}
  // Start removed this many leftover temporary files before its run.
  virtual void LeftoversRemoved(int /*count*/) {}

  // One line of the activity log (the window and the CLI pass it on to WriteLog).
  virtual void Log(const std::string& line) = 0;
  // Where those lines go, named by the closing notice; empty when nothing is logged.
  virtual std::string LogFilePath() const { return {}; }
  // What browsers will make of the checked pages after Start: the pages that need a look,
  // each with its check, once after the run (rows the check did not name need none).
  virtual void ShowPageChecks(const std::vector<std::pair<std::string, PageCheck>>& /*checks*/) {}

  // Called often from the core's long loops and waits: the window handles its events here.
  virtual void Yield() {}
  // True once the user or the system asked the program to end ("&Ende", closing the window,
  // SIGTERM): the core begins no more pages, finishes and logs those begun, and returns.
  virtual bool StopRequested() const { return false; }
  // True when the stop is the program's end: nothing more is shown. A stop asked for by the user
  // (Esc in the window) ends only the run, which then says how far it came.
  virtual bool Ending() const { return StopRequested(); }
};

}  // namespace tervando
