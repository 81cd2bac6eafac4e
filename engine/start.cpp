#include "engine/start.h"

#include <exception>
#include <optional>

#include "engine/page_file.h"
#include "engine/web_root_lock.h"

namespace tervando {

namespace {

void ShowFailure(Host& host, const std::exception& failure) {
  host.ShowStatus({StatusKind::kFailed, failure.what(), 0});
}

}  // namespace

StartResult Start(Host& host, SiteState& state, const RunOptions& options) {
  StartResult result;
  // One run per site at a time; a dry run writes nothing and needs no lock.
  std::optional<WebRootLock> lock;
  if (!options.edit.dryRun && !state.webRoot.empty()) {
    lock.emplace(state.webRoot);
    if (lock->Busy()) {
      host.Tell({NoticeKind::kWebRootBusy, lock->BusyFolder()});
      result.webRootBusy = true;
      return result;
    }
    // No run works here now, so what an interrupted one left behind can go.
    if (!state.leftovers.empty()) {
      const int removed = RemoveTemporaryFiles(state.leftovers);
      state.leftovers.clear();
      if (removed > 0) {
        host.LeftoversRemoved(removed);
      }
    }
  }
  try {
    result.placed = PlaceFaviconFile(host, state, options.edit.dryRun);
  } catch (const std::exception& failure) {
    ShowFailure(host, failure);
  }
  try {
    result.run = SetUnsetFaviconInFiles(host, state, options);
  } catch (const std::exception& failure) {
    ShowFailure(host, failure);
  }
  RefreshFaviconPreview(state);
  if (!host.StopRequested()) {
    host.Tell({NoticeKind::kFinished, {}});
  }
  return result;
}

}  // namespace tervando
