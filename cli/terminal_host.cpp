#include "cli/terminal_host.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <utility>

#include "cli/path_text.h"
#include "engine/interrupt.h"
#include "engine/messages.h"
#include "engine/messages_cli.h"
#include "site/scan_warnings.h"
#include "support/escape_control_bytes.h"
#include "support/write_log.h"

namespace tervando {

namespace {

// Message texts break lines with single CRs; the terminal wants line feeds. Any other control
// byte comes from a name and is shown escaped (TerminalLine).
std::string TerminalLines(const std::string& text) {
  std::string lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\r', start);
    lines += TerminalLine(std::string_view(text).substr(start, end - start));
    if (end == std::string::npos) {
      return lines;
    }
    lines += '\n';
    start = end + 1;
  }
}

int TerminalWidth() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 20) {
    return size.ws_col;
  }
  return 80;
}

// Cuts UTF-8 text to at most `width` characters without splitting a character.
std::string CutToWidth(const std::string& text, std::size_t width) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > width) {
      return text.substr(0, i);
    }
  }
  return text;
}

}  // namespace

std::string TerminalDiff(std::string_view difference) {
  std::string shown;
  shown.reserve(difference.size());
  for (std::size_t start = 0; start < difference.size();) {
    const std::size_t end = std::min(difference.find_first_of("\t\n", start), difference.size());
    shown += EscapeControlBytes(difference.substr(start, end - start));
    if (end < difference.size()) {
      shown += difference[end];
    }
    start = end + 1;
  }
  return shown;
}

std::string PathEntry(const std::string& path, bool null) {
  return null ? path + '\0' : EscapeControlBytes(path) + '\n';
}

TerminalHost::TerminalHost(const CliOptions& options, ActivityLog* log)
    : m_options(options),
      m_log(log),
      m_showProgress(!options.quiet && isatty(STDERR_FILENO) == 1),
      m_stdinIsTerminal(isatty(STDIN_FILENO) == 1),
      m_stdoutIsTerminal(isatty(STDOUT_FILENO) == 1) {}

void TerminalHost::Progress(int value, int maximum) {
  m_value = value;
  m_maximum = maximum;
  DrawProgress();
}

void TerminalHost::ShowStatus(const Status& status) {
  m_status = StatusText(status);
  switch (status.kind) {
    case StatusKind::kFilling:
    case StatusKind::kFillDone:
      DrawProgress();  // the fill's texts only show in the bar
      break;
    case StatusKind::kRunning:
    case StatusKind::kRunDone:
      Say(m_status);
      break;
    case StatusKind::kFailed:
      Warn(m_status);
      break;
  }
}

void TerminalHost::SetStatusCount(int count) {
  m_count = count;
  DrawProgress();
}

void TerminalHost::Tell(const Notice& notice) {
  const std::string text = TerminalLines(NoticeMessage(notice).text);
  if (notice.kind == NoticeKind::kFinished) {
    // What was not done is said also when quiet.
    if (!m_options.quiet || !notice.counts.AllHandled()) {
      WriteError(text);
    }
  } else {
    WriteError(text);
  }
}

bool TerminalHost::GoOnAfterFailure(const PageFailure& failure) {
  Warn(PageFailedLogLine(failure.path, PageErrorInfoText(failure.errorInfo)));
  return !m_options.stopOnError && !Interrupted();
}

bool TerminalHost::ConfirmFaviconOverwrite() { return ConfirmOverwrite(OverwriteFaviconMessage()); }

bool TerminalHost::ConfirmSetOverwrite(const std::vector<std::string>& names) {
  return ConfirmOverwrite(OverwriteSetFilesMessage(names));
}

bool TerminalHost::ConfirmOverwrite(const Message& question) {
  if (m_options.overwrite) {
    return true;
  }
  WriteError(TerminalLines(question.text));
  if (!m_stdinIsTerminal) {
    Warn(kNoInputOverwriteText);
    return false;
  }
  return AnswerFromTerminal(kOkCancelPrompt, true);
}

