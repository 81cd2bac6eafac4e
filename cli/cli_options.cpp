#include "cli/cli_options.h"

#include <algorithm>
#include <map>
#include <string>

#include "cli/cli_option_table.h"
#include "engine/messages.h"
#include "engine/messages_cli.h"
#include "support/write_log.h"

namespace tervando {

namespace {

const CliOptionSpec* FindOption(const std::string& argument) {
  for (const CliOptionSpec& option : CliOptionTable()) {
    const bool isShort =
        argument.size() == 2 && option.shortName != 0 && argument[1] == option.shortName;
    if (isShort || (argument.size() > 2 && argument.compare(0, 2, "--") == 0 &&
                    std::string_view(argument).substr(2) == option.name)) {
      return &option;
    }
  }
  return nullptr;
}

// Reads the command line into the options, one argument after the other.
class CliParser {
 public:
  CliParser(const std::vector<std::string>& arguments, CliParse& parse)
      : m_arguments(arguments), m_parse(parse) {}

  // False at the first argument that is wrong; parse.error then says why.
  bool ReadAll() {
    for (m_next = 0; m_next < m_arguments.size();) {
      const std::string& argument = m_arguments[m_next++];
      if (m_optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
        m_positional.push_back(argument);
      } else if (argument == "--") {
        m_optionsEnded = true;
      } else if (!ReadOption(argument)) {
        return false;
      }
    }
    return true;
  }

  const std::vector<std::string>& Positional() const { return m_positional; }
  // The first option given that only --check takes; null when there is none.
  const CliOptionSpec* CheckOnlyOption() const { return m_checkOnly; }
  // Every option given, once each, in the order of their first appearance.
  const std::vector<const CliOptionSpec*>& Given() const { return m_given; }

 private:
  bool ReadOption(std::string argument) {
    std::optional<std::string> inlineValue;
    if (const std::size_t equals = argument.find('=');
        argument.rfind("--", 0) == 0 && equals != std::string::npos) {
      inlineValue = argument.substr(equals + 1);
      argument.resize(equals);
    }
    const CliOptionSpec* option = FindOption(argument);
    if (option == nullptr) {
      return Fail(UnknownOptionText(argument));
    }
    if (option->section == CliSection::kCheck && m_checkOnly == nullptr) {
      m_checkOnly = option;
    }
    const bool again = std::find(m_given.begin(), m_given.end(), option) != m_given.end();
    if (!again) {
      m_given.push_back(option);
    }
    if (option->flag != nullptr) {
      if (inlineValue) {
        return Fail(OptionTakesNoValueText(argument));
      }
      m_parse.options.*(option->flag) = true;
      return true;
    }
    if (!inlineValue && m_next == m_arguments.size()) {
      return Fail(OptionNeedsValueText(argument));
    }
    const std::string& value = inlineValue ? *inlineValue : m_arguments[m_next++];
    const CliOptions before = m_parse.options;
    if (!Fail(option->store(m_parse.options, value))) {
      return false;
    }
    // Given again, an option must say the same: which of two values was meant is unknown.
    const std::string name = "--" + std::string(option->name);
    if (again && !(before == m_parse.options)) {
      return Fail(ConflictingValuesText(name, m_values[option], value));
    }
    m_values[option] = value;
    return true;
  }

  bool Fail(std::string error) {
    m_parse.error = std::move(error);
    return m_parse.error.empty();
  }

  const std::vector<std::string>& m_arguments;
  CliParse& m_parse;
  std::size_t m_next = 0;
  bool m_optionsEnded = false;
  std::vector<std::string> m_positional;
  const CliOptionSpec* m_checkOnly = nullptr;
  std::vector<const CliOptionSpec*> m_given;
  std::map<const CliOptionSpec*, std::string> m_values;  // as first given
};

// The first option given that the check refuses: it writes nothing and has its own output.
const char* RunOnlyOption(const CliOptions& o) {
  return o.list          ? "--list"
         : o.dryRun      ? "--dry-run"
         : o.diff        ? "--diff"
         : o.icon        ? "--icon"
         : o.iconFile    ? "--icon-file"
         : o.overwrite   ? "--overwrite"
         : o.stopOnError ? "--stop-on-error"
         : o.logFile     ? "--log"
                         : nullptr;
}

// What is wrong with options that each are fine alone; "" when they go together.
std::string CombinationError(const CliOptions& o, const CliParser& parser) {
  if (o.check && RunOnlyOption(o) != nullptr) {
    return CheckExcludesText(RunOnlyOption(o));
  }
  if (parser.CheckOnlyOption() != nullptr && !o.check) {
    return OnlyWithCheckText("--" + std::string(parser.CheckOnlyOption()->name));
  }
  const std::vector<const CliOptionSpec*>& given = parser.Given();
  for (std::size_t i = 0; i < given.size(); ++i) {
    for (std::size_t j = i + 1; j < given.size(); ++j) {
      if (OptionsExclude(*given[i], *given[j])) {
        return ExclusiveOptionsText("--" + std::string(given[i]->name),
                                    "--" + std::string(given[j]->name));
      }
    }
  }
  return {};
}

}  // namespace

std::string CliUsage() {
  return kCliUsageHead + CliOptionsHelp(DefaultLogFilePath()) + kCliUsageTail;
}

CliParse ParseCliOptions(const std::vector<std::string>& arguments) {
  CliParse parse;
  CliParser parser(arguments, parse);
  CliOptions& o = parse.options;
  if (!parser.ReadAll() || o.help || o.version) {
    return parse;
  }
  parse.error = CombinationError(o, parser);
  const std::vector<std::string>& positional = parser.Positional();
  if (!parse.error.empty()) {
    return parse;
  }
  if (positional.size() != 1) {
    parse.error = positional.empty() ? kWebRootMissingText : kOneWebRootOnlyText;
  } else {
    o.webRoot = positional.front();
  }
  return parse;
}

}  // namespace tervando
