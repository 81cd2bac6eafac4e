#include <clocale>
#include <csignal>
#include <string>
#include <vector>

#include "cli/cli_run.h"

int main(int argc, char** argv) {
  // Dates in the log and the system's failure descriptions follow the user's locale, as in the
  // window program. Page text is bytes and never goes through the locale.
  std::setlocale(LC_ALL, "");
  // A reader that stops early (| head) must not end a run halfway; output then just stops.
  std::signal(SIGPIPE, SIG_IGN);
  // A file over the size limit (ulimit -f) fails its write with EFBIG, which is reported for that
  // one file; the signal would end the run unlogged, leaving temporaries.
  std::signal(SIGXFSZ, SIG_IGN);
  return tervando::RunCli(std::vector<std::string>(argv + 1, argv + argc));
}
