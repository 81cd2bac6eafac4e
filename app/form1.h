#pragma once

#include <QButtonGroup>
#include <QElapsedTimer>
#include <QLabel>
#include <QWidget>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/background_page_check.h"
#include "app/page_list_model.h"
#include "app/work_relay.h"
#include "engine/message.h"
#include "engine/run_events.h"
#include "engine/run_request.h"
#include "engine/site_state.h"
#include "engine/start.h"
#include "engine/worker_pool.h"
#include "site/options.h"
#include "site/page_collection.h"
#include "site/web_root.h"
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
// preview, Start and the status bar. The core's long work (the scan, Start with its run, the
// collation of a large list) runs on a worker thread; what it tells and asks reaches the
// window through a WorkRelay, as the RunEvents and RunQuestions the window implements on its
// own thread. Message boxes, dialogs of the desktop, the editor and the browser are reached
// through `desktop`, which must outlive it.
class Form1 : public QWidget, public RunEvents, public RunQuestions {
  Q_OBJECT

  enum class Work { kNone, kScan, kFill, kRun };

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
  // True while a scan, a fill, a collation or a run is going on.
  bool Busy() const { return m_work != Work::kNone || m_sorting; }

  // "&Ende", closing the window during a scan or run, and SIGTERM: the work under way finishes
  // the pages it has begun and logs them, and the program ends.
  void EndProgram();
  // Esc or "A&bbrechen" during a Start: the run stops at the next page's turn, as "Abbrechen" at
  // a failure does, and the closing message says how far it came.
  void StopRun();

  // The page list, rows numbered 1..RowCount() in the list's order.
  int RowCount() const;
  std::string RowText(int row) const;
  bool RowMarked(int row) const;
  void InsertCheckedRowAtTop(const std::string& path);
  // Sorting on collates the rows here and now (a large list's collation is started by the
  // fill and the header on the worker).
  void SetSortingEnabled(bool enabled);
  bool RemoveMode() const;
  void SetProgressRange(int minimum, int maximum);
  void SetProgressValue(int value);
  void SetStatusCount(int count);
  void SetBusy(bool busy);
  void ShowWebRoot(const std::string& webRoot);
  bool StopRequested() const;

  // RunEvents and RunQuestions, on the window's thread.
  void Progress(int value, int maximum) override;
  void ShowStatus(const Status& status) override;
  void Tell(const Notice& notice) override;
  void LeftoversRemoved(int count) override;
  void Log(const std::string& line) override;
  void ShowPageChecks(const std::vector<std::pair<std::string, PageCheck>>& checks) override;
  bool GoOnAfterFailure(const PageFailure& failure) override;
  bool ConfirmFaviconOverwrite() override;
  bool ConfirmSetOverwrite(const std::vector<std::string>& names) override;
  bool RetryFaviconWrite(const ErrorInfo& errorInfo) override;
  bool Ending() const;

 signals:
  // The scan and fill, a collation or Start has ended and the window is idle again.
  void WorkDone();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
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
  // The long work: what runs on the worker, and what the window does when it is over.
  void BeginWork(Work work, std::function<void(std::stop_token)> job);
  void EndWork();
  void ScanDone(WebRootScan found, PreviewIcon preview);
  void FillSlice();
  // Sorts the list, collating a large one on the worker, then calls `then`.
  void SortList(std::function<void()> then);
  void FillDone();
  void RunDone(const StartResult& result);
  // Hands the user's marks to the run while it works.
  void PassMarksToRun(const QModelIndex& first, const QModelIndex& last);
  void CheckPagesAside();
  void UntickOtherRootRows();
  // The set, the foreign-links box or the mode changed: the marks are found again.
  void RecheckPages();
  void ShowLogFailureOnce();
  // Hands a line to the log's thread; safe on any thread.
  void WriteLogLine(const std::string& line);
  // Waits until every line handed to the log's thread is written; on the worker's thread.
  void WaitForLog();

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
  bool m_ending = false;       // "&Ende" was clicked
  std::stop_source m_runStop;  // Esc or "A&bbrechen" during a Start
  // The answer the user gave for every later failure of the run under way, if any.
  std::optional<bool> m_laterFailures;
  int m_waitCursors = 0;
  Work m_work = Work::kNone;
  bool m_sorting = false;  // a collation is on its way on m_sorter
  // The fill: the pages the scan found, inserted into the list a slice at a time.
  std::vector<std::string> m_fillPages;
  std::size_t m_fillNext = 0;
  QElapsedTimer m_sinceShown;  // since new rows, status and progress were last shown
  // The run's rows by page-list id, and their marks as the run reads them.
  std::vector<int> m_runRowOfId;
  std::shared_ptr<RowMarks> m_runMarks;
  std::shared_ptr<std::atomic<bool>> m_runRemove;  // the mode pair, for the run to read
  std::string m_statusText;
  ScanResult m_skipped;  // what the last scan passed over, for the status panel's tooltip
  bool m_statusChanged = false;
  int m_progressValue = 0;
  int m_progressMaximum = 0;
  bool m_running = false;  // the run's status is shown with how far it has come
  Form1Layout* m_layout = nullptr;
  // Appends the log's lines in order, off the window's thread: an append can wait long for a
  // disk the run keeps busy. It finishes its lines before the rest goes.
  WorkerPool m_logWriter{1};
  WorkRelay m_relay;
  // The long work and the collation of a large list; declared last, so they have ended
  // (stopped and joined) before anything they use goes.
  std::jthread m_worker;
  std::jthread m_sorter;
};

}  // namespace tervando
