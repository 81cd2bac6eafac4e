#include "cli/cli_setup.h"

#include "cli/cli_arguments.h"
#include "site/options.h"
#include "site/web_root.h"

namespace tervando {

std::string SetUpWebRoot(const CliOptions& options) {
  std::string folder = ReadableFolder(options.webRoot);
  if (folder.empty()) {
    return folder;
  }
  ReadOptions();
  if (options.extensions) {
    SetPageExtensions(ParseExtensions(*options.extensions));
  }
  return folder;
}

void ListPages(TerminalHost& host, SiteState& state, const std::string& folder) {
  SelectWebRoot(host, state, folder);
  host.ClearProgress();
}

}  // namespace tervando