bool TerminalHost::RetryFaviconWrite(const ErrorInfo& errorInfo) {
  WriteError(TerminalLines(FaviconWriteFailedMessage(errorInfo).text));
  if (!m_stdinIsTerminal) {
    return false;
  }
  return AnswerFromTerminal(kYesNoPrompt, false);
}

void TerminalHost::PageChanged(int, const std::string& path, const std::string& difference) {
  if (m_options.diff) {
    Print(m_stdoutIsTerminal ? TerminalDiff(difference) : difference);
  } else {
    Print(PathEntry(path, m_options.null));
  }
}

void TerminalHost::KeepSkipped(ScanResult scan) {
  m_skipped = std::move(scan);
  m_skipped.pages = {};
}

void TerminalHost::WarnSkipped(bool paths) {
  for (const ScanWarning& warning : ScanWarnings(m_skipped)) {
    Warn(warning.text);
    if (paths) {
      for (const std::string& path : *warning.paths) {
        Warn("  " + path);
      }
    }
  }
}

void TerminalHost::LeftoversRemoved(int count) { Warn(RemovedLeftoversText(count)); }

void TerminalHost::Log(const std::string& line) {
  if (m_log != nullptr && !m_log->WriteLog(line)) {
    WarnLogLost();
  }
}

bool TerminalHost::LogKept() {
  if (m_log != nullptr && !m_log->SyncLog()) {
    WarnLogLost();
  }
  return !m_logLost;
}

void TerminalHost::WarnLogLost() {
  if (!m_logLost) {
    m_logLost = true;
    WriteError(TerminalLines(LogFailedMessage(m_log->Failure()).text));
  }
}

void TerminalHost::Say(const std::string& line) {
  if (m_options.quiet) {
    return;
  }
  Warn(line);
}

void TerminalHost::Warn(const std::string& line) { WriteError(EscapeControlBytes(line)); }

void TerminalHost::WriteError(const std::string& text) {
  ClearProgress();
  std::cerr << text << '\n' << std::flush;
}

void TerminalHost::Print(const std::string& text) {
  ClearProgress();
  std::cout << text << std::flush;
}

void TerminalHost::ClearProgress() {
  if (!m_progressShown) {
    return;
  }
  std::cerr << "\r\033[K" << std::flush;
  m_progressShown = false;
}

bool TerminalHost::AnswerFromTerminal(const std::string& prompt, bool defaultYes) {
  std::cerr << prompt << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) {
    return defaultYes;
  }
  if (answer.empty()) {
    return defaultYes;
  }
  const char first = static_cast<char>(answer[0] | 0x20);
  if (first == 'j' || first == 'y' || first == 'o') {
    return true;
  }
  if (first == 'n' || first == 'a') {
    return false;
  }
  return defaultYes;
}

void TerminalHost::DrawProgress() {
  if (!m_showProgress) {
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  if (m_progressShown && now - m_lastDraw < std::chrono::milliseconds(80)) {
    return;
  }
  m_lastDraw = now;
  const double fraction =
      m_maximum > 0 ? std::clamp(static_cast<double>(m_value) / m_maximum, 0.0, 1.0) : 0.0;
  constexpr int kBarWidth = 24;
  const int filled = static_cast<int>(std::lround(fraction * kBarWidth));
  std::string line = "[";
  line.append(static_cast<std::size_t>(filled), '#');
  line.append(static_cast<std::size_t>(kBarWidth - filled), '.');
  line += "] ";
  line += FileCountText(m_count);
  line += "  ";
  line += EscapeControlBytes(m_status);
  std::cerr << "\r" << CutToWidth(line, static_cast<std::size_t>(TerminalWidth() - 1)) << "\033[K"
            << std::flush;
  m_progressShown = true;
}

}  // namespace tervando
