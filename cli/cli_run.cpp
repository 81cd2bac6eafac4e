#include "cli/cli_run.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>
#include <utility>

#include "cli/cli_arguments.h"
#include "cli/cli_check.h"
#include "cli/cli_options.h"
#include "cli/terminal_host.h"
#include "cli/unified_diff.h"
#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/interrupt.h"
#include "engine/page_file.h"
#include "engine/start.h"
#include "icons/icon_catalogue.h"
#include "icons/image_to_icon.h"
#include "site/options.h"
#include "site/web_root.h"
#include "support/escape_control_bytes.h"
#include "support/version_text.h"
#include "support/write_log.h"

namespace tervando {

namespace {

namespace fs = std::filesystem;

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
  if (options.check) {
    return RunCheck(options);
  }

  const std::string webRoot = ReadableFolder(options.webRoot);
  if (webRoot.empty()) {
    return UsageError("\"" + options.webRoot + "\" ist kein lesbarer Ordner.");
  }
  std::optional<std::string> chosenIcon;
  if (options.icon) {
    chosenIcon = std::string(IconFile(*options.icon));
    if (chosenIcon->empty()) {
      return UsageError("Icon " + std::to_string(*options.icon) + " fehlt.");
    }
  } else if (options.iconFile) {
    IconFromImage icon = IconFromImageFile(*options.iconFile);
    if (!icon.error.empty()) {
      return UsageError(icon.error);
    }
    chosenIcon = std::move(icon.iconFile);
  }

  Options siteOptions = ReadOptions();
  if (options.extensions) {
    siteOptions.pageExtensions = ParseExtensions(*options.extensions);
  }
  std::optional<ActivityLog> log;
  if (!options.noLog && !options.dryRun && !options.list) {
    // On the command line a bare name means the working folder, as everywhere else. The log
    // must take the run's lines before any page is touched: a run the user asked to have
    // recorded is not done unrecorded.
    log.emplace(options.logFile ? fs::absolute(*options.logFile).lexically_normal().string() : "");
    if (const std::string problem = LogFileProblem(log->FilePath()); !problem.empty()) {
      std::cerr << "tervando-cli: " << EscapeControlBytes(problem)
                << "; es wurde nichts verändert.\n";
      return kExitFailed;
    }
  }

  TerminalHost host(options, log ? &*log : nullptr);
  SiteState state;
  state.faviconLinkPrefix = BuildFaviconLinkPrefix();
  // An interrupt lets the pages already begun finish and be logged, then ends the run.
  const InterruptScope interrupts;
  SelectWebRoot(host, state, siteOptions, webRoot);
  host.ClearProgress();
  host.WarnSkipped(options.list);
  if (options.list) {
    for (int row = 1; row <= host.RowCount(); ++row) {
      std::cout << PathEntry(host.RowText(row), options.null);
    }
    std::cout << std::flush;
    return kExitDone;
  }
  host.Say("Eintragung beendet (" + std::to_string(host.RowCount()) + " Dateien)");
  host.Pages().MarkAll(true);
  if (chosenIcon) {
    state.preview = {std::move(*chosenIcon), true};
  }
  if (options.dryRun && !options.remove && state.preview.pending) {
    host.Say("favicon.ico würde geschrieben: " + state.webRoot + kFaviconFileName);
  }

  RunOptions run;
  run.edit.dryRun = options.dryRun;
  if (options.diff) {
    run.edit.describe = [](const std::string& path, std::string_view before,
                           std::string_view after) { return UnifiedDiff(path, before, after); };
  }
  const StartResult result = Start(host, state, run);
  host.ClearProgress();
  if (result.webRootBusy) {
    return kExitUsage;
  }
  if (result.run.failed > 0) {
    host.Warn("Nicht bearbeitet: " + std::to_string(result.run.failed) +
              (result.run.failed == 1 ? " Datei" : " Dateien") + " (siehe oben).");
  }
  if (result.placed == PlaceResult::GaveUp || result.placed == PlaceResult::OverwriteDeclined) {
    host.Warn(std::string(result.placed == PlaceResult::GaveUp
                              ? "favicon.ico wurde nicht geschrieben: "
                              : "favicon.ico wurde nicht überschrieben: ") +
              state.webRoot + kFaviconFileName);
  }
  if (result.run.interrupted) {
    host.Warn("Abgebrochen: die begonnenen Dateien wurden fertig bearbeitet.");
  }
  const bool logKept = host.LogKept();
  return result.run.failed > 0 || result.run.interrupted || result.placed == PlaceResult::GaveUp ||
                 !logKept
             ? kExitFailed
             : kExitDone;
}

}  // namespace tervando
