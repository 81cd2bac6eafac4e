#pragma once

#include <sys/types.h>

#include <functional>
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
// `whileRunning`, when given, is called with the child's process id right after the start.
ProcessResult RunTervandoCli(const std::vector<std::string>& arguments,
                             const std::function<void(pid_t)>& whileRunning = {});

}  // namespace tervando::test
