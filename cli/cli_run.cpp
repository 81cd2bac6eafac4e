#include "cli/cli_run.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "cli/cli_arguments.h"
#include "cli/cli_check.h"
#include "cli/cli_options.h"
#include "cli/cli_setup.h"
#include "cli/terminal_host.h"
#include "cli/unified_diff.h"
#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/interrupt.h"
#include "engine/messages_cli.h"
#include "engine/messages_scan.h"
#include "engine/start.h"
#include "icons/icon_catalogue.h"
#include "icons/picture_module.h"
#include "site/collation.h"
#include "site/system_folder.h"
#include "support/escape_control_bytes.h"
#include "support/version_text.h"
#include "support/write_log.h"

namespace tervando {

namespace {

namespace fs = std::filesystem;

// The icon named by --icon or --icon-file, pending, with the picture it was made from; none when
// neither was given. Says on stderr what is wrong with it and returns false when it can't be had.
bool ChooseIcon(const CliOptions& options, std::optional<PreviewIcon>& chosenIcon) {
  if (options.icon) {
    chosenIcon = PreviewIcon{std::string(IconFile(*options.icon)), true};
    if (chosenIcon->bytes.empty()) {
      UsageError(IconMissingText(*options.icon));
      return false;
    }
  } else if (options.iconFile) {
    PictureIcon icon = IconFromImageFileByModule(*options.iconFile);
    if (!icon.error.empty()) {
      UsageError(icon.error);
      return false;
    }
    chosenIcon =
        PreviewIcon{std::move(icon.iconFile), true, std::move(icon.picture), *options.iconFile};
  }
  return true;
}

// The modern set from the chosen icon (from its picture, so an SVG keeps its drawing), or else
// from the icon in use: the root's own favicon.ico or the default one.
bool PrepareSet(const CliOptions& options, SiteState& state) {
  state.faviconSet = FaviconSet::kModern;
  if (options.remove) {
    return true;  // removing writes no file
  }
  if (const std::string error = PrepareModernSetByModule(state); !error.empty()) {
    UsageError(error);
    return false;
  }
  return true;
}

// The log must take the run's lines before any page is touched: a run the user asked to have
// recorded is not done unrecorded. Says on stderr why it can't and returns none then.
std::optional<ActivityLog> StartLog(const CliOptions& options) {
  // On the command line a bare name means the working folder, as everywhere else.
  std::optional<ActivityLog> log(
      options.logFile ? fs::absolute(*options.logFile).lexically_normal().string() : "");
  if (const std::string problem = LogFileProblem(log->FilePath()); !problem.empty()) {
    std::cerr << "tervando-cli: " << NothingChangedText(EscapeControlBytes(problem));
    log.reset();
  }
  return log;
}

void PrintList(const PageList& pages, bool null) {
  for (int row = 0; row < pages.Count(); ++row) {
    std::cout << PathEntry(std::string(pages.Path(row)), null);
  }
  std::cout << std::flush;
}

RunOptions RunOptionsFor(const CliOptions& options) {
  RunOptions run;
  run.checkAfterRun = false;  // what browsers will show is --check's to say
  run.edit.dryRun = options.dryRun;
  if (options.diff) {
    run.edit.describe = [](const std::string& path, std::string_view before,
                           std::string_view after) { return UnifiedDiff(path, before, after); };
  }
  return run;
}

// Every listed page, marked, as the scan found them: the run sorts them as --list prints them
// only when it has a page to commit or log.
RunRequest RequestFor(const CliOptions& options, const SiteState& state, const PageList& pages,
                      const std::optional<ActivityLog>& log) {
  RunRequest request;
  request.site = state;
  request.remove = options.remove;
  request.pages.reserve(static_cast<std::size_t>(pages.Count()));
  for (int row = 0; row < pages.Count(); ++row) {
    request.pages.emplace_back(pages.Path(row));
  }
  request.marks = std::make_shared<RowMarks>(std::vector<bool>(request.pages.size(), true));
  request.listOrder = [](const std::vector<std::string>& paths) {
    return CollatedOrder(std::vector<std::string_view>(paths.begin(), paths.end()));
  };
  request.options = RunOptionsFor(options);
  request.logFile = log ? log->FilePath() : std::string();
  return request;
}

// What did not get done, on stderr, and the exit status that goes with it.
int Report(TerminalHost& host, const SiteState& state, const StartResult& result) {
  if (result.webRootBusy || result.webRootMoved) {
    return kExitUsage;
  }
  if (result.run.failed > 0) {
    host.Warn(NotDoneCountText(result.run.failed));
  }
  const bool notPlaced =
      result.placed == PlaceResult::GaveUp || result.placed == PlaceResult::OverwriteDeclined;
  // The modern set is the chosen picture in every file or in none: not placed is not done.
  const bool setNotPlaced = notPlaced && state.faviconSet == FaviconSet::kModern;
  if (setNotPlaced) {
    host.Warn(SetNotPlacedText(result.placed == PlaceResult::OverwriteDeclined, state.webRoot));
  } else if (notPlaced) {
    host.Warn(FaviconNotWrittenText(result.placed == PlaceResult::OverwriteDeclined,
                                    state.webRoot + kFaviconFileName));
  }
  if (result.run.interrupted) {
    host.Warn(kInterruptedText);
  }
  return result.run.failed > 0 || result.run.interrupted || result.placed == PlaceResult::GaveUp ||
                 result.webRootMovedDuringRun || setNotPlaced || !host.LogKept()
             ? kExitFailed
             : kExitDone;
}

// The favicon run over every page of the web root, or with --list only the list of them.
int RunFavicon(const CliOptions& options, const CliSite& site) {
  std::optional<PreviewIcon> chosenIcon;
  if (!ChooseIcon(options, chosenIcon)) {
    return kExitUsage;
  }
  std::optional<ActivityLog> log;
  if (!options.noLog && !options.dryRun && !options.list) {
    log = StartLog(options);
    if (!log) {
      return kExitFailed;
    }
  }

  TerminalHost host(options, log ? &*log : nullptr);
  SiteState state;
  state.defaultIcon = DefaultIconFile();
  // An interrupt lets the pages already begun finish and be logged, then ends the run.
  const InterruptScope interrupts;
  PageList pages;
  ListPages(host, state, pages, site, options.list);
  host.WarnSkipped(options.list);
  if (pages.Count() == 0) {
    // Most likely a wrong extension list: nothing is written, and a run says it did nothing.
    host.Warn(NoPagesWrittenText(state.webRoot, site.options.pageExtensions));
    return options.list ? kExitDone : kExitFailed;
  }
  if (options.list) {
    PrintList(pages, options.null);
    return WebRootStillNamed(state) ? kExitDone : kExitFailed;
  }
  host.Say(ListedCountText(pages.Count()));
  if (chosenIcon) {
    state.preview = std::move(*chosenIcon);
  }
  state.switchOffForeignIcons = options.disableForeignIcons;
  if (options.modernSet && !PrepareSet(options, state)) {
    return kExitFailed;
  }
  if (options.dryRun && !options.remove && options.modernSet) {
    for (const SetFile* file : SetFilesToWrite(state)) {
      host.Say(WouldBeWrittenText(file->name, state.webRoot + file->name));
    }
  } else if (options.dryRun && !options.remove && state.preview.pending) {
    host.Say(WouldBeWrittenText(kFaviconFileName, state.webRoot + kFaviconFileName));
  }
  RunRequest request = RequestFor(options, state, pages, log);
  const StartResult result = Start(request, host, host);
  host.ClearProgress();
  return Report(host, state, result);
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments) {
  const CliParse parse = ParseCliOptions(arguments);
  if (!parse.error.empty()) {
    return UsageError(parse.error);
  }
  const CliOptions& options = parse.options;
  if (options.help) {
    std::cout << CliUsage();
    return kExitDone;
  }
  if (options.version) {
    std::cout << "tervando-cli " << VersionText(1) << "\n";
    return kExitDone;
  }
  const CliSite site = SetUpWebRoot(options);
  if (site.folder.empty()) {
    return UsageError(NotAReadableFolderText(options.webRoot));
  }
  if (IsSystemFolder(site.folder)) {
    return UsageError(SystemFolderText(site.folder));
  }
  return options.check ? RunCheck(options, site) : RunFavicon(options, site);
}

}  // namespace tervando
