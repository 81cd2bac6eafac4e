#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "engine/page_file.h"
#include "engine/site_state.h"

namespace tervando {

// The marks of a run's rows, one per page of the request. The front end may change a mark
// while the run works (the user marks or unmarks a row); the run reads each at its row's turn.
class RowMarks {
 public:
  explicit RowMarks(const std::vector<bool>& marks)
      : m_count(marks.size()), m_marks(std::make_unique<std::atomic<bool>[]>(marks.size())) {
    for (std::size_t row = 0; row < m_count; ++row) {
      m_marks[row].store(marks[row], std::memory_order_relaxed);
    }
  }
  std::size_t Count() const { return m_count; }
  bool Marked(std::size_t row) const { return m_marks[row].load(std::memory_order_relaxed); }
  void SetMarked(std::size_t row, bool marked) {
    m_marks[row].store(marked, std::memory_order_relaxed);
  }

 private:
  std::size_t m_count;
  std::unique_ptr<std::atomic<bool>[]> m_marks;
};

// How a run works through its pages. Pages are decided in list order on the run's thread,
// prepared (read, edited, new text written beside the page) on worker threads, flushed to the
// disk together before the first of them is renamed, and committed (renamed over, counted,
// logged) strictly in list order on the run's thread; a replaced page is closed on a thread of
// its own. What the user sees is one page after the other; only the waits for the disk overlap.
struct RunOptions {
  int threads = 8;      // 0: every page is prepared at its turn on the run's thread
  int pagesAhead = 64;  // pages prepared ahead of the one being committed
  // Page bytes prepared at once; a larger page is prepared alone.
  std::uint64_t bytesAhead = std::uint64_t{8} << 20;
  PageEditOptions edit;  // dry run, description of the changes
  // Start reads the marked pages once more after the run, for the list's marks and the closing
  // counts of pages that will not show the icon. tervando-cli leaves that to --check, so a run
  // reads each page once.
  bool checkAfterRun = true;
};

// What Start is asked to do, made once per Start by the front end. Everything in it is the
// run's own, except the marks, which the front end may change while the run works.
struct RunRequest {
  SiteState site;       // root, icon, set and option, as they were at Start
  bool remove = false;  // "lös&chen" was chosen at Start: links are taken out
  // The mode pair as the window shows it now: the user may switch it during the run, and each
  // page takes the mode of its turn. Empty: `remove` holds for the whole run.
  std::shared_ptr<std::atomic<bool>> removeNow;
  std::vector<std::string> pages;   // the list's rows, top first; the run goes last row first
  std::shared_ptr<RowMarks> marks;  // one per page
  // Pages that come as found, not yet in the list's order: the order, as indices of `pages`
  // top row first. The run puts them in order only once a page is to change, fail or be
  // passed over, so a run in which every page stays as it is never sorts. Empty: `pages` are
  // the list's rows.
  std::function<std::vector<std::uint32_t>(const std::vector<std::string>&)> listOrder;
  RunOptions options;
  std::string logFile;  // where the log goes, named by the closing notice; empty: no log
  // "&Ende", closing the window: no more pages are begun, those begun are finished and logged,
  // and nothing more is shown.
  std::stop_token stop;
  // Esc or "A&bbrechen" beside the bar: the run stops at the next page's turn and says how far
  // it came.
  std::stop_token stopRun;
};

// True once the run is to stop: asked for by the user, or the program is ending.
bool StopRequested(const RunRequest& request);
// The mode for the page whose turn it is.
bool RemoveNow(const RunRequest& request);
// True once the front end or the system (SIGTERM, SIGINT, SIGHUP) asked the program to end.
bool Ending(const RunRequest& request);

}  // namespace tervando
