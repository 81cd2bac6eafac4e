#include "engine/start.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <future>
#include <optional>
#include <utility>
#include <vector>

#include "engine/messages.h"
#include "engine/page_file.h"
#include "engine/paths.h"
#include "engine/site_check.h"
#include "engine/web_root_lock.h"

namespace tervando {

namespace {

void ShowFailure(Host& host, const std::exception& failure) {
  host.ShowStatus({StatusKind::kFailed, failure.what(), 0});
}

// How long the calling thread waits for the check before it lets its host handle events.
constexpr std::chrono::milliseconds kCheckWaitSlice{10};
// The pages are in the cache after the run, so the check is work for the processor: one
// thread leaves the other core to the window.
constexpr int kCheckThreads = 1;

// Reads the marked pages under the web root again, as tervando-cli --check does, on other
// threads while the host handles its events; tells the host the pages that need a look.
void CheckAfterRun(Host& host, const SiteState& state, const RunOptions& options,
                   RunCounts& counts) {
  std::vector<std::string> paths;
  for (int row = 1; row <= host.RowCount(); ++row) {
    if (host.RowMarked(row)) {
      std::string path = host.RowText(row);
      if (state.webRoot.empty() || LiesUnderWebRoot(path, state.webRoot)) {
        paths.push_back(std::move(path));
      }
    }
  }
  const IconBlockOptions block = RunBlockOptions(state, host.RemoveMode());
  std::future<std::vector<PageCheck>> done = std::async(std::launch::async, [&paths, &state, &block,
                                                                             &options] {
    return CheckPages(state.webRootFolder, state.webRoot, paths, block, state.faviconLinkPrefix,
                      state.webRootDepth, std::min(std::max(options.threads, 1), kCheckThreads));
  });
  while (done.wait_for(kCheckWaitSlice) != std::future_status::ready) {
    host.Yield();
  }
  const std::vector<PageCheck> checks = done.get();
  std::vector<std::pair<std::string, PageCheck>> shown;
  for (std::size_t i = 0; i < checks.size(); ++i) {
    const std::optional<PageClass> mark = ListMark(checks[i]);
    if (!mark) {
      continue;
    }
    // Pages the run failed on are counted (and logged) as failed already.
    if (*mark == PageClass::kUnreadable || *mark == PageClass::kEmpty) {
      shown.emplace_back(std::move(paths[i]), checks[i]);
      continue;
    }
    ++(*mark == PageClass::kOtherIcon ? counts.otherIcon : counts.attention);
    host.Log(
        CheckedPageLogLine(paths[i], PageClassLabel(*mark, counts.remove, block.LinksSetFiles())));
    shown.emplace_back(std::move(paths[i]), checks[i]);
  }
  host.ShowPageChecks(shown);
}

RunCounts CountsOf(const FaviconRunResult& run) {
  RunCounts counts;
  counts.changed = run.changed;
  counts.unchanged = run.unchanged;
  counts.failed = run.failed;
  counts.passedOver = run.passedOver;
  counts.notReached = run.notReached;
  counts.stopped = run.stopped || run.interrupted;
  return counts;
}

// Says that the web root's path names another folder than the one read: on the window or the
// terminal and in the log.
void TellWebRootMoved(Host& host, const SiteState& state, bool duringRun) {
  host.Log(WebRootMovedText(state.webRoot, duringRun));
  host.Tell({duringRun ? NoticeKind::kWebRootMovedDuringRun : NoticeKind::kWebRootMoved,
             state.webRoot,
             {}});
}

// Below the root, as the lock takes them.
std::vector<std::string> RelativeToRoot(const std::vector<std::string>& paths,
                                        const std::string& webRoot) {
  std::vector<std::string> relative;
  for (const std::string& path : paths) {
    if (LiesUnderWebRoot(path, webRoot)) {
      relative.push_back(path.substr(webRoot.size()));
    }
  }
  return relative;
}

}  // namespace

StartResult Start(Host& host, SiteState& state, const RunOptions& options) {
  StartResult result;
  if (!state.webRoot.empty()) {
    // Everything is reached from the root as read; a path that now names another folder (the
    // root renamed away, a link put in its place) is never followed.
    if (!state.webRootFolder) {
      try {
        state.webRootFolder = OpenWebRoot(state.webRoot);
      } catch (const std::exception& failure) {
        ShowFailure(host, failure);
        return result;
      }
    }
    if (!StillNamesFolder(state.webRoot, *state.webRootFolder)) {
      TellWebRootMoved(host, state, false);
      result.webRootMoved = true;
      return result;
    }
  }
  // One run per site at a time; a dry run writes nothing and needs no lock.
  std::optional<WebRootLock> lock;
  if (!options.edit.dryRun && !state.webRoot.empty()) {
    lock.emplace(state.webRoot, state.webRootFolder,
                 RelativeToRoot(state.lockFilesBelow, state.webRoot));
    if (lock->Busy()) {
      host.Tell({NoticeKind::kWebRootBusy, lock->BusyFolder(), {}});
      result.webRootBusy = true;
      return result;
    }
    // No run works here now, so what an interrupted one left behind can go.
    if (!state.leftovers.empty()) {
      const int removed =
          RemoveTemporaryFiles(*state.webRootFolder, state.webRoot, state.leftovers);
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
  result.counts = CountsOf(result.run);
  result.counts.remove = host.RemoveMode();
  if (options.checkAfterRun && !result.run.listEmpty && !options.edit.dryRun &&
      !host.StopRequested()) {
    try {
      CheckAfterRun(host, state, options, result.counts);
    } catch (const std::exception& failure) {
      ShowFailure(host, failure);
    }
  }
  if (!state.webRoot.empty() && !StillNamesFolder(state.webRoot, *state.webRootFolder)) {
    TellWebRootMoved(host, state, true);
    result.webRootMovedDuringRun = true;
  }
  RefreshFaviconPreview(state);
  if (host.Ending()) {
    // No box is shown any more: the log keeps what the box would have said.
    host.Log(SummaryLogLine(result.counts));
  } else {
    host.Tell({NoticeKind::kFinished, host.LogFilePath(), result.counts});
  }
  return result;
}

}  // namespace tervando
