#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/cli_options.h"
#include "engine/message.h"
#include "engine/run_events.h"
#include "site/page_collection.h"
#include "support/write_log.h"

namespace tervando {

// A page's difference for a terminal: its text escaped line by line (EscapeControlBytes; tabs
// and line ends stay), so a page can't steer the terminal. Piped, the diff stays raw for patch.
std::string TerminalDiff(std::string_view difference);

// A path as one entry on stdout: escaped on a line of its own, or for scripts (--null) raw and
// ended by a NUL byte.
std::string PathEntry(const std::string& path, bool null);

// What tervando-cli shows of the scan and the run: a progress bar and the status text on stderr
// while stderr is a terminal, the questions answered from the options or asked on the
// terminal, changed pages (or their differences) on stdout, and the log written to `log` unless
// that is null (no log).
class TerminalHost : public RunEvents, public RunQuestions {
 public:
  TerminalHost(const CliOptions& options, ActivityLog* log);

  void Progress(int value, int maximum) override;
  void ShowStatus(const Status& status) override;
  // The count panel of the progress line: pages found so far.
  void SetStatusCount(int count);
  void Tell(const Notice& notice) override;
  bool GoOnAfterFailure(const PageFailure& failure) override;
  bool ConfirmFaviconOverwrite() override;
  bool ConfirmSetOverwrite(const std::vector<std::string>& names) override;
  bool RetryFaviconWrite(const ErrorInfo& errorInfo) override;
  void PageChanged(int number, const std::string& path, const std::string& difference) override;
  void LeftoversRemoved(int count) override;
  void Log(const std::string& line) override;

  // Puts the log on the disk; false when a line of it was lost (said on stderr once).
  bool LogKept();

  // What the scan passed over (its pages are not kept), for WarnSkipped.
  void KeepSkipped(ScanResult scan);
  // Warns of what the scan passed over, by cause; with `paths`, each path on a line of its own.
  void WarnSkipped(bool paths);

  // A line on stderr (the progress line is cleared first), unless quiet.
  void Say(const std::string& line);
  // A line on stderr that quiet does not hold back (failures, questions). Control bytes in
  // either are shown escaped: names from the site must not steer the terminal.
  void Warn(const std::string& line);
  // Results on stdout as they are; the progress line goes first when both share the terminal.
  void Print(const std::string& text);
  // Removes the progress line.
  void ClearProgress();

 private:
  bool ConfirmOverwrite(const Message& question);
  bool AnswerFromTerminal(const std::string& prompt, bool defaultYes);
  void WriteError(const std::string& text);
  void DrawProgress();
  void WarnLogLost();

  const CliOptions& m_options;
  ActivityLog* const m_log;
  const bool m_showProgress;
  const bool m_stdinIsTerminal;
  const bool m_stdoutIsTerminal;
  bool m_logLost = false;
  int m_maximum = 0;
  int m_value = 0;
  int m_count = 0;
  std::string m_status;
  ScanResult m_skipped;  // what the scan reported passing over
  bool m_progressShown = false;
  std::chrono::steady_clock::time_point m_lastDraw{};
};

}  // namespace tervando
