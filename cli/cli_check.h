#pragma once

#include <string>

#include "cli/cli_options.h"
#include "cli/cli_setup.h"

namespace tervando {

// tervando-cli --check: reads every page of the web root (`site`, set up as for the run) and
// says what a run (an insert run, or a remove run with --remove) would do to it and why, as a
// table of counts per class with a few example pages, or with --format json as one record per
// page. Writes nothing. Returns 0 when no page needs attention, 1 when one does, 2 when the
// output can't be written.
int RunCheck(const CliOptions& options, const CliSite& site);

}  // namespace tervando
