#include "engine/start.h"

#include <exception>

namespace tervando {

namespace {

void ShowFailure(Host& host, const std::exception& failure) {
  host.ShowStatus({StatusKind::kFailed, failure.what(), 0});
}

}  // namespace

StartResult Start(Host& host, SiteState& state, const RunOptions& options) {
  StartResult result;
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
    host.Tell(Notice::kFinished);
  }
  return result;
}

}  // namespace tervando
