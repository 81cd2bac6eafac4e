#include "cli/cli_check.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "cli/cli_run.h"
#include "cli/cli_setup.h"
#include "cli/cli_site_check.h"
#include "cli/path_text.h"
#include "cli/terminal_host.h"
#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/messages.h"
#include "engine/messages_cli.h"
#include "engine/page_check.h"
#include "engine/page_file.h"
#include "engine/parallel.h"
#include "engine/site_check.h"
#include "engine/site_state.h"
#include "site/page_list.h"

namespace tervando {

namespace {

// Pages read at once: their waits for the disk overlap, as in the run.
constexpr int kCheckThreads = 8;
constexpr std::size_t kExamples = 3;

std::size_t PageCount(const PageList& pages) { return static_cast<std::size_t>(pages.Count()); }

std::string PathAt(const PageList& pages, std::size_t row) {
  return std::string(pages.Path(static_cast<int>(row)));
}

std::vector<PageCheck> CheckAll(const SiteState& state, const PageList& pages,
                                const IconBlockOptions& block) {
  std::vector<std::string> paths(PageCount(pages));
  for (std::size_t i = 0; i < paths.size(); ++i) {
    paths[i] = PathAt(pages, i);
  }
  return CheckPages(state.webRootFolder, state.webRoot, paths, block, BuildFaviconLinkPrefix(),
                    state.webRootDepth, kCheckThreads);
}

std::string Place(const std::string& page, const std::string& webRoot, int line) {
  // Below the root, a page is named from there; the header names the root.
  std::string place =
      TerminalLine(page.rfind(webRoot, 0) == 0 ? page.substr(webRoot.size()) : page);
  if (line > 0) {
    place += ':';
    place += std::to_string(line);
  }
  return place;
}

// One row of the table: how many pages, "!" when they need attention, what they are, and the
// first few of them with the line concerned.
struct ReportRow {
  std::size_t count = 0;
  std::vector<std::pair<std::size_t, int>> examples;  // page index, line

