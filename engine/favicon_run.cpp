#include "engine/favicon_run.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <deque>
#include <functional>
#include <future>
#include <limits>
#include <memory>
#include <optional>
#include <stop_token>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/interrupt.h"
#include "engine/messages.h"
#include "engine/parallel.h"
#include "engine/paths.h"
#include "engine/worker_pool.h"

namespace tervando {

namespace {

// Pages up to this size are read and decided on the run's thread: most pages of a run that
// changes nothing need no worker at all. Larger ones are read on a worker.
constexpr std::uint64_t kDecideHereLimit = std::uint64_t{256} * 1024;

// From this many rows on, a second thread looks at the rows the run reaches last while the run
// works on the first: on a site where nothing is to change, both halves are read at once.
constexpr int kLookAheadRows = 1000;

// Replaced pages waiting to be closed on the closing thread, at most.
constexpr int kClosingAtMost = 64;

// Descriptors the run may hold for pages: a page prepared ahead holds two (the page and its
// new text), a page waiting to be closed one. What the process may open beyond a reserve for
// folders, the log and the libraries is shared among them.
int PageDescriptorBudget() {
  constexpr rlim_t kReserve = 64;
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
    return std::numeric_limits<int>::max();
  }
  constexpr rlim_t kMost = std::numeric_limits<int>::max();
  return limit.rlim_cur > kReserve ? static_cast<int>(std::min(limit.rlim_cur - kReserve, kMost))
                                   : 0;
}

using FileKey = std::pair<dev_t, ino_t>;

// One row of the run on its way from decision to commit.
struct Entry {
  int row = 0;
  bool marked = false;   // as decided; unmarked rows are checked again at their turn
  bool remove = false;   // the mode it was decided in
  bool outside = false;  // not under the web root: passed over at its turn
  std::string path;
  std::optional<FileKey> key;  // the file opened under the name
  std::uint64_t size = 0;
  std::optional<OpenedPage> opened;     // walked to and opened, not yet read
  std::exception_ptr failure;           // failed on this thread: told at its turn
  std::optional<PreparedPage> decided;  // decided on this thread
  std::future<PreparedPage> prepared;   // on its way on a worker
};

// What a page found to stay as it is before its turn is marked with: the mode it was read in.
std::uint8_t UnchangedIn(bool remove) { return remove ? 2 : 1; }

// A commit that found the page written by another program since it was read: read it again.
bool WrittenMeanwhile(const std::system_error& error) {
  return error.code() == std::errc::resource_unavailable_try_again;
}

// The run flushes the new texts of the pages prepared ahead together, before the first of them
// is renamed, not one flush per page.
PageEditOptions EditOptionsOf(const RunOptions& options) {
  PageEditOptions edit = options.edit;
  edit.flushEachPage = false;
  return edit;
}

// Hands `work` to the pool; its result (or failure) comes through the future.
template <typename Result>
std::future<Result> Submit(WorkerPool& pool, std::function<Result()> work) {
  auto task = std::make_shared<std::packaged_task<Result()>>(std::move(work));
  std::future<Result> done = task->get_future();
  pool.Submit([task] { (*task)(); });
  return done;
}

class Run {
 public:
  Run(const RunRequest& request, RunEvents& events, RunQuestions& questions)
      : m_request(request),
        m_events(events),
        m_questions(questions),
        m_webRoot(request.site.webRoot),
        m_options(request.options),
        m_edit(EditOptionsOf(request.options)),
        m_pool(request.options.threads),
        m_closer(std::in_place, request.options.threads > 0 ? 1 : 0),
        m_walker(m_webRoot.empty() ? "/" : m_webRoot, request.site.webRootFolder),
        m_depth(request.site.webRootDepth),
        m_pagesAhead(std::max(1, std::min(request.options.pagesAhead, m_descriptors / 4))),
        m_closingAtMost(std::min(kClosingAtMost, m_descriptors / 4)),
        m_blocks{RunBlockOptions(request.site, false), RunBlockOptions(request.site, true)},
        m_rows(static_cast<int>(request.pages.size())),
        m_nextRow(m_rows) {}

  FaviconRunResult Go() {
    m_events.Log(std::string(40, '_'));
    m_events.Log(RunStartedLogLine(LogDateTimeText(std::time(nullptr))));
    m_events.Log(PageListLogLine());
    m_events.Progress(0, m_rows);
    m_events.ShowStatus({StatusKind::kRunning, {}, 0});
    if (!SiftAsFound() && !Stopping()) {
      PutInListOrder();
      StartLookAhead();
      CommitRows();
    }
    m_lookAhead = {};  // stopped and joined
    CountNotReached();
    DropUncommitted();
    m_events.Progress(0, m_rows);
    m_events.ShowStatus({StatusKind::kRunDone, {}, m_result.changed});
    m_events.Log(ChangedCountLogLine(m_result.changed));
    if (m_result.interrupted) {
      m_events.Log(RunInterruptedLogLine());
    }
    Flush();
    return m_result;
  }

