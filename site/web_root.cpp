#include "site/web_root.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/paths.h"
#include "site/app_folder.h"
#include "site/page_collection.h"

namespace tervando {

namespace {

// Whatever happens during the scan and fill, the list sorts again and the cursor is normal.
class FillGuard {
 public:
  explicit FillGuard(Host& host) : m_host(host) {
    m_host.SetSortingEnabled(false);
    m_host.SetProgressRange(0, 2);
    m_host.SetBusy(true);
  }
  ~FillGuard() {
    if (m_done) {
      return;
    }
    m_host.SetProgressValue(0);
    m_host.SetSortingEnabled(true);
    m_host.SetBusy(false);
  }
  FillGuard(const FillGuard&) = delete;
  FillGuard& operator=(const FillGuard&) = delete;
  void Done() { m_done = true; }

 private:
  Host& m_host;
  bool m_done = false;
};

// The scan waits for the disk folder after folder; it runs on a thread of its own while the
// host handles its events.
std::vector<std::string> ScanOffThisThread(Host& host, const std::string& webRoot) {
  std::packaged_task<std::vector<std::string>()> scan([webRoot] { return CollectFiles(webRoot); });
  std::future<std::vector<std::string>> found = scan.get_future();
  std::thread scanner(std::move(scan));
  host.Yield();
  while (found.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
    host.Yield();
  }
  scanner.join();
  return found.get();
}

}  // namespace

bool SelectWebRoot(Host& host, SiteState& state, const std::string& chosenFolder) {
  if (chosenFolder.empty()) {
    return false;
  }
  state.webRoot = WithTrailingBackslash(chosenFolder);
  state.webRootDepth = CountOccurrences(std::string(1, kPathSeparator), state.webRoot, 0);
  host.ShowWebRoot(state.webRoot);

  FillGuard guard(host);
  host.SetProgressValue(1);
  std::vector<std::string> foundFiles = ScanOffThisThread(host, state.webRoot);
  const int count = static_cast<int>(foundFiles.size());
  host.SetProgressValue(0);
  host.SetProgressRange(0, std::max(count, 1));  // 0..0 is no valid range for a bar
  for (int i = 0; i < count && !host.StopRequested(); ++i) {
    AddPageToList(host, foundFiles[static_cast<std::size_t>(i)]);
    host.SetProgressValue(i + 1);
  }
  foundFiles = {};
  host.SetProgressValue(0);
  host.SetSortingEnabled(true);
  host.ShowStatus({StatusKind::kFillDone, {}, 0});
  host.SetStatusCount(host.RowCount());
  host.SetBusy(false);
  guard.Done();

  RefreshFaviconPreview(state);
  return true;
}

}  // namespace tervando
