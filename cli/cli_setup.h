#pragma once

#include <string>

#include "cli/cli_options.h"
#include "cli/terminal_host.h"
#include "engine/site_state.h"
#include "site/options.h"
#include "site/page_list.h"

namespace tervando {

// The web root named on the command line, ready for the run and for --check alike: a folder
// that can be listed, with the page extensions of options.ini or --extensions in force.
struct CliSite {
  std::string folder;  // empty when the argument is no readable folder
  Options options;
};
CliSite SetUpWebRoot(const CliOptions& options);

// The web root becomes the state's, and its pages `pages`, marked, and sorted as --list prints
// them unless `sorted` is false (then they stand as the scan found them); what the scan passed
// over is kept in the host for WarnSkipped. The preview is the root's own favicon.ico or else
// the default icon.
void ListPages(TerminalHost& host, SiteState& state, PageList& pages, const CliSite& site,
               bool sorted = true);

// True while the web root's path still names the folder the scan opened; otherwise says so on
// stderr (what was read and printed came from the folder opened, never from the new name).
bool WebRootStillNamed(const SiteState& state);

}  // namespace tervando