 private:
  // Commits the rows, last first, each deciding the next ones while there is room ahead.
  void CommitRows() {
    while (true) {
      Decide();
      // Ending the program leaves every page not yet committed as it is, as if the run had
      // gone one page at a time; the page being committed is always finished.
      if (m_queue.empty() || Stopping()) {
        return;
      }
      Entry entry = std::move(m_queue.front());
      m_queue.pop_front();
      if (entry.marked && !entry.outside) {
        --m_pagesInFlight;
        m_bytesInFlight -= entry.size;
      }
      if (!CommitAtItsTurn(entry)) {
        return;
      }
    }
  }

  // A list that comes as found (the request gives its order apart) is sifted before it is put
  // in order: its pages are read and decided on every core, in any order, until one is found
  // that changes, fails or lies outside the web root. When none does, the run is done, as
  // nothing is to be committed or logged, and the list is never put in order. Otherwise the
  // pages found unchanged count so at their turn, as those of the look ahead do. True when
  // the run is done.
  bool SiftAsFound() {
    if (!m_request.listOrder || m_request.removeNow) {
      return false;
    }
    m_unchangedAhead = std::vector<std::atomic<std::uint8_t>>(static_cast<std::size_t>(m_rows));
    std::atomic<int> next{0};
    std::atomic<int> unchanged{0};
    std::atomic<bool> ended{false};  // by a page that is not to stay as it is, or by a stop
    const auto sift = [&](bool onRunThread) {
      SiteWalker walker(m_walker.Root(), m_request.site.webRootFolder);
      for (int index = next++; index < m_rows && !ended.load(); index = next++) {
        if (StopRequested(m_request)) {
          ended.store(true);
          return;
        }
        if (!m_request.marks->Marked(static_cast<std::size_t>(index))) {
          continue;
        }
        const std::string& path = m_request.pages[static_cast<std::size_t>(index)];
        if (Outside(path) || !StaysAsItIs(walker, path, m_request.remove)) {
          ended.store(true);
          return;
        }
        m_unchangedAhead[static_cast<std::size_t>(index)].store(UnchangedIn(m_request.remove));
        const int found = ++unchanged;
        if (onRunThread && found % 256 == 0) {
          m_events.Progress(found, m_rows);
        }
      }
    };
    std::vector<std::jthread> helpers;
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    const int helping = m_rows >= kLookAheadRows ? std::min(m_options.threads, cores - 1) : 0;
    for (int helper = 0; helper < helping; ++helper) {
      try {
        helpers.push_back(StartThread([&sift] { sift(false); }));
      } catch (const std::system_error&) {
        break;  // the threads that started share the list
      }
    }
    sift(true);
    helpers.clear();  // joined
    m_siftedUnchanged = unchanged.load();
    if (ended.load()) {
      return false;
    }
    m_result.unchanged = m_siftedUnchanged;
    return true;
  }

  // The rows of a list that came as found, in the list's order from here on.
  void PutInListOrder() {
    if (m_request.listOrder) {
      std::vector<std::uint32_t> order = m_request.listOrder(m_request.pages);
      if (order.size() == m_request.pages.size()) {
        m_order = std::move(order);
      }
    }
  }

  // Decides rows, last first, while there is room ahead of the commit.
  void Decide() {
    while (m_nextRow >= 1 && !Stopping()) {
      const int row = m_nextRow;
      Entry entry;
      entry.row = row;
      entry.marked = Marked(row);
      entry.remove = RemoveNow(m_request);
      if (!entry.marked) {
        m_queue.push_back(std::move(entry));
        --m_nextRow;
        continue;
      }
      if (m_pagesInFlight > 0 && m_pagesInFlight >= m_pagesAhead) {
        return;  // decided once a page ahead of it is committed
      }
      entry.path = Path(row);
      entry.outside = Outside(entry.path);
      if (entry.outside) {
        m_queue.push_back(std::move(entry));
        --m_nextRow;
        continue;
      }
      if (FoundUnchangedAhead(entry)) {
        --m_nextRow;
        ++m_pagesInFlight;
        m_queue.push_back(std::move(entry));
        continue;
      }
      Open(entry);
      const bool room =
          m_pagesInFlight == 0 ||
          (m_bytesInFlight + entry.size <= m_options.bytesAhead && !SameFileInFlight(entry));
      if (!room) {
        return;  // decided again once the pages ahead of it are committed
      }
      --m_nextRow;
      ++m_pagesInFlight;
      m_bytesInFlight += entry.size;
      Prepare(entry);
      m_queue.push_back(std::move(entry));
    }
  }

