// The page list with 100,000 rows in the user's collation (LC_COLLATE from the environment):
// filling, the sort after a fill and the reverse of a header click, for three shapes of site,
// beside `sort -f` over the same paths (GNU sort, same locale, whole process). The window sorts
// on its event thread, so the sort is how long it stands still after a fill.
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "site/page_list.h"

using namespace tervando;

namespace {

constexpr int kRows = 100000;

double Milliseconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

std::vector<std::string> Paths(int shape) {
  std::vector<std::string> paths;
  char path[256];
  for (int i = 0; i < kRows; ++i) {
    const int n = (i * 7919) % kRows;  // found in no particular order
    if (shape == 0) {
      std::snprintf(path, sizeof path, "/home/anna/www/seite/f%d/g%d/p%d.htm", n / 1000, n / 10,
                    n % 10);
    } else if (shape == 1) {
      std::snprintf(path, sizeof path,
                    "/home/anna/www/seite/produkte/Kategorie-%d/Unterkategorie-%d/"
                    "Gartenmoebel-aus-Holz-%d.html",
                    n / 1000, n / 10, n);
    } else {
      std::snprintf(path, sizeof path,
                    "/home/anna/www/seite/archiv/Gartenm\xC3\xB6"
                    "bel-aus-Holz-Nummer-%d.html",
                    n);
    }
    paths.emplace_back(path);
  }
  return paths;
}

}  // namespace

int main() {
  std::setlocale(LC_COLLATE, "");
  const char* locale = std::setlocale(LC_COLLATE, nullptr);
  const char* shapes[] = {"folders, short names", "folders, long names", "one folder, long names"};
  std::printf("page list of %d rows, collation %s:\n", kRows, locale);
  for (int shape = 0; shape < 3; ++shape) {
    const std::vector<std::string> paths = Paths(shape);
    double fill = 1e9;
    double sortTime = 1e9;
    double reverse = 1e9;
    for (int round = 0; round < 3; ++round) {
      PageList list;
      fill = std::min(fill, Milliseconds([&] {
                        for (const std::string& path : paths) list.InsertMarkedAtTop(path);
                      }));
      sortTime = std::min(sortTime, Milliseconds([&] { list.SetSortingEnabled(true); }));
      reverse = std::min(reverse, Milliseconds([&] { list.SetSortOrder(SortOrder::Descending); }));
    }
    const std::string file = "/tmp/tervando-page-list-bench.txt";
    if (FILE* out = std::fopen(file.c_str(), "w")) {
      for (const std::string& path : paths) std::fprintf(out, "%s\n", path.c_str());
      std::fclose(out);
    }
    const std::string command =
        std::string("LC_ALL=") + locale + " sort -f " + file + " > /dev/null";
    double gnuSort = 1e9;
    for (int round = 0; round < 3; ++round) {
      gnuSort = std::min(gnuSort, Milliseconds([&] {
                           if (std::system(command.c_str()) != 0) std::exit(1);
                         }));
    }
    std::remove(file.c_str());
    std::printf(
        "  %-24s fill %6.1f ms  sort %6.1f ms (sort -f %6.1f ms, ratio %.2f)  reverse %5.2f ms\n",
        shapes[shape], fill, sortTime, gnuSort, sortTime / gnuSort, reverse);
  }
  return 0;
}
