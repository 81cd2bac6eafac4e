#pragma once

#include "engine/favicon_file.h"
#include "engine/favicon_run.h"
#include "engine/host.h"
#include "engine/site_state.h"

namespace tervando {

struct StartResult {
  PlaceResult placed = PlaceResult::NotNeeded;
  FaviconRunResult run;
  bool webRootBusy = false;  // another run works on the web root: nothing was done
};

// "&Start": place favicon.ico (insert mode, icon pending), run over the marked pages, show the
// root's icon in the preview, tell that all is done. No step stops the next one; a program
// asked to end skips the closing notice. While another run works on the same web root (or a
// folder above or inside it), nothing is done but to say so.
StartResult Start(Host& host, SiteState& state, const RunOptions& options = {});

}  // namespace tervando