  // The look ahead: rows from the first upwards (the last ones the run commits), each page
  // opened, read and decided as the run would, until it meets the run or a page that changes
  // (then the run has work to do, and reading pages twice would only slow it). A page found to
  // stay as it is is counted so at its turn, in the mode it was looked at in, without reading
  // it again, as a page prepared ahead is.
  void StartLookAhead() {
    if (m_rows < kLookAheadRows || m_options.threads == 0) {
      return;
    }
    if (m_unchangedAhead.empty()) {
      m_unchangedAhead = std::vector<std::atomic<std::uint8_t>>(static_cast<std::size_t>(m_rows));
    }
    m_runAt.store(m_nextRow);
    m_lookAhead = std::jthread([this](const std::stop_token& stop) {
      SiteWalker walker(m_walker.Root(), m_request.site.webRootFolder);
      for (int row = 1; row + m_pagesAhead < m_runAt.load() && !stop.stop_requested(); ++row) {
        const bool remove = RemoveNow(m_request);
        std::atomic<std::uint8_t>& found = m_unchangedAhead[Index(row)];
        if (!Marked(row) || Outside(Path(row)) || found.load() == UnchangedIn(remove)) {
          continue;
        }
        if (!StaysAsItIs(walker, Path(row), remove)) {
          return;
        }
        found.store(UnchangedIn(remove));
      }
    });
  }

  // Whether the page, read and decided ahead of its turn as the run would, stays as it is. A
  // page that changes or fails says no (a failure is told at its turn by the run itself).
  bool StaysAsItIs(SiteWalker& walker, const std::string& path, bool remove) const {
    try {
      return !PlanPageEdit(OpenPage(walker, path), BlockFor(remove), kFaviconLinkPrefix, m_depth,
                           m_edit)
                  .result.changed;
    } catch (...) {
      return false;
    }
  }

  const IconBlockOptions& BlockFor(bool remove) const { return m_blocks[remove ? 1 : 0]; }

  bool FoundUnchangedAhead(Entry& entry) {
    m_runAt.store(entry.row);
    if (m_unchangedAhead.empty() ||
        m_unchangedAhead[Index(entry.row)].load() != UnchangedIn(entry.remove)) {
      return false;
    }
    entry.decided = PreparedPage{};
    return true;
  }

  // The request's page at `row` of the list.
  std::size_t Index(int row) const {
    const auto slot = static_cast<std::size_t>(row - 1);
    return m_order.empty() ? slot : m_order[slot];
  }
  bool Marked(int row) const { return m_request.marks->Marked(Index(row)); }
  const std::string& Path(int row) const { return m_request.pages[Index(row)]; }

  // A page listed under several names is edited name after name, each seeing what the one
  // before wrote: it is not prepared while another name of its file is on its way.
  bool SameFileInFlight(const Entry& entry) const {
    if (!entry.key) {
      return false;
    }
    for (const Entry& other : m_queue) {
      if (other.marked && other.key == entry.key) {
        return true;
      }
    }
    return false;
  }

  // Walks to the page from the web root and opens it; a failure waits for the page's turn.
  void Open(Entry& entry) {
    entry.opened.reset();
    entry.failure = nullptr;
    try {
      OpenedPage page = OpenPage(m_walker, entry.path);
      entry.key = FileKey(page.info.st_dev, page.info.st_ino);
      entry.size = static_cast<std::uint64_t>(page.info.st_size);
      entry.opened = std::move(page);
    } catch (...) {
      entry.failure = std::current_exception();
    }
  }

