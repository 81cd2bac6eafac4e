#include "site/web_root.h"

#include <algorithm>
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
  std::vector<std::string> foundFiles = CollectFiles(state.webRoot);
  const int count = static_cast<int>(foundFiles.size());
  host.SetProgressValue(0);
  host.SetProgressRange(0, std::max(count, 1));  // 0..0 is no valid range for a bar
  for (int i = 0; i < count; ++i) {
    AddPageToList(host, foundFiles[static_cast<std::size_t>(i)]);
    host.SetProgressValue(i + 1);
  }
  foundFiles = {};
  host.SetProgressValue(0);
  host.SetSortingEnabled(true);
  host.SetStatusText("Eintragung beendet");
  host.SetStatusCount(host.RowCount());
  host.SetBusy(false);
  guard.Done();

  RefreshFaviconPreview(state);
  return true;
}

}  // namespace tervando
