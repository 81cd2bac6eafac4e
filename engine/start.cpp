#include "engine/start.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "engine/head_editor.h"
#include "engine/messages.h"
#include "engine/page_file.h"
#include "engine/paths.h"
#include "engine/site_check.h"
#include "engine/web_root_lock.h"

namespace tervando {

namespace {

void ShowFailure(RunEvents& events, const std::exception& failure) {
  events.ShowStatus({StatusKind::kFailed, failure.what(), 0});
}

// The pages are in the cache after the run, so the check is work for the processor: one
// thread leaves the other core to the window.
constexpr int kCheckThreads = 1;

// Reads the marked pages under the web root again, as tervando-cli --check does; tells the
// front end the pages that need a look.
void CheckAfterRun(const RunRequest& request, RunEvents& events, RunCounts& counts) {
  const SiteState& state = request.site;
  std::vector<std::string> paths;
  for (std::size_t row = 0; row < request.pages.size(); ++row) {
    const std::string& path = request.pages[row];
    if (request.marks->Marked(row) &&
        (state.webRoot.empty() || LiesUnderWebRoot(path, state.webRoot))) {
      paths.push_back(path);
    }
  }
  const IconBlockOptions block = RunBlockOptions(state, RemoveNow(request));
  const std::vector<PageCheck> checks =
      CheckPages(state.webRootFolder, state.webRoot, paths, block, kFaviconLinkPrefix,
                 state.webRootDepth, std::min(std::max(request.options.threads, 1), kCheckThreads));
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
    events.Log(
        CheckedPageLogLine(paths[i], PageClassLabel(*mark, counts.remove, block.LinksSetFiles())));
    shown.emplace_back(std::move(paths[i]), checks[i]);
  }
  events.ShowPageChecks(shown);
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
void TellWebRootMoved(RunEvents& events, const SiteState& state, bool duringRun) {
  events.Log(WebRootMovedText(state.webRoot, duringRun));
  events.Tell({duringRun ? NoticeKind::kWebRootMovedDuringRun : NoticeKind::kWebRootMoved,
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

StartResult Start(RunRequest& request, RunEvents& events, RunQuestions& questions) {
  SiteState& state = request.site;
  const RunOptions& options = request.options;
  StartResult result;
  if (!state.webRoot.empty()) {
    // Everything is reached from the root as read; a path that now names another folder (the
    // root renamed away, a link put in its place) is never followed.
    if (!state.webRootFolder) {
      try {
        state.webRootFolder = OpenWebRoot(state.webRoot);
      } catch (const std::exception& failure) {
        ShowFailure(events, failure);
        return result;
      }
    }
    if (!StillNamesFolder(state.webRoot, *state.webRootFolder)) {
      TellWebRootMoved(events, state, false);
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
      events.Tell({NoticeKind::kWebRootBusy, lock->BusyFolder(), {}});
      result.webRootBusy = true;
      result.preview = state.preview;
      return result;
    }
    // No run works here now, so what an interrupted one left behind can go.
    if (!state.leftovers.empty()) {
      const int removed =
          RemoveTemporaryFiles(*state.webRootFolder, state.webRoot, state.leftovers);
      if (removed > 0) {
        events.LeftoversRemoved(removed);
      }
    }
    result.leftoversRemoved = true;
  }
  try {
    result.placed = PlaceFaviconFile(questions, state, request.remove, options.edit.dryRun);
  } catch (const std::exception& failure) {
    ShowFailure(events, failure);
  }
  try {
    result.run = SetUnsetFaviconInFiles(request, events, questions);
  } catch (const std::exception& failure) {
    ShowFailure(events, failure);
  }
  result.counts = CountsOf(result.run);
  result.counts.remove = RemoveNow(request);
  if (options.checkAfterRun && !result.run.listEmpty && !options.edit.dryRun &&
      !StopRequested(request)) {
    try {
      CheckAfterRun(request, events, result.counts);
    } catch (const std::exception& failure) {
      ShowFailure(events, failure);
    }
  }
  if (!state.webRoot.empty() && !StillNamesFolder(state.webRoot, *state.webRootFolder)) {
    TellWebRootMoved(events, state, true);
    result.webRootMovedDuringRun = true;
  }
  SiteState after = state;
  RefreshFaviconPreview(after);
  result.preview = std::move(after.preview);
  if (Ending(request)) {
    // No box is shown any more: the log keeps what the box would have said.
    events.Log(SummaryLogLine(result.counts));
  } else {
    events.Tell({NoticeKind::kFinished, request.logFile, result.counts});
  }
  return result;
}

}  // namespace tervando