  // A page that stays as it is is decided right here, with no hand-off to a thread; one that
  // changes gets its new text written on a worker.
  void Prepare(Entry& entry) {
    entry.decided.reset();
    entry.prepared = {};  // what an earlier decision left on its way is dropped when done
    if (entry.failure) {
      return;
    }
    const IconBlockOptions& block = BlockFor(entry.remove);
    if (entry.size > kDecideHereLimit) {
      auto page = std::make_shared<OpenedPage>(std::move(*entry.opened));
      entry.opened.reset();
      entry.prepared = Submit<PreparedPage>(m_pool, [page, block, this] {
        return WritePlannedEdit(
            PlanPageEdit(std::move(*page), block, kFaviconLinkPrefix, m_depth, m_edit), m_edit);
      });
      return;
    }
    try {
      PagePlan plan =
          PlanPageEdit(std::move(*entry.opened), block, kFaviconLinkPrefix, m_depth, m_edit);
      entry.opened.reset();
      if (plan.result.changed && !m_edit.dryRun) {
        auto planned = std::make_shared<PagePlan>(std::move(plan));
        entry.prepared = Submit<PreparedPage>(
            m_pool, [planned, this] { return WritePlannedEdit(std::move(*planned), m_edit); });
        return;
      }
      entry.decided = WritePlannedEdit(std::move(plan), m_edit);
    } catch (...) {
      entry.opened.reset();
      entry.failure = std::current_exception();
    }
  }

  // The prepared page, waited for; failures are thrown.
  PreparedPage TakePrepared(Entry& entry) {
    if (entry.prepared.valid()) {
      return entry.prepared.get();
    }
    if (entry.failure) {
      std::rethrow_exception(std::exchange(entry.failure, nullptr));
    }
    PreparedPage page = std::move(*entry.decided);
    entry.decided.reset();
    return page;
  }

  // The row's turn: the row is looked at again as one-page-at-a-time would see it now, then
  // its page is committed. False when the run ends here.
  bool CommitAtItsTurn(Entry& entry) {
    if (!Marked(entry.row)) {
      return true;  // a prepared page whose mark was taken away is dropped
    }
    m_reachedRow = entry.row;
    m_events.Progress(std::max(m_siftedUnchanged, m_rows - entry.row), m_rows);
    if (!entry.marked || entry.remove != RemoveNow(m_request)) {
      entry.marked = true;
      entry.path = Path(entry.row);
      entry.remove = RemoveNow(m_request);
      entry.outside = Outside(entry.path);
      if (!entry.outside) {
        Open(entry);
        Prepare(entry);  // decided afresh
      }
    }
    if (entry.outside) {
      ++m_result.passedOver;
      m_events.Log(PassedOverLogLine(entry.path));
      return true;
    }
    std::optional<ErrorInfo> errorInfo;
    for (bool again = true; !errorInfo;) {
      try {
        PreparedPage page = TakePrepared(entry);
        if (page.replace) {
          if (page.replace->NeedsFlush()) {
            FlushWrittenPages(*page.replace);
          }
          page.replace->Commit();
          LetGo(std::move(*page.replace));
        }
        if (page.changed) {
          ++m_result.changed;
          m_events.Log(std::to_string(m_result.changed) + ": " + entry.path);
          m_events.PageChanged(m_result.changed, entry.path, page.difference);
          if (page.foreignLinks > 0) {
            m_events.Log(ForeignLinksLogLine(entry.remove, page.foreignLinks, entry.path));
          }
        } else {
          ++m_result.unchanged;
        }
        break;
      } catch (const std::system_error& error) {
        if (!again || !WrittenMeanwhile(error)) {
          errorInfo = CurrentErrorInfo();
        }
      } catch (...) {
        errorInfo = CurrentErrorInfo();
      }
      if (errorInfo) {
        break;
      }
      // Another program wrote the page after it was read (its prepared text is dropped, its
      // lease ended): the page is read and edited once more, as it is now.
      again = false;
      Open(entry);
      Prepare(entry);
    }
    if (errorInfo) {
      ++m_result.failed;
      m_events.Log(PageFailedLogLine(entry.path, PageErrorInfoText(*errorInfo)));
      if (!m_questions.GoOnAfterFailure({entry.path, *errorInfo})) {
        m_result.stopped = true;
        return false;
      }
    }
    return true;
  }

  // Brings the page's new text to the disk before its rename, and with it those of the pages
  // prepared ahead whose text is written by now: one flush of the file system for all. Where
  // that flush fails, each page is flushed by itself at its commit, which names its failure.
  void FlushWrittenPages(PendingReplace& page) {
    std::vector<PendingReplace*> written{&page};
    for (Entry& ahead : m_queue) {
      if (ahead.prepared.valid() &&
          ahead.prepared.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        try {
          ahead.decided = ahead.prepared.get();
        } catch (...) {
          ahead.failure = std::current_exception();
        }
      }
      if (ahead.decided && ahead.decided->replace && ahead.decided->replace->NeedsFlush()) {
        written.push_back(&*ahead.decided->replace);
      }
    }
    if (m_walker.FlushFileSystem()) {
      for (PendingReplace* replace : written) {
        replace->FlushedWithFileSystem();
      }
    }
  }

