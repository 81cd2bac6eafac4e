// The window on big sites, on the offscreen platform: the fill of 100,000 pages with names of
// their own beside `find -type f`, the re-sort of the filled list, and Start over 10,000 pages of
// 20 KB beside `find -exec sed -i` (each followed by sync, sed right after Start in every quiet
// round), and the opening of the icon dialog,
// for as many rounds as the first argument says. Also reports the longest time the window went
// without handling its events, which is what a user sees as a freeze: each round once on a quiet
// disk and once while another program writes and flushes the disk all the time.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/form1.h"
#include "icons/sel_icon_dialog.h"
#include "support/write_log.h"
#include "support_gui/scripted_desktop.h"

namespace fs = std::filesystem;
using namespace tervando;

namespace {

constexpr int kFillFolders = 10000;
constexpr int kFillPagesPerFolder = 10;
constexpr int kRunFolders = 100;
constexpr int kRunPagesPerFolder = 100;
constexpr std::size_t kRunPageBytes = 20480;

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "window_bench: command failed: %s\n", command.c_str());
    std::exit(1);
  }
}

std::string TwentyKilobytePage() {
  std::string page =
      "<html>\n<head>\n<title>Seite</title>\n<script>if (a < b) x();</script>\n</head>\n<body>\n";
  while (page.size() < kRunPageBytes - 20) {
    page += "<p>Lorem ipsum dolor sit amet, consectetur elit.</p>\n";
  }
  page.resize(kRunPageBytes - 16, ' ');
  page += "\n</body></html>\n";
  return page;
}

// With `distinctNames` every page gets a long name of its own (with an umlaut), so sorting the
// list collates 100,000 different names as a real site's would.
void MakeTree(const fs::path& root, int folders, int pagesPerFolder, const std::string& page,
              bool distinctNames) {
  char name[96];
  for (int f = 0; f < folders; ++f) {
    std::snprintf(name, sizeof name, "f%d/g%d", f / 100, f);
    const fs::path folder = root / name;
    fs::create_directories(folder);
    for (int p = 0; p < pagesPerFolder; ++p) {
      if (distinctNames) {
        std::snprintf(name, sizeof name, "Übersicht-der-Beiträge-zur-Geschichte-Teil-%07d.htm",
                      f * pagesPerFolder + p);
      } else {
        std::snprintf(name, sizeof name, "p%d.htm", p);
      }
      std::ofstream(folder / name, std::ios::binary) << page;
    }
  }
}

// Another program busy on the same disk while it lives: it writes 32 MiB and flushes the file
// system, again and again, so every flush of the run waits behind its writes.
class ConcurrentFlush {
 public:
  explicit ConcurrentFlush(const fs::path& file)
      : m_writer([file](std::stop_token stop) {
          const std::vector<char> block(1 << 20, 'x');
          while (!stop.stop_requested()) {
            const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            for (int i = 0; fd >= 0 && i < 32 && !stop.stop_requested(); ++i) {
              if (::write(fd, block.data(), block.size()) < 0) {
                break;
              }
            }
            if (fd >= 0) {
              ::syncfs(fd);
              ::close(fd);
            }
          }
          ::unlink(file.c_str());
        }) {}

 private:
  std::jthread m_writer;
};

// Handles the window's events until the work a click started is done.
void WaitUntilIdle(Form1& form) {
  if (!form.Busy()) {
    return;
  }
  QEventLoop loop;
  QObject::connect(&form, &Form1::WorkDone, &loop, &QEventLoop::quit);
  loop.exec();
}

// Runs `command` and waits for the window's work it starts.
void ClickAndWait(Form1& form, const std::function<void()>& command) {
  command();
  WaitUntilIdle(form);
}

// Measures the longest stretch without event handling while `work` runs.
class FreezeMeter {
 public:
  FreezeMeter() {
    m_timer.setInterval(1);
    QObject::connect(&m_timer, &QTimer::timeout,
                     [this] { m_longest = std::max(m_longest, m_sinceTick.restart()); });
  }
  double Run(const std::function<void()>& work, double* longestMs) {
    m_longest = 0;
    m_sinceTick.start();
    m_timer.start();
    const double seconds = Seconds(work);
    m_timer.stop();
    *longestMs = static_cast<double>(std::max(m_longest, m_sinceTick.elapsed()));
    return seconds;
  }