  void Add(std::size_t page, int line) {
    ++count;
    if (examples.size() < kExamples) {
      examples.emplace_back(page, line);
    }
  }
};

// A page counts once, for its class, for a <base href> that leads our links elsewhere or for a
// charset declaration our tags push out of the prescan's reach.
bool PageNeedsAttention(const PageCheck& check, bool remove) {
  return NeedsAttention(check.pageClass) || (!remove && check.baseLine > 0) ||
         check.charsetLine > 0;
}

std::string TextReport(const PageList& pages, const std::vector<PageCheck>& checks,
                       const std::string& webRoot, bool remove, bool modern,
                       const std::vector<SiteFinding>& findings) {
  if (pages.Count() == 0) {
    return NoPagesFoundText(TerminalLine(webRoot));
  }
  std::array<ReportRow, kPageClassCount> rows;
  ReportRow otherIconAfterRun;  // among the pages that would change
  ReportRow based;              // pages with a <base href>
  ReportRow lateCharset;        // pages whose charset declaration our tags push too far
  std::size_t attention = 0;
  for (std::size_t i = 0; i < checks.size(); ++i) {
    rows[static_cast<std::size_t>(checks[i].pageClass)].Add(i, checks[i].line);
    if (checks[i].otherIconLine > 0) {
      otherIconAfterRun.Add(i, checks[i].otherIconLine);
    }
    if (!remove && checks[i].baseLine > 0) {
      based.Add(i, checks[i].baseLine);
    }
    if (checks[i].charsetLine > 0) {
      lateCharset.Add(i, checks[i].charsetLine);
    }
    attention += PageNeedsAttention(checks[i], remove);
  }
  const std::size_t width = std::max<std::size_t>(6, std::to_string(PageCount(pages)).size());
  std::string report = CheckHeadingText(remove, PageCount(pages), TerminalLine(webRoot));
  const auto addRow = [&](const ReportRow& row, const char* marker, const std::string& label) {
    const std::string count = std::to_string(row.count);
    report += std::string(width - count.size() + 2, ' ') + count + marker + label + "\n";
    for (const auto& [page, line] : row.examples) {
      report += std::string(width + 8, ' ') + Place(PathAt(pages, page), webRoot, line) + "\n";
    }
  };
  for (int c = 0; c < kPageClassCount; ++c) {
    const auto pageClass = static_cast<PageClass>(c);
    const ReportRow& row = rows[static_cast<std::size_t>(c)];
    if (row.count > 0) {
      addRow(row, NeedsAttention(pageClass) ? "  ! " : "    ",
             PageClassLabel(pageClass, remove, modern));
    }
    if (pageClass == PageClass::kWouldChange && otherIconAfterRun.count > 0) {
      addRow(otherIconAfterRun, "    ", OtherIconAfterRunLabel(modern));
    }
  }
  if (based.count > 0) {
    addRow(based, "  ! ", kBaseHrefLabel);
  }
  if (lateCharset.count > 0) {
    addRow(lateCharset, "  ! ", LateCharsetLabel(kCharsetPrescanBytes));
  }
  if (!findings.empty()) {
    report += kSiteFindingsHeading;
    for (const SiteFinding& finding : findings) {
      report += std::string(finding.attention ? "  ! " : "    ") + finding.text + "\n";
    }
  }
  report += "\n";
  report += AttentionSummaryText(attention, PageCount(pages));
  return report;
}

std::string JsonReport(const PageList& pages, const std::vector<PageCheck>& checks) {
  std::string json = "[";
  for (std::size_t i = 0; i < PageCount(pages); ++i) {
    bool exact = true;
    json += i == 0 ? "\n" : ",\n";
    json += "{\"path\":" + JsonString(PathAt(pages, i), &exact);
    if (!exact) {
      // A name that is no UTF-8 can't be a JSON string as it is; its bytes say it exactly.
      json += ",\"path_hex\":\"" + HexBytes(PathAt(pages, i)) + "\"";
    }
    json += ",\"class\":\"";
    json += PageClassKey(checks[i].pageClass);
    json += "\",\"line\":";
    json += checks[i].line > 0 ? std::to_string(checks[i].line) : "null";
    if (checks[i].otherIconLine > 0) {
      json += ",\"other_icon_line\":" + std::to_string(checks[i].otherIconLine);
    }
    if (checks[i].baseLine > 0) {
      json += ",\"base_line\":" + std::to_string(checks[i].baseLine);
    }
    if (checks[i].charsetLine > 0) {
      json += ",\"charset_line\":" + std::to_string(checks[i].charsetLine);
    }
    json += "}";
  }
  json += pages.Count() == 0 ? "]\n" : "\n]\n";
  return json;
}

}  // namespace

int RunCheck(const CliOptions& options, const CliSite& site) {
  // The pages are the run's list, read without a progress line: the check's output is a report.
  CliOptions quiet = options;
  quiet.quiet = true;
  TerminalHost host(quiet, nullptr);
  SiteState state;
  PageList pages;
  ListPages(host, state, pages, site);
  const IconBlockOptions block =
      RunBlockOptions(LinksOfSet(options.modernSet ? FaviconSet::kModern : FaviconSet::kClassic,
                                 RootFileExists(state, kSvgIconFileName)),
                      options.disableForeignIcons, options.remove);
  const bool modern = block.LinksSetFiles();
  const std::vector<PageCheck> checks = CheckAll(state, pages, block);
  const std::vector<SiteFinding> findings = options.remove || pages.Count() == 0
                                                ? std::vector<SiteFinding>{}
                                                : CheckSiteFiles(state, modern);
  const std::string report =
      options.json ? JsonReport(pages, checks)
                   : TextReport(pages, checks, state.webRoot, options.remove, modern, findings);
  if (options.json) {
    // The JSON holds one record per page; what the root's files show goes beside it.
    for (const SiteFinding& finding : findings) {
      std::cerr << (finding.attention ? "! " : "") << finding.text << "\n";
    }
  }
  std::cout << report << std::flush;
  if (!std::cout) {
    std::cerr << "tervando-cli: " << kOutputNotWritableText << "\n";
    return kExitUsage;
  }
  const bool attention = std::any_of(checks.begin(), checks.end(),
                                     [&](const PageCheck& check) {
                                       return PageNeedsAttention(check, options.remove);
                                     }) ||
                         std::any_of(findings.begin(), findings.end(),
                                     [](const SiteFinding& finding) { return finding.attention; });
  return attention || !WebRootStillNamed(state) ? kExitFailed : kExitDone;
}

}  // namespace tervando
