#pragma once

#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace tervando {

// tervando-cli --check: reads every page of the web root and says what a run (an insert run,
// or a remove run with --remove) would do to it and why, as a table of counts per class with
// a few example pages, or with --format json as one record per page. Writes nothing. Returns
// 0 when no page needs attention, 1 when one does, 2 when the web root can't be read or the
// output can't be written.
int RunCheck(const CliOptions& options);

// The pages the check reads, in the order --list prints them.
std::vector<std::string> PagesToCheck(const std::string& webRoot,
                                      const std::vector<std::string>& pageExtensions);

}  // namespace tervando