 private:
  QTimer m_timer;
  QElapsedTimer m_sinceTick;
  qint64 m_longest = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
  const fs::path work =
      fs::temp_directory_path() /
      ("tervando-window-bench-" + std::to_string(QCoreApplication::applicationPid()));
  fs::create_directories(work / "home");
  setenv("HOME", (work / "home").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (work / "home").c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QStandardPaths::setTestModeEnabled(true);
  QApplication application(argc, argv);
  testing::ScriptedDesktop desktop;  // every message takes its default button

  std::printf("building trees in %s ...\n", work.c_str());
  MakeTree(work / "fill", kFillFolders, kFillPagesPerFolder, "<html><head></head></html>\n", true);
  const std::string page = TwentyKilobytePage();
  MakeTree(work / "template", kRunFolders, kRunPagesPerFolder, page, false);
  Shell("sync");

  // Rounds of fill and Start: the first argument, 1 without one.
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
  FreezeMeter meter;
  ActivityLog log((work / "Application.log").string());  // removed with the trees
  Form1 form(desktop, log);
  form.FormLoad();

  // Opening the icon dialog: built, filled, shown and painted.
  const double dialogSeconds = Seconds([&] {
    SelIconDialog dialog(desktop, &form);
    dialog.show();
    QApplication::processEvents();
    dialog.close();
  });

  std::printf("opening the icon dialog:      %8.1f ms\n", dialogSeconds * 1000);

  // The fill, beside find over the same tree (both with a warm cache: find runs first), then
  // Start over 10,000 pages of 20 KB: as often as asked, on the same trees.
  const std::string fill = (work / "fill").string();
  const std::string site = (work / "site").string();
  const std::string fresh = "rm -rf '" + site + "' && cp -a '" + (work / "template").string() +
                            "' '" + site + "' && sync";
  const auto sedOverSite = [&] {
    Shell(fresh);
    return Seconds([&] {
      Shell("find '" + site +
            "' -type f -name '*.htm' -exec sed -i "
            "'s|<head>|<head><link rel=\"SHORTCUT ICON\" href=\"../../favicon.ico\">|' {} + && "
            "sync");
    });
  };
  double worstFreeze = 0;
  std::vector<double> ratios;  // Start beside sed, quiet rounds
  for (int round = 1; round <= rounds; ++round) {
    for (const bool flushing : {false, true}) {
      std::optional<ConcurrentFlush> flush;
      if (flushing) {
        flush.emplace(work / "flush.bin");
      }
      ClickAndWait(form, [&] { form.BtnClick(0); });
      const double find = Seconds([&] { Shell("find '" + fill + "' -type f > /dev/null"); });
      desktop.folder = fill;
      double fillFreeze = 0;
      const double fillSeconds =
          meter.Run([&] { ClickAndWait(form, [&] { form.BtnClick(4); }); }, &fillFreeze);
      const int rows = form.RowCount();
      double sortFreeze = 0;
      const double sortSeconds =
          meter.Run([&] { ClickAndWait(form, [&] { form.ListeColumnClick(1); }); }, &sortFreeze);

      form.BtnClick(0);
      Shell(fresh);
      desktop.folder = site;
      ClickAndWait(form, [&] { form.BtnClick(4); });
      // The sync that makes the comparison with sed fair runs after Start, outside the freeze:
      // it blocks whoever calls it, and the window never calls it.
      double runFreeze = 0;
      const double runSeconds =
          meter.Run([&] { ClickAndWait(form, [&] { form.BtnClick(8); }); }, &runFreeze) +
          Seconds([] { Shell("sync"); });
      worstFreeze = std::max({worstFreeze, fillFreeze, sortFreeze, runFreeze});
      std::printf(
          "round %d%s: fill of %d pages %6.0f ms (find -type f %5.0f ms, ratio %.2f), longest "
          "freeze %.0f ms; re-sort %4.0f ms, longest freeze %.0f ms; Start over %d pages + "
          "sync %6.0f ms, longest freeze %.0f ms\n",
          round, flushing ? " beside a disk flush" : "", rows, fillSeconds * 1000, find * 1000,
          fillSeconds / find, fillFreeze, sortSeconds * 1000, sortFreeze,
          kRunFolders * kRunPagesPerFolder, runSeconds * 1000, runFreeze);
      if (!flushing) {
        // sed right after, on the disk as Start found it: the disk's pace drifts over rounds.
        const double sedSeconds = sedOverSite();
        ratios.push_back(runSeconds / sedSeconds);
        std::printf("round %d: find -exec sed -i + sync %6.0f ms, ratio Start/sed %.2f\n", round,
                    sedSeconds * 1000, ratios.back());
      }
    }
  }
  std::sort(ratios.begin(), ratios.end());
  std::printf(
      "Start + sync beside find -exec sed -i + sync, median of %d quiet rounds: ratio %.2f "
      "(goal <= 0.50)\n"
      "longest freeze in %d rounds, quiet and beside a disk flush: %.0f ms (goal <= 33 ms)\n",
      rounds, ratios[ratios.size() / 2], rounds, worstFreeze);

  fs::remove_all(work);
  return 0;
}
