#include <clocale>
#include <string>
#include <vector>

#include "cli/cli_run.h"

int main(int argc, char** argv) {
  // Dates in the log follow the user's locale; everything else stays in the C locale.
  std::setlocale(LC_TIME, "");
  return tervando::RunCli(std::vector<std::string>(argv + 1, argv + argc));
}
