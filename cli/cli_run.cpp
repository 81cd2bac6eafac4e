#include "cli/cli_run.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <utility>

#include "cli/cli_options.h"
#include "cli/interrupt.h"
#include "cli/page_pipeline.h"
#include "cli/terminal_host.h"
#include "cli/unified_diff.h"
#include "engine/favicon_file.h"
#include "engine/favicon_run.h"
#include "engine/head_editor.h"
#include "engine/page_file.h"
#include "icons/icon_catalogue.h"
#include "icons/image_to_icon.h"
#include "site/options.h"
#include "site/web_root.h"
#include "support/version_text.h"
#include "support/write_log.h"

namespace tervando {

namespace {

namespace fs = std::filesystem;

int UsageError(const std::string& text) {
  std::cerr << "tervando-cli: " << text << "\n"
            << "Weitere Hinweise: tervando-cli --help\n";
  return kExitUsage;
}

// The folder as an absolute path without "." and ".." steps; empty when it is no folder that
// can be listed.
std::string ReadableFolder(const std::string& argument) {
  std::error_code error;
  const fs::path absolute = fs::absolute(argument, error).lexically_normal();
  if (error) {
    return {};
  }
  struct stat info {};
  if (stat(absolute.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return {};
  }
  DIR* dir = opendir(absolute.c_str());
  if (dir == nullptr) {
    return {};
  }
  closedir(dir);
  return absolute.string();
}

// Pages edited at once while the run goes on: their waits for the disk overlap. Together they
// hold at most a few megabytes of page text; a larger page is edited alone.
constexpr int kPageThreads = 8;
constexpr std::uint64_t kPageBytesInWork = std::uint64_t{8} << 20;

// What the run needs to know of a page before it is edited ahead: its size, and the file its
// name finally stands for (links followed), when it can be looked at.
struct PageFileInfo {
  std::uint64_t size = 0;
  std::optional<std::pair<std::uint64_t, std::uint64_t>> file;  // device, inode
};

PageFileInfo LookAtPage(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    return {};
  }
  return {static_cast<std::uint64_t>(info.st_size),
          std::pair<std::uint64_t, std::uint64_t>(info.st_dev, info.st_ino)};
}

// One page: the engine's read, edit and compare; the file replaced unless this is a dry run;
// the difference as a unified diff when asked for.
PageOutcome EditPage(const CliOptions& options, const SiteState& state,
                     const std::string& pagePath) {
  if (!options.dryRun && !options.diff) {
    return {SetUnsetFaviconInFile(pagePath, options.remove, state.faviconLinkPrefix,
                                  state.webRootDepth),
            {}};
  }
  const std::string original = ReadWholeFile(pagePath);
  const FaviconEdit edit = FindFaviconEdit(original, pagePath, options.remove,
                                           state.faviconLinkPrefix, state.webRootDepth);
  if (edit.LeavesUnchanged(original)) {
    return {};
  }
  if (!options.dryRun) {
    WriteFaviconEdit(pagePath, original, edit);
  }
  return {true,
          options.diff ? UnifiedDiff(pagePath, original, edit.AppliedTo(original)) : std::string()};
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

  ReadOptions();
  if (options.extensions) {
    SetPageExtensions(ParseExtensions(*options.extensions));
  }
  const bool logging = !options.noLog && !options.dryRun && !options.list;
  if (logging && options.logFile) {
    // On the command line a bare name means the working folder, as everywhere else.
    WriteLog("", fs::absolute(*options.logFile).lexically_normal().string(), true);
  }

  TerminalHost host(options, logging);
  SiteState state;
  state.faviconLinkPrefix = BuildFaviconLinkPrefix();
  host.SetPhase(TerminalHost::Phase::Scan);
  SelectWebRoot(host, state, webRoot);
  host.ClearProgress();
  if (options.list) {
    for (int row = 1; row <= host.RowCount(); ++row) {
      std::cout << host.RowText(row) << '\n';
    }
    std::cout << std::flush;
    return kExitDone;
  }
  host.Say("Eintragung beendet (" + std::to_string(host.RowCount()) + " Dateien)");
  host.Pages().MarkAll(true);
  if (chosenIcon) {
    state.preview = {std::move(*chosenIcon), true};
  }

  // Start: place favicon.ico, the run, the preview, the closing message.
  host.SetPhase(TerminalHost::Phase::Icon);
  PlaceResult placed = PlaceResult::NotNeeded;
  if (!options.dryRun) {
    placed = PlaceFaviconFile(host, state);
  } else if (!options.remove && state.preview.pending) {
    host.Say("favicon.ico würde geschrieben: " + state.webRoot + kFaviconFileName);
  }

  host.SetPhase(TerminalHost::Phase::Run);
  // Every row is marked and the mode is fixed, so the run's order is known in advance: last
  // row first. Stopping at the first failure must leave the later pages untouched, so then
  // nothing is edited ahead.
  std::vector<std::string> order;
  std::vector<std::uint64_t> sizes;
  const bool ahead = !options.stopOnError;
  if (ahead) {
    // A page listed under several names (symbolic links to one file) is edited name after name
    // when the run reaches each, so every name sees what the one before wrote, as in a run
    // without work ahead; only pages with a file of their own are edited ahead.
    std::vector<std::pair<std::string, PageFileInfo>> pages;
    std::map<std::pair<std::uint64_t, std::uint64_t>, int> names;
    for (int row = host.RowCount(); row >= 1; --row) {
      pages.emplace_back(host.RowText(row), LookAtPage(host.RowText(row)));
      if (pages.back().second.file) {
        ++names[*pages.back().second.file];
      }
    }
    for (auto& [path, info] : pages) {
      if (!info.file || names[*info.file] == 1) {
        order.push_back(std::move(path));
        sizes.push_back(info.size);
      }
    }
  }
  const PagePipeline::Limits limits =
      ahead ? PagePipeline::Limits{kPageThreads, 2 * kPageThreads, kPageBytesInWork}
            : PagePipeline::Limits{};
  // An interrupt lets the pages already begun finish and be logged, then ends the run.
  const InterruptScope interrupts;
  PagePipeline pipeline(
      std::move(order), std::move(sizes),
      [&options, &state](const std::string& pagePath) {
        return EditPage(options, state, pagePath);
      },
      limits, Interrupted);
  const FaviconRunResult result =
      SetUnsetFaviconInFiles(host, [&](const std::string& pagePath, bool) {
        const PageOutcome outcome = pipeline.Take(pagePath);
        if (outcome.changed) {
          host.Print(options.diff ? outcome.shown : pagePath + "\n");
        }
        return outcome.changed;
      });
  if (result.changed > 0 && !options.dryRun) {
    FlushFileSystem(state.webRoot);
  }
  host.ClearProgress();
  RefreshFaviconPreview(state);
  host.Say(FinishedMessage().text);

  return result.failed > 0 || placed == PlaceResult::GaveUp ? kExitFailed : kExitDone;
}

}  // namespace tervando
