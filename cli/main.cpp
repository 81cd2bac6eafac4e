#include <clocale>
#include <csignal>
#include <string>
#include <vector>

#include "cli/cli_run.h"

int main(int argc, char** argv) {
  // Dates in the log follow the user's locale; everything else stays in the C locale.
  std::setlocale(LC_TIME, "");
  // A reader that stops early (| head) must not end a run halfway; output then just stops.
  std::signal(SIGPIPE, SIG_IGN);
  return tervando::RunCli(std::vector<std::string>(argv + 1, argv + argc));
}
