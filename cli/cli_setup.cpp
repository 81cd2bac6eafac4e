#include "cli/cli_setup.h"

#include "cli/cli_arguments.h"
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

void ListPages(TerminalHost& host, SiteState& state, const CliSite& site) {
  SelectWebRoot(host, state, site.options, site.folder);
  host.ClearProgress();
}

}  // namespace tervando
