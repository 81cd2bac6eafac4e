#include "site/web_root.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/paths.h"
#include "engine/yield.h"
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
  // The window keeps repainting while a big tree is scanned.
  ScanResult scan = ScanWebRoot(state.webRoot, PageExtensions(), {},
                                [](const std::string&, std::size_t) { YieldToMessageLoop(); });
  const int count = static_cast<int>(scan.pages.size());
  host.SetProgressValue(0);
  host.SetProgressRange(0, std::max(count, 1));  // 0..0 is no valid range for a bar
  for (int i = 0; i < count; ++i) {
    std::string& page = scan.pages[static_cast<std::size_t>(i)];
    AddPageToList(host, page);
    std::string().swap(page);  // the list holds its own copy
    host.SetProgressValue(i + 1);
  }
  scan = {};
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
