// Writes tervando-cli's manual page: the template with its OPTIONEN section made from the
// option table, so the options are written down once, for the parser, --help and the page.
// Usage: tervando_cli_man_page TEMPLATE OUTPUT
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "cli/cli_option_table.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: tervando_cli_man_page TEMPLATE OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream page;
  page << in.rdbuf();
  const std::string marker = "%OPTIONEN%\n";
  std::string text = page.str();
  const std::size_t at = text.find(marker);
  if (!in || at == std::string::npos) {
    std::cerr << "tervando_cli_man_page: no " << marker << " line in " << argv[1] << "\n";
    return 1;
  }
  text.replace(at, marker.size(), tervando::CliOptionsManual());
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << text;
  return out.flush() ? 0 : 1;
}
