#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/cli_options.h"

namespace tervando {

// Which mode of tervando-cli an option belongs to; the parser refuses the ones of the other.
enum class CliSection {
  kAny,    // both the run and --check
  kRun,    // the run only: --check writes nothing and has its own output
  kCheck,  // --check only
};

// One option of tervando-cli. The parser, --help and the manual page's OPTIONEN section are
// all made from the table of these, so an option is written down once.
struct CliOptionSpec {
  std::string_view name;      // without the leading "--"
  char shortName = 0;         // 0: none
  bool shortListed = true;    // false: accepted, but --help and the manual page don't show it
  std::string_view argument;  // the value's name in the help; empty for a switch
  std::string_view help;      // German; '\n' breaks --help lines; "{N}" is the icon count,
                              // "{LOG}" the log file in use
  std::string_view manual;    // troff for the manual page; empty: the help text as a sentence
  CliSection section = CliSection::kAny;
  bool CliOptions::*flag = nullptr;  // a switch sets this
  // A value option stores its value with this; returns what is wrong with it, or "".
  std::string (*store)(CliOptions& options, const std::string& value) = nullptr;
  // The options (names without "--", separated by blanks) that contradict this one; the
  // parser refuses them together, naming both, and the manual page says so at both.
  std::string_view excludes = {};
};

// True when one of the two options names the other as excluded.
bool OptionsExclude(const CliOptionSpec& first, const CliOptionSpec& second);

// Every option, in the order --help lists them.
std::span<const CliOptionSpec> CliOptionTable();

// The option lines of --help, each within 80 columns.
std::string CliOptionsHelp(const std::string& logFile);

// The manual page's OPTIONEN section (from ".SH OPTIONEN" on), in troff.
std::string CliOptionsManual();

}  // namespace tervando