  // A row kept from an earlier web root would get a link built for this one: it is never edited.
  bool Outside(const std::string& path) const {
    return !m_webRoot.empty() && !LiesUnderWebRoot(path, m_webRoot);
  }

  // The marked rows a stopped or interrupted run did not get to: those below the last one
  // whose turn came (rows run last first).
  void CountNotReached() {
    if (!m_result.stopped && !m_result.interrupted) {
      return;
    }
    for (int row = 1; row < m_reachedRow; ++row) {
      m_result.notReached += Marked(row) ? 1 : 0;
    }
  }

  // Pages prepared but not committed are dropped with their temporary files; their workers are
  // waited for so none is left behind when the run returns.
  void DropUncommitted() {
    for (Entry& entry : m_queue) {
      if (entry.prepared.valid()) {
        try {
          entry.prepared.get();
        } catch (...) {
          // a page that failed to prepare left nothing behind
        }
      }
    }
    m_queue.clear();
  }

  bool Stopping() {
    if (!m_result.interrupted && StopRequested(m_request)) {
      m_result.interrupted = true;
    }
    return m_result.interrupted;
  }

  // The replaced page is closed on a thread of its own: its last close frees its blocks (on some
  // file systems with a discard that waits for the disk), while the run goes on with the next.
  // Closes that lag behind are done right here, so the pages held open stay few.
  void LetGo(PendingReplace&& committed) {
    if (m_closing.load() >= m_closingAtMost) {
      PendingReplace closedHere = std::move(committed);
      return;
    }
    auto held = std::make_shared<std::optional<PendingReplace>>(std::move(committed));
    m_closing.fetch_add(1);
    m_closer->Submit([held, this] {
      held->reset();
      m_closing.fetch_sub(1);
    });
  }

  // The renames reach the disk together, not one folder flush per page.
  void Flush() {
    m_closer.reset();  // every replaced page closed
    if (m_result.changed == 0 || m_edit.dryRun) {
      return;
    }
    m_walker.FlushFileSystem();
  }

  const RunRequest& m_request;
  RunEvents& m_events;
  RunQuestions& m_questions;
  const std::string& m_webRoot;
  const RunOptions& m_options;
  const PageEditOptions m_edit;
  WorkerPool m_pool;
  std::atomic<int> m_closing{0};       // replaced pages waiting for the closer
  std::optional<WorkerPool> m_closer;  // closes replaced pages (LetGo); goes before m_closing
  SiteWalker m_walker;                 // used on the run's thread only
  const int m_depth;
  const int m_descriptors = PageDescriptorBudget();
  const int m_pagesAhead;     // within the limit of open files
  const int m_closingAtMost;  // likewise
  // What a page gets in either mode, found once: the set's files at the root don't change
  // while the run works.
  const IconBlockOptions m_blocks[2];
  const int m_rows;
  int m_nextRow;
  int m_reachedRow = m_rows + 1;  // the row whose turn came last
  std::deque<Entry> m_queue;
  int m_pagesInFlight = 0;
  std::uint64_t m_bytesInFlight = 0;
  FaviconRunResult m_result;
  std::vector<std::uint32_t> m_order;  // the request's pages by row; empty: as they came
  int m_siftedUnchanged = 0;           // pages found unchanged before the list was put in order
  std::vector<std::atomic<std::uint8_t>> m_unchangedAhead;  // per page: UnchangedIn, or 0
  std::atomic<int> m_runAt{0};                              // the row the run decides now
  std::jthread m_lookAhead;                                 // last: stopped before the rest goes
};

}  // namespace

std::string LogDateTimeText(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[128];
  const std::size_t length = std::strftime(text, sizeof text, "%x %X", &local);
  return std::string(text, length);
}

bool StopRequested(const RunRequest& request) {
  return request.stopRun.stop_requested() || Ending(request);
}

bool RemoveNow(const RunRequest& request) {
  return request.removeNow ? request.removeNow->load(std::memory_order_relaxed) : request.remove;
}

bool Ending(const RunRequest& request) { return request.stop.stop_requested() || Interrupted(); }

FaviconRunResult SetUnsetFaviconInFiles(const RunRequest& request, RunEvents& events,
                                        RunQuestions& questions) {
  if (request.pages.empty()) {
    events.Tell({NoticeKind::kEmptyList, {}, {}});
    FaviconRunResult result;
    result.listEmpty = true;
    return result;
  }
  return Run(request, events, questions).Go();
}

}  // namespace tervando
