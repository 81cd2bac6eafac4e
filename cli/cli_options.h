#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tervando {

struct CliOptions {
  std::string webRoot;
  bool remove = false;
  bool overwrite = false;
  bool stopOnError = false;
  bool dryRun = false;
  bool diff = false;
  bool list = false;
  bool null = false;  // paths on stdout raw, each ended by a NUL byte
  bool check = false;
  bool json = false;  // --format json: the check's records for scripts
  bool quiet = false;
  bool noLog = false;
  bool modernSet = false;            // --set modern
  bool disableForeignIcons = false;  // the page's own icon links switched off
  bool help = false;
  bool version = false;
  std::optional<std::string> iconFile;
  std::optional<int> icon;
  std::optional<std::string> extensions;
  std::optional<std::string> logFile;

  bool operator==(const CliOptions&) const = default;
};

struct CliParse {
  CliOptions options;
  std::string error;  // empty when the command line is usable
};

CliParse ParseCliOptions(const std::vector<std::string>& arguments);

// The text --help prints.
std::string CliUsage();

}  // namespace tervando
