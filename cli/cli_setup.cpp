#include "cli/cli_setup.h"

#include <iostream>

#include "cli/cli_arguments.h"
#include "cli/path_text.h"
#include "engine/favicon_file.h"
#include "engine/interrupt.h"
#include "engine/messages.h"
#include "site/web_root.h"

namespace tervando {

CliSite SetUpWebRoot(const CliOptions& options) {
  CliSite site;
  site.folder = ReadableFolder(options.webRoot);
  if (site.folder.empty()) {
    return site;
  }
  site.options = ReadOptions();
  if (options.extensions) {
    site.options.pageExtensions = ParseExtensions(*options.extensions);
  }
  return site;
}

bool WebRootStillNamed(const SiteState& state) {
  if (!state.webRootFolder || StillNamesFolder(state.webRoot, *state.webRootFolder)) {
    return true;
  }
  std::cerr << "tervando-cli: " << TerminalLine(WebRootMovedText(state.webRoot, true)) << "\n";
  return false;
}

void ListPages(TerminalHost& host, SiteState& state, PageList& pages, const CliSite& site,
               bool sorted) {
  WebRootScan found = ScanChosenWebRoot(
      site.folder, site.options, [] { return Interrupted(); },
      [&host](const std::string& folder, std::size_t count) {
        host.ShowStatus({StatusKind::kFilling, folder, 0});
        host.SetStatusCount(static_cast<int>(count));
      });
  state.webRoot = found.webRoot;
  state.webRootDepth = found.webRootDepth;
  state.webRootFolder = found.scan.rootFolder;
  state.leftovers = found.scan.leftovers;
  state.lockFilesBelow = found.scan.lockFiles;
  pages.SetSortingEnabled(false);
  for (const std::string& page : found.scan.pages) {
    if (IsPagePath(page, site.options.pageExtensions)) {
      pages.InsertMarkedAtTop(page);
    }
  }
  pages.SetSortingEnabled(sorted);
  host.KeepSkipped(std::move(found.scan));
  host.ShowStatus({StatusKind::kFillDone, {}, 0});
  host.SetStatusCount(pages.Count());
  host.ClearProgress();
  RefreshFaviconPreview(state);
}

}  // namespace tervando
