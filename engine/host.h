#pragma once

#include <string>

#include "engine/message.h"

namespace tervando {

// What the long operations of the core (the scan and fill, the favicon run, placing
// favicon.ico) need from their caller. The window implements it with its widgets and
// message boxes, tervando-cli with the terminal, the tests with a scripted fake.
// Yields to the message loop go through YieldToMessageLoop() (engine/yield.h).
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

  // Progress bar, status bar panels (2: text, 1: "<n> Dateien") and the wait cursor.
  virtual void SetProgressRange(int minimum, int maximum) = 0;
  virtual void SetProgressValue(int value) = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetStatusCount(int count) = 0;
  virtual void SetBusy(bool busy) = 0;
  // The web-root label: the chosen web root, shown as soon as it is set.
  virtual void ShowWebRoot(const std::string& /*webRoot*/) {}

  // A modal message box or question titled kProgramTitle; returns the button pressed.
  virtual MessageAnswer Ask(const Message& message) = 0;

  // One line of the activity log (the window and the CLI pass it on to WriteLog).
  virtual void Log(const std::string& line) = 0;
};

}  // namespace tervando
