#pragma once

#include <QButtonGroup>
#include <QElapsedTimer>
#include <QLabel>
#include <QWidget>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/background_page_check.h"
#include "app/page_list_model.h"
#include "engine/host.h"
#include "engine/message.h"
#include "engine/site_state.h"
#include "engine/worker_pool.h"
#include "site/options.h"
#include "site/page_collection.h"
#include "support/desktop.h"
#include "support/write_log.h"

class QSocketNotifier;
class QDragEnterEvent;
class QDropEvent;

namespace Ui {
class Form1;
}

namespace tervando {

class InterruptScope;
class Form1Layout;

// The main window: the page list with its marking commands, the mode pair, the favicon
// preview, Start and the status bar. It hosts the core's long operations (scan and fill,
// the run, placing favicon.ico) through the Host interface. Message boxes, dialogs of the
// desktop, the editor and the browser are reached through `desktop`, which must outlive it.
class Form1 : public QWidget, public Host {
  Q_OBJECT

 public:
  // `log` takes the activity log's lines; it outlives the window.
  Form1(Desktop& desktop, ActivityLog& log, QWidget* parent = nullptr);
  ~Form1() override;

  // The start-up sequence: caption, empty list, options, link prefix, show, then the
  // one-time notice once the window is on screen, and after it the web root `startFolder`
  // (a folder named on the command line) when one is given.
  void FormLoad(const std::string& startFolder = {});

  // Click handlers: the button array `Btn` by index, the mode pair, the list.
  void BtnClick(int index);
  void SetUnsetFaviconOPTClick(int index);
  void ListeColumnClick(int column);  // 1-based column index
  void ListeDblClick();

  // Selection and marking commands over every row: 0 deselect, 1 select, 2 invert,
  // 101 marks := selection, 102 toggle the marks of selected rows.
  void ListeSelect(int mode);
  void ResetPageList();

  // Makes `folder` the web root and collects its pages, as "&Pfad" does once the folder dialog
  // has returned it: for a folder named on the command line or dropped onto the window.
  void ChooseWebRoot(const std::string& folder);

  // Puts catalogue entry `index` (1..kIconCount) into the preview as the icon the next Start
  // writes; 0 (the dialog was cancelled) changes nothing.
  void ApplyChosenIcon(int index);
  // The same for an icon (a catalogue entry's or one made from the user's own picture, with
  // that picture); empty bytes change nothing.
  void ApplyChosenIcon(PreviewIcon icon);

  int LastSortColumn() const { return m_lastSortColumn; }
  PageListModel& PageList() { return m_pageList; }
  const SiteState& State() const { return m_state; }
  const Options& LoadedOptions() const { return m_options; }
  // True while a scan or a run is going on and yields to the message loop.
  bool Busy() const { return m_busy; }

  // "&Ende", closing the window during a scan or run, and SIGTERM: the work under way finishes
  // the pages it has begun and logs them, and the program ends.
  void EndProgram();
  // Esc or "A&bbrechen" during a Start: the run stops at the next page's turn, as "Abbrechen" at
  // a failure does, and the closing message says how far it came.
  void StopRun();

  // Host
  int RowCount() const override;
  std::string RowText(int row) const override;
  bool RowMarked(int row) const override;
  bool ContainsRow(const std::string& path) const override;
  void InsertCheckedRowAtTop(const std::string& path) override;
  void SetSortingEnabled(bool enabled) override;
  bool RemoveMode() const override;
  void SetProgressRange(int minimum, int maximum) override;
  void SetProgressValue(int value) override;
  void ShowStatus(const Status& status) override;
  void SetStatusCount(int count) override;
  void SetBusy(bool busy) override;
  void ShowWebRoot(const std::string& webRoot) override;
  void Tell(const Notice& notice) override;
  bool GoOnAfterFailure(const PageFailure& failure) override;
  bool ConfirmFaviconOverwrite() override;
  bool ConfirmSetOverwrite(const std::vector<std::string>& names) override;
  bool RetryFaviconWrite(const ErrorInfo& errorInfo) override;
  void Skipped(const SkippedEntry& entry) override;
  void LeftoversRemoved(int count) override;
  void Log(const std::string& line) override;
  std::string LogFilePath() const override;
  void ShowPageChecks(const std::vector<std::pair<std::string, PageCheck>>& checks) override;
  void Yield() override;
  bool StopRequested() const override;
  bool Ending() const override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  class BusyScope;

  void SetUpControls();
  void SetAccessibleNames();
  void SaveWindowSize();
  void FocusList();
  // Shows what the long operation set since the last time: new rows, status text, progress.
  void ShowPending();
  MessageAnswer Ask(const Message& message);
  std::vector<bool> SelectedRows() const;
  void ShowInfoForm();
  void ChooseWebRoot();
  void ChooseIcon();
  void StartRun();
  // The favicon set and the foreign-links option as the window shows them, kept in the settings.
  void ReadFaviconSetChoice();
  void SaveFaviconSetChoice() const;
  // Hands the chosen set to the run; the modern one is made from the icon in use. False (and
  // said) when it can't be made: nothing is started then.
  // The set and option chosen in the window become the state's.
  void TakeFaviconSetChoice();
  bool PrepareFaviconSet();
  void ShowCurrentFavicon();
  void ShowPreview();
  // Waits, handling events, until every line handed to the log is in it.
  void WaitForLog();
  void CheckPagesAside();
  void UntickOtherRootRows();
  // The set, the foreign-links box or the mode changed: the marks are found again.
  void RecheckPages();
  void ShowLogFailureOnce();

  Desktop& m_desktop;
  ActivityLog& m_log;
  std::mutex m_logFailureMutex;
  std::string m_logFailure;        // why a line was lost, set by the log's thread
  bool m_logFailureShown = false;  // a lost log line was reported
  std::unique_ptr<::Ui::Form1> m_ui;
  // SIGTERM, SIGINT and SIGHUP end the program the way "&Ende" does.
  std::unique_ptr<InterruptScope> m_interrupts;
  std::unique_ptr<QSocketNotifier> m_interrupted;
  QButtonGroup m_btn;
  QButtonGroup m_setUnsetFaviconOPT;
  QButtonGroup m_faviconSetOPT;
  QLabel* m_countPanel = nullptr;
  QLabel* m_textPanel = nullptr;
  PageListModel m_pageList;
  BackgroundPageCheck m_pageCheck;  // stopped before the list changes
  SiteState m_state;
  Options m_options;  // read by FormLoad
  int m_lastSortColumn = 0;
  bool m_busy = false;
  bool m_ending = false;   // "&Ende" was clicked
  bool m_stopRun = false;  // Esc or "A&bbrechen" during a Start
  // The answer the user gave for every later failure of the run under way, if any.
  std::optional<bool> m_laterFailures;
  int m_waitCursors = 0;
  std::vector<int> m_deferredColumnClicks;
  QElapsedTimer m_sinceEvents;  // since the window last handled its events in a long operation
  QElapsedTimer m_sinceShown;   // since new rows, status and progress were last shown
  std::string m_statusText;
  ScanResult m_skipped;  // what the last scan passed over, for the status panel's tooltip
  bool m_statusChanged = false;
  int m_progressValue = 0;
  int m_progressMaximum = 0;
  bool m_running = false;  // the run's status is shown with how far it has come
  Form1Layout* m_layout = nullptr;
  // Appends the log's lines in order, off the window's thread: an append can wait long for a
  // disk the run keeps busy. Declared last, so it finishes its lines before the rest goes.
  WorkerPool m_logWriter{1};
};

}  // namespace tervando
