#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tervando {

// What editing one page gave: whether its file changed (or would), and the text to show for it.
struct PageOutcome {
  bool changed = false;
  std::string shown;
};

// Edits pages ahead of the run, in the order the run will ask for them, on several threads,
// and hands the outcomes to the run one by one in that order. Writing a page safely waits for
// the disk twice; with several pages in flight those waits overlap. The run still sees one page
// at a time, so its log, counts and failure reports stay the same.
class PagePipeline {
 public:
  using Work = std::function<PageOutcome(const std::string& pagePath)>;

  struct Limits {
    int threads = 0;          // none: every page is edited when the run asks for it
    int window = 1;           // pages done or in work ahead of the run
    std::uint64_t bytes = 0;  // page bytes in work at once; a larger page works alone
  };

  // `sizes` holds the expected size of each page of `order` (for the byte limit). Once
  // `stopped` says true, no page is begun any more; pages already begun are finished.
  PagePipeline(std::vector<std::string> order, std::vector<std::uint64_t> sizes, Work work,
               Limits limits, std::function<bool()> stopped = {});
  ~PagePipeline();
  PagePipeline(const PagePipeline&) = delete;
  PagePipeline& operator=(const PagePipeline&) = delete;

  // The outcome for `pagePath`, which must be the next page of the order (any other page, and
  // every page when there are no threads, is edited right here); its failure is thrown here.
  // A page not yet begun when the pipeline was stopped is not edited: std::system_error
  // (operation interrupted) is thrown instead.
  PageOutcome Take(const std::string& pagePath);

 private:
  struct Slot {
    bool done = false;
    PageOutcome outcome;
    std::exception_ptr failure;
  };
  void Serve();
  std::uint64_t SizeOf(std::size_t index) const;
  bool Stopped() const { return m_stopped && m_stopped(); }

  const std::vector<std::string> m_order;
  const std::vector<std::uint64_t> m_sizes;
  const Work m_work;
  const std::size_t m_window;
  const std::uint64_t m_byteLimit;
  const std::function<bool()> m_stopped;
  std::vector<Slot> m_slots;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::size_t m_next = 0;   // the next page a worker takes
  std::size_t m_taken = 0;  // the pages the run has taken
  std::uint64_t m_bytesInWork = 0;
  bool m_stopping = false;
  std::vector<std::thread> m_threads;
};

}  // namespace tervando
