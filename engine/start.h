#pragma once

#include "engine/favicon_file.h"
#include "engine/favicon_run.h"
#include "engine/run_events.h"
#include "engine/run_request.h"

namespace tervando {

struct StartResult {
  PlaceResult placed = PlaceResult::NotNeeded;
  FaviconRunResult run;
  bool webRootBusy = false;  // another run works on the web root: nothing was done
  // The web root's path named another folder than the one read: at Start (nothing was done),
  // or at the end (the run worked in the folder read only).
  bool webRootMoved = false;
  bool webRootMovedDuringRun = false;
  // The run's counts, and what the check after it found: pages that won't show our icon.
  RunCounts counts;
  // What the preview shows now: the root's own favicon.ico, or the default icon, pending.
  PreviewIcon preview;
  bool leftoversRemoved = false;  // the request's leftovers are gone (or were never there)
};

// "&Start": place favicon.ico (insert mode, icon pending), run over the marked pages, check
// what browsers will make of them (ShowPageChecks; not in a dry run), find the root's icon for
// the preview, tell how it ended: "all done" only when every marked page was handled. No step
// stops the next one; a program asked to end skips the closing notice. While another run works
// on the same web root (or a folder above or inside it), nothing is done but to say so; so too
// when the web root's path no longer names the folder read. The run reaches everything from the
// site's root handle.
// The request's site gets the root's handle when it has none yet.
StartResult Start(RunRequest& request, RunEvents& events, RunQuestions& questions);

}  // namespace tervando
