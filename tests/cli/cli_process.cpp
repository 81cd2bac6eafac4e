#include "tests/cli/cli_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "tests/site/scratch_folder.h"

extern char** environ;

namespace tervando::test {

ProcessResult RunTervandoCli(const std::vector<std::string>& arguments,
                             const std::function<void(pid_t)>& whileRunning) {
  const char* binDir = std::getenv("TERVANDO_BIN_DIR");
  if (binDir == nullptr) {
    throw std::runtime_error("TERVANDO_BIN_DIR is not set");
  }
  const std::string program = std::string(binDir) + "/tervando-cli";
  ScratchFolder outputs;
  const std::string outPath = outputs.Path() + "out";
  const std::string errPath = outputs.Path() + "err";

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    throw std::runtime_error("cannot start " + program);
  }
  if (whileRunning) {
    whileRunning(child);
  }
  int status = 0;
  waitpid(child, &status, 0);

  ProcessResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

}  // namespace tervando::test
