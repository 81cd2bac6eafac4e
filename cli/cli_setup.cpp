#include "cli/cli_setup.h"

#include <iostream>

#include "cli/cli_arguments.h"
#include "cli/path_text.h"
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
  std::cerr << "tervando-cli: " << TerminalText(WebRootMovedText(state.webRoot, true)) << "\n";
  return false;
}

void ListPages(TerminalHost& host, SiteState& state, const CliSite& site) {
  SelectWebRoot(host, state, site.options, site.folder);
  host.ClearProgress();
}

}  // namespace tervando
