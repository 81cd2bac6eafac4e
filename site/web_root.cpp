#include "site/web_root.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>
#include <utility>
#include <vector>

#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/paths.h"
#include "site/app_folder.h"
#include "site/options.h"
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
// host handles its events, and stops when the program is asked to end.
ScanResult ScanOffThisThread(Host& host, const std::string& webRoot) {
  std::atomic<bool> stop{false};
  std::packaged_task<ScanResult()> scan([&stop, webRoot, extensions = PageExtensions()] {
    return ScanWebRoot(webRoot, extensions, [&stop] { return stop.load(); });
  });
  std::future<ScanResult> found = scan.get_future();
  std::thread scanner(std::move(scan));
  host.Yield();
  while (found.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
    host.Yield();
    if (host.StopRequested()) {
      stop = true;
    }
  }
  scanner.join();
  return found.get();
}

void ReportSkipped(Host& host, const ScanResult& scan) {
  const std::pair<SkipCause, const std::vector<std::string>*> causes[] = {
      {SkipCause::kUnreadableFolder, &scan.skipped.unreadableFolders},
      {SkipCause::kDanglingLink, &scan.skipped.danglingLinks},
      {SkipCause::kOutsideRoot, &scan.skipped.linksOutOfRoot},
      {SkipCause::kNameTooLong, &scan.skipped.tooLong},
      {SkipCause::kLeftoverTemporary, &scan.leftovers},
  };
  for (const auto& [cause, paths] : causes) {
    for (const std::string& path : *paths) {
      host.Skipped({cause, path});
    }
  }
}

}  // namespace

bool SelectWebRoot(Host& host, SiteState& state, const std::string& chosenFolder) {
  if (chosenFolder.empty()) {
    return false;
  }
  // Pages are listed under their real paths, so the root and its depth are the real ones too.
  char* real = realpath(chosenFolder.c_str(), nullptr);
  state.webRoot = WithTrailingBackslash(real != nullptr ? std::string(real) : chosenFolder);
  std::free(real);
  state.webRootDepth = CountOccurrences(std::string(1, kPathSeparator), state.webRoot, 0);
  host.ShowWebRoot(state.webRoot);

  FillGuard guard(host);
  host.SetProgressValue(1);
  ScanResult scan = ScanOffThisThread(host, state.webRoot);
  ReportSkipped(host, scan);
  state.leftovers = std::move(scan.leftovers);
  const int count = static_cast<int>(scan.pages.size());
  host.SetProgressValue(0);
  host.SetProgressRange(0, std::max(count, 1));  // 0..0 is no valid range for a bar
  for (int i = 0; i < count && !host.StopRequested(); ++i) {
    std::string& page = scan.pages[static_cast<std::size_t>(i)];
    AddPageToList(host, page);
    std::string().swap(page);  // the list holds its own copy
    host.SetProgressValue(i + 1);
  }
  scan = {};
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
