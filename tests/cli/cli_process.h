#pragma once

#include <string>
#include <vector>

namespace tervando::test {

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the built tervando-cli (from TERVANDO_BIN_DIR) with these arguments, standard input
// from /dev/null, and collects its exit code and both outputs.
ProcessResult RunTervandoCli(const std::vector<std::string>& arguments);

}  // namespace tervando::test
