#include "site/web_root.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/paths.h"
#include "engine/real_path.h"
#include "engine/web_root_lock.h"
#include "site/app_folder.h"
#include "site/options.h"
#include "site/page_collection.h"
#include "site/system_folder.h"

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

// The scan lets the host handle its events every few milliseconds and stops when the program
// is asked to end. It runs on the calling thread: the paths it finds are then freed where the
// list's own copies are made, so the fill holds the pages about once, not twice.
ScanResult ScanYielding(Host& host, const std::string& webRoot,
                        const std::vector<std::string>& pageExtensions) {
  host.Yield();
  return ScanWebRoot(
      webRoot, pageExtensions, [&host] { return host.StopRequested(); },
      [&host](const std::string&, std::size_t) { host.Yield(); });
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

bool SelectWebRoot(Host& host, SiteState& state, const Options& options,
                   const std::string& chosenFolder) {
  if (chosenFolder.empty()) {
    return false;
  }
  if (IsSystemFolder(chosenFolder)) {
    host.Tell({NoticeKind::kSystemFolder, chosenFolder, {}});
    return false;
  }
  // Pages are listed under their real paths, so the root and its depth are the real ones too.
  const std::string real = RealPath(chosenFolder);
  state.webRoot = WithTrailingBackslash(real.empty() ? chosenFolder : real);
  state.webRootDepth = CountOccurrences(std::string(1, kPathSeparator), state.webRoot, 0);
  host.ShowWebRoot(state.webRoot);

  FillGuard guard(host);
  host.SetProgressValue(1);
  ScanResult scan = ScanYielding(host, state.webRoot, options.pageExtensions);
  // From here on the site is reached from the root as the scan opened it.
  state.webRootFolder = scan.rootFolder;
  if (RunWorksOn(state.webRoot, state.webRootFolder)) {
    scan.leftovers.clear();  // the temporaries of the run at work, not left behind
  }
  ReportSkipped(host, scan);
  state.leftovers = std::move(scan.leftovers);
  state.lockFilesBelow = std::move(scan.lockFiles);
  const int count = static_cast<int>(scan.pages.size());
  host.SetProgressValue(0);
  host.SetProgressRange(0, std::max(count, 1));  // 0..0 is no valid range for a bar
  for (int i = 0; i < count && !host.StopRequested(); ++i) {
    std::string& page = scan.pages[static_cast<std::size_t>(i)];
    AddPageToList(host, options.pageExtensions, state.listFillCounter, page);
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
