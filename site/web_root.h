#pragma once

#include <functional>
#include <string>
#include <vector>

#include "site/options.h"
#include "site/page_collection.h"

namespace tervando {

// A folder chosen as the web root ("&Pfad", a folder named on the command line or dropped onto
// the window, tervando-cli's argument), scanned.
struct WebRootScan {
  std::string webRoot;   // the folder's real path (pages are listed under real paths), ending
                         // with the separator
  int webRootDepth = 0;  // separators in webRoot
  // Its pages by the extensions of the options, in scan order, what the scan passed over, and
  // the leftovers of an interrupted run (none while a run works there: those are its own).
  ScanResult scan;
};

// Scans `chosenFolder` as the web root. Safe on any thread; `stop` and `progress` as for
// ScanWebRoot. A system folder (IsSystemFolder) is the caller's to refuse before.
WebRootScan ScanChosenWebRoot(const std::string& chosenFolder, const Options& options,
                              const std::function<bool()>& stop = {},
                              const ScanProgress& progress = {});

}  // namespace tervando
