#pragma once

#include <string>

#include "engine/host.h"
#include "engine/site_state.h"
#include "site/options.h"

namespace tervando {

// What "&Pfad" does once the folder dialog has returned `chosenFolder`: the folder becomes the
// web root (with a trailing separator) and sets the depth, the whole tree is scanned and its
// pages (by the extensions of `options`) are added to the host's list as marked rows (rows already
// listed stay as they are), the status bar reports the end and the count, and the favicon preview
// is refreshed. An empty `chosenFolder` (the dialog was cancelled) changes nothing and returns
// false; so does a system folder (IsSystemFolder), told to the host as such. Enabling the Start and
// current-favicon buttons is left to the window.
bool SelectWebRoot(Host& host, SiteState& state, const Options& options,
                   const std::string& chosenFolder);

}  // namespace tervando
