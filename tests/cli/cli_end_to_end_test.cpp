#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <string_view>

#include "engine/web_root_lock.h"
#include "icons/ico_reader.h"
#include "icons/icon_catalogue.h"
#include "tests/cli/cli_process.h"
#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunTervandoCli;
using test::ScratchFolder;

constexpr char kIndex[] = "<html><head><title>Start</title></head><body>x</body></html>\n";
constexpr char kWithOldLink[] =
    "<html>\r\n<head>\r\n<link rel=\"shortcut icon\" href=\"/favicon.ico\" type=\"image/x-icon\">"
    "\r\n</head>\r\n</html>\r\n";
constexpr char kDeep[] =
    "<HTML><HEAD><script>if (a < b) document.write('<p>');</script>"
    "<title>Gr\xC3\xBC\xC3\x9F"
    "e \xE4</title></HEAD><body></body></HTML>";
constexpr char kNoHead[] = "<html><body>no head here</body></html>";

// A small web site with the usual oddities: a page carrying an old reference, a deep page,
// a page without head, an odd name, a dot folder, a _vti_ folder and a file that is no page.
class CliSite : public ::testing::Test {
 protected:
  void SetUp() override {
    root.Write("index.htm", kIndex);
    root.Write("sub/page.html", kWithOldLink);
    root.Write("sub/deeper/x.shtml", kDeep);
    root.Write("nohead.htm", kNoHead);
    root.Write("odd name \xC3\xA4.htm", kIndex);
    root.Write(".git/ignored.htm", kIndex);
    root.Write("_vti_cnf/index.htm", kIndex);
    root.Write("style.css", "body{}");
  }
  std::string P(const std::string& relative) const { return root.Path() + relative; }
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root.Path())) {
      if (entry.is_regular_file()) {
        files[entry.path().string()] = ReadFile(entry.path().string());
      }
    }
    return files;
  }
  std::vector<std::string> Lines(const std::string& text) const {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }
  ScratchFolder root;
  ScratchFolder logs;
};

TEST_F(CliSite, ListShowsThePagesInAscendingOrder) {
  const auto result = RunTervandoCli({"--list", "-q", root.Path()});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, P("index.htm") + "\n" + P("nohead.htm") + "\n" +
                            P("odd name \xC3\xA4.htm") + "\n" + P("sub/deeper/x.shtml") + "\n" +
                            P("sub/page.html") + "\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(CliSite, InsertRunEditsPagesWritesTheDefaultIconAndLogsTheBlock) {
  const std::string log = logs.Path() + "run.log";
  const auto result = RunTervandoCli({"--log", log, root.Path()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadFile(P("index.htm")),
            "<html><head><link rel=\"SHORTCUT ICON\" href=\"./favicon.ico\"><title>Start</title>"
            "</head><body>x</body></html>\n");
  EXPECT_EQ(ReadFile(P("sub/page.html")),
            "<html>\r\n<head>\r\n<link rel=\"SHORTCUT ICON\" href=\"../favicon.ico\">\r\n</head>"
            "\r\n</html>\r\n");
  EXPECT_EQ(ReadFile(P("sub/deeper/x.shtml")),
            "<HTML><HEAD><link rel=\"SHORTCUT ICON\" href=\"../../favicon.ico\"><script>if (a < b) "
            "document.write('<p>');</script><title>Gr\xC3\xBC\xC3\x9F"
            "e \xE4</title></HEAD>"
            "<body></body></HTML>");
  EXPECT_EQ(ReadFile(P("nohead.htm")), kNoHead);
  EXPECT_EQ(ReadFile(P(".git/ignored.htm")), kIndex);
  EXPECT_EQ(ReadFile(P("_vti_cnf/index.htm")), kIndex);
  EXPECT_EQ(ReadFile(P("favicon.ico")), std::string(DefaultIconFile()));

  // Processed from the last row of the ascending list to the first.
  const std::vector<std::string> changed = {P("sub/page.html"), P("sub/deeper/x.shtml"),
                                            P("odd name \xC3\xA4.htm"), P("index.htm")};
  EXPECT_EQ(Lines(result.out), changed);
  const std::string logText = ReadFile(log);
  std::vector<std::string> logLines;
  for (std::string line : Lines(logText)) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r');
    line.pop_back();
    logLines.push_back(line);
  }
  ASSERT_EQ(logLines.size(), 8u);
  EXPECT_EQ(logLines[0], std::string(40, '_'));
  EXPECT_TRUE(std::regex_match(logLines[1], std::regex(R"(\S+ \S+ Suchen&Ersetzen gestartet)")))
      << logLines[1];
  EXPECT_EQ(logLines[2], "Dateiliste:");
  for (std::size_t i = 0; i < changed.size(); ++i) {
    EXPECT_EQ(logLines[3 + i], std::to_string(i + 1) + ": " + changed[i]);
  }
  EXPECT_EQ(logLines[7], "Anzahl veränderter Dateien: 4");
  EXPECT_NE(result.err.find("Ersetzen beendet: 4 Dateien verändert.\n"), std::string::npos);
  EXPECT_NE(result.err.find("Fertig: Alle Eintragungen abgeschlossen.\n"), std::string::npos);
}

TEST_F(CliSite, SecondRunChangesNothing) {
  ASSERT_EQ(RunTervandoCli({"--no-log", root.Path()}).exitCode, 0);
  const auto before = Snapshot();
  const auto second = RunTervandoCli({"--no-log", root.Path()});
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.out, "");
  EXPECT_NE(second.err.find("Ersetzen beendet: 0 Dateien verändert."), std::string::npos);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(CliSite, InsertThenRemoveGivesBackEveryPageThatHadNoReference) {
  const auto original = Snapshot();
  ASSERT_EQ(RunTervandoCli({"--no-log", "-q", root.Path()}).exitCode, 0);
  const auto removed = RunTervandoCli({"--no-log", "-q", "--remove", root.Path()});
  ASSERT_EQ(removed.exitCode, 0);
  for (const auto& [path, bytes] : original) {
    if (path == P("sub/page.html")) {
      continue;  // had a reference of its own before
    }
    EXPECT_EQ(ReadFile(path), bytes) << path;
  }
  // The old reference is gone, its line break stays; favicon.ico stays in remove mode.
  EXPECT_EQ(ReadFile(P("sub/page.html")), "<html>\r\n<head>\r\n\r\n</head>\r\n</html>\r\n");
  EXPECT_TRUE(fs::exists(P("favicon.ico")));
}

TEST_F(CliSite, DryRunWritesNothingAndNamesThePagesThatWouldChange) {
  const auto before = Snapshot();
  const std::string log = logs.Path() + "dry.log";
  const auto result = RunTervandoCli({"-n", "--log", log, root.Path()});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(Lines(result.out),
            (std::vector<std::string>{P("sub/page.html"), P("sub/deeper/x.shtml"),
                                      P("odd name \xC3\xA4.htm"), P("index.htm")}));
  EXPECT_EQ(Snapshot(), before);
  EXPECT_FALSE(fs::exists(P("favicon.ico")));
  EXPECT_FALSE(fs::exists(log));
}

TEST_F(CliSite, DiffShowsEachChangeAndPatchReproducesTheRun) {
  const auto dry = RunTervandoCli({"-n", "--diff", "-q", root.Path()});
  ASSERT_EQ(dry.exitCode, 0);
  EXPECT_NE(dry.out.find("--- " + P("index.htm") + "\t\n+++ " + P("index.htm") +
                         "\t\n@@ -1 +1 @@\n-<html><head><title>Start</title></head><body>x</body>"
                         "</html>\n+<html><head><link rel=\"SHORTCUT ICON\" href=\"./favicon.ico\">"
                         "<title>Start</title></head><body>x</body></html>\n"),
            std::string::npos)
      << dry.out;
  EXPECT_NE(dry.out.find("\\ No newline at end of file\n"), std::string::npos);  // x.shtml

  // The diff of the dry run, applied by patch to a copy, gives what the real run writes.
  ScratchFolder copy;
  fs::copy(root.Path(), copy.Path(), fs::copy_options::recursive);
  const std::string patchFile = logs.Path() + "changes.diff";
  {
    std::string rewritten = dry.out;
    for (std::size_t at; (at = rewritten.find(root.Path())) != std::string::npos;) {
      rewritten.replace(at, root.Path().size(), copy.Path());
    }
    std::ofstream(patchFile, std::ios::binary) << rewritten;
  }
  const auto real = RunTervandoCli({"--diff", "--no-log", "-q", root.Path()});
  ASSERT_EQ(real.exitCode, 0);
  EXPECT_EQ(real.out, dry.out);
  const std::string command = "patch -s -p0 -d / < '" + patchFile + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* page : {"index.htm", "sub/page.html", "sub/deeper/x.shtml"}) {
    EXPECT_EQ(ReadFile(copy.Path() + page), ReadFile(P(page))) << page;
  }
}

// A page's own bytes set no terminal title, write no clipboard, clear no screen and turn no
// reading order; piped, the diff stays exact for patch.
TEST(CliRun, DiffShowsPageTextEscapedOnATerminalOnly) {
  if (std::system("command -v script > /dev/null") != 0) {
    GTEST_SKIP() << "no script(1)";
  }
  ScratchFolder root;
  ScratchFolder logs;
  const std::string hostile = "\x1B]0;pwned\x07\x1B]52;c;SGk=\x07\x1B[2J\xE2\x80\xAE";
  root.Write("index.htm", "<html><head>\t" + hostile + "</head></html>\n");
  const auto piped = RunTervandoCli({"-n", "--diff", "-q", root.Path()});
  EXPECT_NE(piped.out.find("+<html><head><link rel=\"SHORTCUT ICON\" href=\"./favicon.ico\">\t" +
                           hostile + "</head>"),
            std::string::npos)
      << piped.out;

  const std::string cli = std::string(std::getenv("TERVANDO_BIN_DIR")) + "/tervando-cli";
  const std::string screen = logs.Path() + "screen";
  const std::string command = "script -qec \"" + cli + " -n --diff -q " + root.Path() +
                              "\" /dev/null < /dev/null > " + screen;
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string shown = ReadFile(screen);
  EXPECT_NE(shown.find("-<html><head>\t\\x1B]0;pwned\\x07\\x1B]52;c;SGk=\\x07\\x1B[2J"
                       "\\xE2\\x80\\xAE</head></html>\r\n"),
            std::string::npos)
      << shown;
  EXPECT_EQ(shown.find_first_of("\x1B\x07"), std::string::npos);
  EXPECT_EQ(shown.find("\xE2\x80\xAE"), std::string::npos);
}

TEST_F(CliSite, IconThreeHundredIsWrittenByteForByte) {
  root.Write("favicon.ico", "old icon");
  const auto refused = RunTervandoCli({"--icon", "300", "--no-log", root.Path()});
  EXPECT_EQ(refused.exitCode, 0);  // no terminal to ask: the old file stays, pages are edited
  EXPECT_EQ(ReadFile(P("favicon.ico")), "old icon");
  EXPECT_NE(refused.err.find("FAVICON.ICO"), std::string::npos);
  EXPECT_NE(ReadFile(P("index.htm")), kIndex);

  // The replaced favicon.ico keeps what its ACL grants, where the file system has ACLs.
  const std::string acl = "setfacl -m u:nobody:r '" + P("favicon.ico") + "' 2>/dev/null";
  const bool withAcl = std::system(acl.c_str()) == 0;
  const std::string aclText = "getfacl -c '" + P("favicon.ico") + "' > '" + logs.Path() + "acl'";
  ASSERT_EQ(std::system(aclText.c_str()), 0);
  const std::string before = ReadFile(logs.Path() + "acl");
  const auto result = RunTervandoCli({"--icon", "300", "--overwrite", "--no-log", root.Path()});
  EXPECT_EQ(result.exitCode, 0);
  const std::string written = ReadFile(P("favicon.ico"));
  EXPECT_EQ(written.size(), 1078u);
  EXPECT_EQ(written, std::string(IconFile(300)));
  ASSERT_EQ(std::system(aclText.c_str()), 0);
  EXPECT_EQ(ReadFile(logs.Path() + "acl"), before);
  EXPECT_EQ(before.find("user:nobody:r--") != std::string::npos, withAcl) << before;

  // The modern set from another icon, its question unanswered: no file of it is written, so
  // the root never mixes two icons, and the run says so and fails.
  const auto mixed = RunTervandoCli({"--set", "modern", "--icon", "5", "--no-log", root.Path()});
  EXPECT_EQ(mixed.exitCode, 1);
  EXPECT_NE(mixed.err.find("Das gewählte Icon wurde nicht eingesetzt: die Dateien des "
                           "Favicon-Satzes blieben, wie sie waren: " +
                           root.Path() + "\n"),
            std::string::npos)
      << mixed.err;
  EXPECT_EQ(ReadFile(P("favicon.ico")), written);
  EXPECT_FALSE(fs::exists(P("icon.svg")));
}

TEST_F(CliSite, OverwriteQuestionIsAnsweredOnTheTerminal) {
  if (std::system("command -v script > /dev/null") != 0) {
    GTEST_SKIP() << "no script(1)";
  }
  root.Write("favicon.ico", "old icon");
  const std::string cli = std::string(std::getenv("TERVANDO_BIN_DIR")) + "/tervando-cli";
  const std::string screen = logs.Path() + "screen";
  auto answer = [&](const char* keys) {
    const std::string command = std::string("printf '") + keys + "' | script -qec \"" + cli +
                                " --icon 5 --no-log " + root.Path() + "\" /dev/null > " + screen;
    return std::system(command.c_str());
  };
  ASSERT_EQ(answer("n\\n"), 0);
  EXPECT_EQ(ReadFile(P("favicon.ico")), "old icon");
  EXPECT_NE(ReadFile(screen).find("[OK = j, Abbrechen = n]"), std::string::npos);
  ASSERT_EQ(answer("j\\n"), 0);
  EXPECT_EQ(ReadFile(P("favicon.ico")), std::string(IconFile(5)));
  // On a terminal the progress bar is drawn on one line and cleared again.
  const std::string shown = ReadFile(screen);
  EXPECT_NE(shown.find("\r[........................] "), std::string::npos);
  EXPECT_NE(shown.find("\r\033[K"), std::string::npos);
}

TEST_F(CliSite, IconFileIsCheckedAndWritten) {
  const std::string icon = logs.Write("mine.ico", std::string(IconFile(12)));
  EXPECT_EQ(RunTervandoCli({"--icon-file", icon, "--no-log", "-q", root.Path()}).exitCode, 0);
  EXPECT_EQ(ReadFile(P("favicon.ico")), std::string(IconFile(12)));
  const std::string index = ReadFile(P("index.htm"));
  const std::string png = logs.Write("fake.ico", "\x89PNG\r\n\x1a\n....................");
  const auto refused = RunTervandoCli({"--icon-file", png, "--overwrite", root.Path()});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.err.find("tervando-cli: Das Bild in der Datei \"" + png + "\" ist beschädigt"),
            std::string::npos);
  EXPECT_EQ(ReadFile(P("favicon.ico")), std::string(IconFile(12)));  // nothing written
  EXPECT_EQ(ReadFile(P("index.htm")), index);
}

// Unsets a variable of this process (and so of the programs it starts) for one scope.
class WithoutVariable {
 public:
  explicit WithoutVariable(const char* name) : m_name(name) {
    if (const char* value = std::getenv(name)) {
      m_value = value;
    }
    unsetenv(name);
  }
  ~WithoutVariable() {
    if (m_value) {
      setenv(m_name, m_value->c_str(), 1);
    }
  }

 private:
  const char* m_name;
  std::optional<std::string> m_value;
};

TEST_F(CliSite, PictureBecomesAnIconOfFourSizesWithoutADisplay) {
  const WithoutVariable display("DISPLAY");
  const WithoutVariable wayland("WAYLAND_DISPLAY");
  const WithoutVariable platform("QT_QPA_PLATFORM");
  QImage picture(90, 60, QImage::Format_ARGB32);
  picture.fill(QColor(0, 128, 255, 200));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(picture.save(&buffer, "PNG"));
  const std::vector<std::pair<std::string, std::string>> pictures = {
      {"some.png", png.toStdString()},
      {"some.svg",
       "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 30 20'><rect width='30' height='20'"
       " fill='navy'/><text x='2' y='15' fill='white'>Tv</text></svg>"},
  };
  for (const auto& [name, bytes] : pictures) {
    SCOPED_TRACE(name);
    const auto run = RunTervandoCli(
        {"--icon-file", logs.Write(name, bytes), "--overwrite", "--no-log", "-q", root.Path()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    const std::string written = ReadFile(P("favicon.ico"));
    const auto directory = ReadIcoDirectory(written);
    ASSERT_TRUE(directory);
    std::vector<int> sizes;
    for (const IcoDirEntry& entry : *directory) {
      sizes.push_back(entry.width);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 256}));
  }
}

TEST_F(CliSite, FailingPagesGiveExitOneAndStopOnErrorEndsAtTheFirst) {
  root.Write("a-empty.htm", "");
  root.Write("b-empty.htm", "");
  const auto goOn = RunTervandoCli({"--no-log", root.Path()});
  EXPECT_EQ(goOn.exitCode, 1);
  EXPECT_NE(goOn.err.find("Fehler bei Datei " + P("b-empty.htm") +
                          ": Index außerhalb des gültigen Bereichs [9]\n"),
            std::string::npos);
  EXPECT_NE(goOn.err.find("Fehler bei Datei " + P("a-empty.htm")), std::string::npos);
  EXPECT_NE(ReadFile(P("index.htm")), kIndex);
  EXPECT_NE(goOn.err.find("Nicht bearbeitet: 2 Dateien (siehe oben).\n"), std::string::npos);
  EXPECT_NE(goOn.err.find("Fertig, aber nicht alle Eintragungen sind abgeschlossen.\n\n"
                          "Verändert: 4\nUnverändert: 1\nFehlgeschlagen: 2\n"),
            std::string::npos);
  EXPECT_NE(goOn.err.find("\nEs wurde kein Protokoll geschrieben.\n"), std::string::npos);

  ScratchFolder other;
  other.Write("a-empty.htm", "");
  other.Write("b-empty.htm", "");
  other.Write("c.htm", kIndex);
  const auto stop = RunTervandoCli({"--no-log", "--stop-on-error", other.Path()});
  EXPECT_EQ(stop.exitCode, 1);
  EXPECT_NE(stop.err.find("Fehler bei Datei " + other.Path() + "b-empty.htm"), std::string::npos);
  EXPECT_EQ(stop.err.find("Fehler bei Datei " + other.Path() + "a-empty.htm"), std::string::npos);
  EXPECT_NE(ReadFile(other.Path() + "c.htm"), kIndex);  // the last row came first
  EXPECT_NE(stop.err.find("Ersetzen beendet: 1 Dateien verändert."), std::string::npos);
}

// A program that hangs fails the test instead of holding it: killed after 10 seconds.
void EndsWithin10Seconds(pid_t child) {
  for (int wait = 0; wait < 1000; ++wait) {
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == child) {
      return;
    }
    usleep(10000);
  }
  kill(child, SIGKILL);
  ADD_FAILURE() << "tervando-cli did not end within 10 seconds";
}

// A run that can't be recorded, or that would meet another run on the same site, touches nothing.
TEST_F(CliSite, RefusedRunsChangeNothing) {
  const auto before = Snapshot();
  struct Row {
    std::vector<std::string> arguments;
    bool holdLock;
    int exitCode;
    std::string says;
  };
  // Named pipes with and without a reader (`cat pipe > /dev/null &` leaves the second after
  // the first line), and a device.
  const std::string pipe = logs.Path() + "pipe";
  const std::string lonelyPipe = logs.Path() + "lonely pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(lonelyPipe.c_str(), 0600), 0);
  const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const Row rows[] = {
      {{"--log", logs.Path() + "missing/run.log", root.Path()},
       false,
       1,
       "lässt sich nicht schreiben"},
      {{"--log", pipe, root.Path()}, false, 1, "keine gewöhnliche Datei"},
      {{"--log", lonelyPipe, root.Path()}, false, 1, "keine gewöhnliche Datei"},
      {{"--log", "/dev/full", root.Path()}, false, 1, "keine gewöhnliche Datei"},
      {{"--no-log", root.Path()}, true, 2, "Ein anderer Lauf bearbeitet gerade diesen Ordner: "},
      {{"--no-log", P("sub")}, true, 2, "Ein anderer Lauf bearbeitet gerade diesen Ordner: "},
  };
  for (const Row& row : rows) {
    std::optional<WebRootLock> lock;
    if (row.holdLock) {
      lock.emplace(root.Path());
      ASSERT_FALSE(lock->Busy());
    }
    const auto result = RunTervandoCli(row.arguments, EndsWithin10Seconds);
    EXPECT_EQ(result.exitCode, row.exitCode) << row.arguments[1];
    EXPECT_NE(result.err.find(row.says), std::string::npos) << result.err;
    lock.reset();  // its lock file goes with it
    EXPECT_EQ(Snapshot(), before);
  }
  close(reader);
}

// What the scan passes over is said on stderr, and a run clears what an interrupted run left.
TEST_F(CliSite, SkippedEntriesAreReportedAndLeftoversRemoved) {
  ScratchFolder outside;
  const std::string conf = outside.Write("conf.txt", "secret");
  fs::create_symlink(conf, P("conf.htm"));
  fs::create_symlink(P("gone.htm"), P("dangling.htm"));
  const std::string leftover = root.Write("sub/.tervando-0123456789abcdef.tmp", "half a page");
  const auto list = RunTervandoCli({"--list", root.Path()});
  EXPECT_EQ(list.exitCode, 0);
  for (const std::string& line :
       {"Übersprungen: 1 Verknüpfung ohne Ziel\n  " + P("dangling.htm") + "\n",
        "Übersprungen: 1 Verknüpfung aus dem Hauptverzeichnis hinaus\n  " + P("conf.htm") + "\n",
        "Gefunden: 1 liegen gebliebene temporäre Datei\n  " + leftover + "\n"}) {
    EXPECT_NE(list.err.find(line), std::string::npos) << line << list.err;
  }
  EXPECT_EQ(list.out.find("conf.htm"), std::string::npos);
  EXPECT_TRUE(fs::exists(leftover));  // a scan alone removes nothing

  const auto run = RunTervandoCli({"--no-log", root.Path()});
  EXPECT_NE(run.err.find("Entfernt: 1 liegen gebliebene temporäre Datei\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(leftover));
  EXPECT_EQ(ReadFile(conf), "secret");

  // Root files that are links to private files outside are never read: --check prints nothing
  // of them, and the modern set is not made from them.
  const std::string secret = outside.Write("secret.json", R"({"icons": [{"src": "db_pw"}]})");
  fs::create_symlink(secret, P("manifest.webmanifest"));
  fs::remove(P("favicon.ico"));
  fs::create_symlink(conf, P("favicon.ico"));
  const auto check = RunTervandoCli({"--check", "--set", "modern", root.Path()});
  EXPECT_EQ((check.out + check.err).find("db_pw"), std::string::npos) << check.out;
  const auto modern = RunTervandoCli({"--no-log", "--set", "modern", root.Path()});
  EXPECT_NE(modern.err.find(std::string(kWalkLinkText) + ": " + P("favicon.ico")),
            std::string::npos)
      << modern.err;
  EXPECT_FALSE(fs::exists(P("icon-192.png")));

  // The temporaries of a run at work are no leftovers: the refused run neither names nor
  // removes them.
  const std::string live = root.Write("sub/.tervando-fedcba9876543210.tmp", "a page on its way");
  const WebRootLock running(root.Path());
  const auto refused = RunTervandoCli({"--no-log", root.Path()});
  EXPECT_NE((refused.out + refused.err).find("Ein anderer Lauf"), std::string::npos);
  EXPECT_EQ(refused.err.find("liegen gebliebene"), std::string::npos) << refused.err;
  EXPECT_TRUE(fs::exists(live));
}

TEST_F(CliSite, ExtensionsOptionReplacesTheList) {
  const auto result = RunTervandoCli({"--list", "--extensions", " SHTML , .css", root.Path()});
  EXPECT_EQ(result.out, P("style.css") + "\n" + P("sub/deeper/x.shtml") + "\n");
}

TEST_F(CliSite, CheckSaysWhatARunWouldDoAndWritesNothing) {
  const std::string odd = "bad\x01\xFF.htm";
  root.Write(odd, "<html><head lang=\"de\">\n</head></html>");
  root.Write("sub/icon.htm", "<html><head>\n<link rel=\"icon\" href=\"logo.png\"></head></html>");
  const auto before = Snapshot();
  const auto first = RunTervandoCli({"--check", root.Path()});
  EXPECT_EQ(first.exitCode, 1);
  EXPECT_EQ(first.out,
            "Prüfung für \"einsetzen / auffrischen\": 7 Seiten unter " + root.Path() +
                "\n\n"
                "       5  ! würde geändert (Verweis eingesetzt oder aufgefrischt)\n"
                "              index.htm:1\n"
                "              odd name \xC3\xA4.htm:1\n"
                "              sub/deeper/x.shtml:1\n"
                "       1    davon: danach bliebe ein anderer Icon-Verweis, den Browser vorziehen\n"
                "              sub/icon.htm:2\n"
                "       1    kein <head>-Tag (bleibt unverändert)\n"
                "              nohead.htm\n"
                "       1  ! <head> mit Attributen oder Leerzeichen (bleibt unverändert)\n"
                "              bad\\x01\\xFF.htm:1\n"
                "\n"
                "! 6 von 7 Seiten brauchen Aufmerksamkeit.\n");
  const auto record = [&](const std::string& path, const std::string& pageClass,
                          const std::string& line) {
    return "{\"path\":\"" + root.Path() + path + "\",\"class\":\"" + pageClass +
           "\",\"line\":" + line + "}";
  };
  EXPECT_NE(RunTervandoCli({"--check", "--format", "json", root.Path()})
                .out.find(record("sub/icon.htm", "would-change", "1,\"other_icon_line\":2")),
            std::string::npos);
  EXPECT_EQ(first.err, "");
  EXPECT_EQ(Snapshot(), before);

  // After a run: every page it could give the reference is up to date.
  ASSERT_EQ(RunTervandoCli({"--no-log", "-q", root.Path()}).exitCode, 0);
  const auto json = RunTervandoCli({"--check", "--format", "json", root.Path()});
  EXPECT_EQ(json.exitCode, 1);
  std::string hex;
  for (const unsigned char c : P(odd)) {
    hex += "0123456789abcdef"[c >> 4];
    hex += "0123456789abcdef"[c & 15];
  }
  EXPECT_EQ(json.out, "[\n{\"path\":\"" + root.Path() + "bad\\u0001\\ufffd.htm\",\"path_hex\":\"" +
                          hex + "\",\"class\":\"head-with-attributes\",\"line\":1},\n" +
                          record("index.htm", "up-to-date", "1") + ",\n" +
                          record("nohead.htm", "no-head", "null") + ",\n" +
                          record("odd name \xC3\xA4.htm", "up-to-date", "1") + ",\n" +
                          record("sub/deeper/x.shtml", "up-to-date", "1") + ",\n" +
                          record("sub/icon.htm", "other-icon", "2") + ",\n" +
                          record("sub/page.html", "up-to-date", "3") + "\n]\n");
  // What a script does with a name that is no UTF-8: path_hex gives back the file's bytes.
  const std::size_t hexAt = json.out.find("\"path_hex\":\"") + 12;
  std::string bytes;
  for (std::size_t i = hexAt; json.out[i] != '"'; i += 2) {
    bytes += static_cast<char>(std::stoi(json.out.substr(i, 2), nullptr, 16));
  }
  EXPECT_EQ(bytes, P(odd));
  EXPECT_TRUE(fs::exists(bytes));

  fs::remove(P(odd));
  fs::remove(P("sub/icon.htm"));
  const auto done = RunTervandoCli({"--check", root.Path()});
  EXPECT_EQ(done.exitCode, 0);
  EXPECT_NE(done.out.find("       4    bereits aktuell\n"), std::string::npos) << done.out;
  EXPECT_NE(done.out.find("Keine Seite braucht Aufmerksamkeit.\n"), std::string::npos);

  fs::remove(P("favicon.ico"));
  const auto missing = RunTervandoCli({"--check", root.Path()});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.out.find("       4  ! favicon.ico fehlt (der nächste Lauf legt es an)\n"),
            std::string::npos)
      << missing.out;
  const auto remove = RunTervandoCli({"--check", "-r", "--format=json", root.Path()});
  EXPECT_EQ(remove.exitCode, 1);
  EXPECT_NE(remove.out.find(record("sub/page.html", "would-change", "3")), std::string::npos);
  // The pages are the ones a run would take.
  EXPECT_EQ(RunTervandoCli({"--check", "--format=json", "--extensions", "shtml", root.Path()}).out,
            "[\n" + record("sub/deeper/x.shtml", "favicon-missing", "1") + "\n]\n");
  EXPECT_EQ(RunTervandoCli({"--check", "--format", "json", logs.Path()}).out, "[]\n");
}

// The modern set end to end: six files in the root, the block in every page at its depth, the
// page's own icon link switched off and named in the log, a second run and --check content, and
// removing gives every page back.
TEST_F(CliSite, ModernSetWritesSixFilesAndTheBlocks) {
  constexpr char kOwn[] =
      "<html><head><link rel=\"stylesheet\" href=\"s.css\"><link rel=\"icon\" "
      "href=\"_static/py.svg\"></head></html>";
  root.Write("sub/own.htm", kOwn);
  const auto original = Snapshot();
  const std::string log = logs.Path() + "run.log";
  const auto run = RunTervandoCli(
      {"--set", "modern", "--disable-foreign-icons", "--icon", "1", "--log", log, root.Path()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const char* name : {"favicon.ico", "icon.svg", "apple-touch-icon.png", "icon-192.png",
                           "icon-512.png", "manifest.webmanifest"}) {
    EXPECT_TRUE(fs::is_regular_file(P(name))) << name;
  }
  EXPECT_NE(ReadFile(P("manifest.webmanifest")).find("\"name\": \"Start\""), std::string::npos);
  const auto block = [](const std::string& up) {
    return "<link rel=\"SHORTCUT ICON\" href=\"" + up +
           "favicon.ico\" sizes=\"32x32\"><link rel=\"icon\" "
           "type=\"image/svg+xml\" href=\"" +
           up +
           "icon.svg\" data-tervando><link "
           "rel=\"apple-touch-icon\" href=\"" +
           up +
           "apple-touch-icon.png\" data-tervando><link "
           "rel=\"manifest\" href=\"" +
           up + "manifest.webmanifest\" data-tervando>";
  };
  EXPECT_EQ(ReadFile(P("index.htm")),
            "<html><head>" + block("./") + "<title>Start</title></head><body>x</body></html>\n");
  EXPECT_EQ(ReadFile(P("sub/own.htm")),
            "<html><head>" + block("../") +
                "<link rel=\"stylesheet\" href=\"s.css\"><link data-tervando-off-rel=\"icon\" "
                "href=\"_static/py.svg\"></head></html>");
  EXPECT_EQ(ReadFile(P("sub/deeper/x.shtml")).substr(0, 12 + block("../../").size()),
            "<HTML><HEAD>" + block("../../"));
  EXPECT_NE(ReadFile(log).find("Fremde Icon-Verweise stillgelegt (1): " + P("sub/own.htm")),
            std::string::npos);

  const auto done = Snapshot();
  EXPECT_EQ(
      RunTervandoCli({"--set", "modern", "--disable-foreign-icons", "--no-log", root.Path()}).out,
      "");
  EXPECT_EQ(Snapshot(), done);
  const auto check =
      RunTervandoCli({"--check", "--set", "modern", "--disable-foreign-icons", root.Path()});
  EXPECT_EQ(check.exitCode, 0) << check.out;
  EXPECT_NE(check.out.find("       5    bereits aktuell\n"), std::string::npos) << check.out;
  // Without the option the switched-off link stays off, so nothing would change either; the
  // classic set would take the extra tags away.
  EXPECT_EQ(RunTervandoCli({"--check", "--set", "modern", root.Path()}).exitCode, 0);
  EXPECT_NE(RunTervandoCli({"--check", root.Path()}).out.find("5  ! würde geändert"),
            std::string::npos);
  // A manifest browsers would not install is named, field by field.
  root.Write("manifest.webmanifest",
             R"({"name": "x", "icons": [{"src": "icon-192.png", "sizes": "192x192"}]})");
  const auto lacking = RunTervandoCli({"--check", "--set", "modern", root.Path()});
  EXPECT_EQ(lacking.exitCode, 1);
  for (const char* what : {"\"start_url\"", "\"display\" (minimal-ui, standalone oder fullscreen)",
                           "ein Icon mit \"sizes\": \"512x512\""}) {
    EXPECT_NE(lacking.out.find(std::string("  ! manifest.webmanifest ist so nicht als App "
                                           "installierbar: es fehlt ") +
                               what + ".\n"),
              std::string::npos)
        << lacking.out;
  }
  EXPECT_NE(lacking.out.find("    manifest.webmanifest nennt kein Icon mit \"purpose\""),
            std::string::npos);

  ASSERT_EQ(RunTervandoCli({"--no-log", "-q", "-r", root.Path()}).exitCode, 0);
  for (const auto& [path, bytes] : original) {
    if (path != P("sub/page.html")) {
      EXPECT_EQ(ReadFile(path), bytes) << path;
    }
  }
}

TEST(CliRun, ManyPagesAreLoggedInListOrderFromTheLastRow) {
  // A third of the pages carry the link already, so the run meets pages that stay as they are
  // before and between those it changes; enough pages for the run to read them on every core.
  // Run again, nothing changes.
  const std::string linked =
      "<html><head><link rel=\"SHORTCUT ICON\" href=\"../favicon.ico\"><title>Start</title>"
      "</head><body>x</body></html>\n";
  ScratchFolder root;
  ScratchFolder logs;
  std::vector<std::string> changing;
  for (int i = 0; i < 1200; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "d%02d/p%04d.htm", i % 7, i);
    const std::string page = root.Write(name, i % 3 == 0 ? linked : kIndex);
    if (i % 3 != 0) {
      changing.push_back(page);
    }
  }
  std::sort(changing.begin(), changing.end());
  const std::string log = logs.Path() + "many.log";
  const auto result = RunTervandoCli({"--log", log, "-q", root.Path()});
  ASSERT_EQ(result.exitCode, 0);
  const std::string logText = ReadFile(log);
  std::size_t at = logText.find("Dateiliste:\r\n");
  ASSERT_NE(at, std::string::npos);
  at += 13;
  std::string out;
  const int count = static_cast<int>(changing.size());
  for (int n = 1; n <= count; ++n) {
    const std::string& page = changing[static_cast<std::size_t>(count - n)];
    const std::string line = std::to_string(n) + ": " + page + "\r\n";
    ASSERT_EQ(logText.compare(at, line.size(), line), 0) << line;
    at += line.size();
    out += page + "\n";
    EXPECT_EQ(ReadFile(page), linked);
  }
  EXPECT_EQ(logText.substr(at), "Anzahl veränderter Dateien: 800\r\n");
  EXPECT_EQ(result.out, out);

  const auto again = RunTervandoCli({"--log", log, "-q", root.Path()});
  ASSERT_EQ(again.exitCode, 0);
  EXPECT_EQ(again.out, "");
  EXPECT_TRUE(ReadFile(log).ends_with("Dateiliste:\r\nAnzahl veränderter Dateien: 0\r\n"));
}

TEST(CliRun, APageUnderSeveralNamesIsEditedOnceUnderItsRealName) {
  // One page under twelve names (symbolic links): links are not followed, so the page is
  // edited once, at its own depth.
  ScratchFolder root;
  const std::string home = root.Write("home.htm", kIndex);
  root.MakeFolder("s");
  ASSERT_EQ(symlink("../home.htm", (root.Path() + "s/link.htm").c_str()), 0);
  for (int i = 0; i < 10; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "index%02d.htm", i);
    ASSERT_EQ(symlink("home.htm", (root.Path() + name).c_str()), 0);
  }
  const auto result = RunTervandoCli({"--no-log", "-q", root.Path()});
  ASSERT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, home + "\n");
  EXPECT_EQ(ReadFile(home),
            "<html><head><link rel=\"SHORTCUT ICON\" href=\"./favicon.ico\"><title>Start</title>"
            "</head><body>x</body></html>\n");
}

// Ctrl-C in the middle of a run: the pages already begun are finished and logged, no other
// page is touched, and the log's count matches the pages that carry the reference.
TEST(CliRun, InterruptFinishesBegunPagesAndLogsEveryWrittenOne) {
  ScratchFolder f;
  constexpr int kPages = 3000;
  char name[32];
  for (int i = 0; i < kPages; ++i) {
    std::snprintf(name, sizeof name, "d%d/p%d.htm", i % 30, i);
    f.Write(name, kIndex);
  }
  const std::string log = f.Path() + "run.log";
  const auto result = RunTervandoCli({"-q", "--log", log, f.Path()}, [&log](pid_t child) {
    // Interrupt once the run has logged its first pages (or give up waiting after 10 s).
    const auto logSoFar = [&log] {
      std::ifstream in(log, std::ios::binary);
      return std::string(std::istreambuf_iterator<char>(in), {});
    };
    for (int wait = 0; wait < 1000 && logSoFar().find("\n1: ") == std::string::npos; ++wait) {
      usleep(10000);
    }
    kill(child, SIGINT);
  });

  int carrying = 0;
  for (const auto& entry : fs::recursive_directory_iterator(f.Path())) {
    if (entry.path().extension() == ".htm" &&
        ReadFile(entry.path().string()).find("SHORTCUT ICON") != std::string::npos) {
      ++carrying;
    }
  }
  const std::string text = ReadFile(log);
  const std::regex numbered("\n[0-9]+: ");
  const auto logged = std::distance(std::sregex_iterator(text.begin(), text.end(), numbered),
                                    std::sregex_iterator());
  EXPECT_EQ(logged, carrying);
  EXPECT_NE(text.find("Anzahl veränderter Dateien: " + std::to_string(carrying) + "\r\n"),
            std::string::npos);
  // Pages not yet begun are no failures.
  EXPECT_EQ(text.find("Fehler bei Datei"), std::string::npos);
  if (carrying < kPages) {
    EXPECT_EQ(result.exitCode, 1);
    // The block says the run ended early, after its count.
    EXPECT_EQ(text.substr(text.rfind("Anzahl")),
              "Anzahl veränderter Dateien: " + std::to_string(carrying) +
                  "\r\nLauf abgebrochen: die übrigen Dateien blieben unverändert.\r\n"
                  "Zusammenfassung: verändert " +
                  std::to_string(carrying) +
                  ", unverändert 0, fehlgeschlagen 0, übergangen 0, nicht erreicht " +
                  std::to_string(kPages - carrying) + "\r\n");
  }
  // The log is the owner's alone, whatever the folder allows.
  struct stat status {};
  ASSERT_EQ(stat(log.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
}

// A log on a disk that fills up mid-run: the run goes on, the loss is said and gives exit 1,
// and the log holds whole lines only. A file size limit plays the full disk.
TEST(CliRun, ALogThatFillsUpMidRunIsReportedAndKeepsWholeLines) {
  ScratchFolder root;
  ScratchFolder logs;
  for (int i = 0; i < 100; ++i) {
    root.Write(std::to_string(i) + ".htm", kIndex);
  }
  constexpr std::size_t kLimit = 1024 * 1024;  // bash's ulimit -f counts KiB
  const std::string log = logs.Write("run.log", std::string(kLimit - 2000, 'x') + "\r\n");
  const std::string cli = std::string(std::getenv("TERVANDO_BIN_DIR")) + "/tervando-cli";
  const std::string command = "bash -c \"trap '' XFSZ; ulimit -f 1024; exec '" + cli +
                              "' -q --log '" + log + "' '" + root.Path() + "' > '" + logs.Path() +
                              "out' 2> '" + logs.Path() + "err'\"";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::string err = ReadFile(logs.Path() + "err");
  EXPECT_NE(err.find("Das Protokoll \"" + log + "\" lässt sich nicht schreiben ("),
            std::string::npos)
      << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 3) << err;  // said once
  const std::string text = ReadFile(log);
  EXPECT_GT(text.size(), kLimit - 1000);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  const std::string out = ReadFile(logs.Path() + "out");
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 100);  // every page changed
}

// What the system limits: the file size (ulimit -f: no signal ends the run), memory (a page too
// large to hold) and a read-only mount. Where a page, favicon.ico or the log meets the limit it
// fails with its own text; the other pages are edited, the log block closes, and no temporary
// file is left.
TEST(CliRun, SystemLimitsFailWhatMeetsThemAlone) {
  const bool canMount = ::geteuid() == 0 && std::system("unshare -m true 2>/dev/null") == 0;
  struct Row {
    const char* wrap;   // runs the shell
    const char* shell;  // before the run of $CLI over $R, logged to $L
    off_t size;         // of big.htm: its head tag, NUL bytes (a hole), then `end`
    const char* end;
    const char* says;
    int changed;
  };
  const Row rows[] = {
      {"", "ulimit -f 64", 100000, "", "Datei überschreitet die Grenze für Dateigrößen: ", 1},
      // A head that ends only after the hole must be read whole.
      {"", "ulimit -v 1500000", off_t{3} << 30, "</head>", "Datei zu groß zum Bearbeiten: ", 1},
      {"unshare -m", "mount --bind -o ro \"$R\" \"$R\" && \"$CLI\" -q --log \"$R/run.log\" \"$R\"",
       100, "", "Dateisystem ist nur zum Lesen eingehängt: ", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.shell);
    if (*row.wrap != '\0' && !canMount) {
      continue;  // a read-only mount needs root
    }
#if defined(__SANITIZE_ADDRESS__)
    if (std::string_view(row.shell).starts_with("ulimit -v")) {
      continue;  // the sanitizer's shadow memory alone is beyond any such limit
    }
#endif
    ScratchFolder root;
    ScratchFolder logs;
    root.Write("a.htm", kIndex);
    root.Write("favicon.ico", "old");
    const std::string big = root.Write("big.htm", *row.end != '\0' ? "<head>" : "<head></head>");
    ASSERT_EQ(truncate(big.c_str(), row.size), 0);
    std::ofstream(big, std::ios::app) << row.end;
    const std::string command = std::string("R='") + root.Path() + "' L='" + logs.Path() +
                                "run.log' CLI='" + std::getenv("TERVANDO_BIN_DIR") +
                                "/tervando-cli' " + row.wrap + " bash -c '" + row.shell +
                                "; exec \"$CLI\" --icon 3 --overwrite --log \"$L\" \"$R\"' > '" +
                                logs.Path() + "out' 2> '" + logs.Path() + "err'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string err = ReadFile(logs.Path() + "err");
    EXPECT_NE(err.find("Fehler bei Datei " + big + ": " + row.says + big), std::string::npos)
        << err;
    const std::string log = ReadFile(logs.Path() + "run.log");
    EXPECT_NE(log.find("Anzahl veränderter Dateien: " + std::to_string(row.changed) + "\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(ReadFile(root.Path() + "a.htm") == kIndex, row.changed == 0);
    for (const auto& entry : fs::directory_iterator(root.Path())) {
      EXPECT_NE(entry.path().filename().string().rfind(".tervando-", 0), 0u) << entry.path();
    }
    if (row.changed == 0) {
      EXPECT_EQ(ReadFile(root.Path() + "favicon.ico"), "old");
      EXPECT_NE(err.find("(Dateisystem ist nur zum Lesen eingehängt: " + root.Path() +
                         "favicon.ico: Read-only file system (Code 30))"),
                std::string::npos);
      EXPECT_NE(err.find("Das Protokoll \"" + root.Path() +
                         "run.log\" liegt auf einem nur zum Lesen eingehängten Dateisystem"),
                std::string::npos);
    }
  }
}

// A low limit of open files (ulimit -n) lets the run hold fewer pages at once; none fails.
TEST(CliRun, FewOpenFilesHoldFewerPagesAndFailNone) {
  ScratchFolder root;
  for (int i = 0; i < 300; ++i) {
    root.Write(std::to_string(i) + ".htm", kIndex);
  }
  const std::string cli = std::string(std::getenv("TERVANDO_BIN_DIR")) + "/tervando-cli";
  const std::string command =
      "bash -c 'ulimit -n 80; exec \"$0\" --no-log -q \"$1\"' '" + cli + "' '" + root.Path() + "'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  for (int i = 0; i < 300; ++i) {
    EXPECT_NE(ReadFile(root.Path() + std::to_string(i) + ".htm").find("SHORTCUT ICON"),
              std::string::npos)
        << i;
  }
}

// Names that would forge log lines or steer the terminal are shown escaped everywhere but in
// --null output, which scripts read raw.
TEST(CliRun, NamesWithControlBytesAreEscapedOnTheTerminalAndInTheLog) {
  ScratchFolder root;
  ScratchFolder logs;
  const std::string forged = root.Write("x\r\nFehler bei Datei forged\r\n9: forged.htm", "");
  const std::string clear = root.Write("\x1B[2Jclear.htm", kIndex);
  const std::string forgedShown = root.Path() + "x\\r\\nFehler bei Datei forged\\r\\n9: forged.htm";
  const std::string clearShown = root.Path() + "\\x1B[2Jclear.htm";

  EXPECT_EQ(RunTervandoCli({"--list", root.Path()}).out, clearShown + "\n" + forgedShown + "\n");
  EXPECT_EQ(RunTervandoCli({"--list", "-0", root.Path()}).out,
            clear + std::string(1, '\0') + forged + std::string(1, '\0'));

  const std::string log = logs.Path() + "run.log";
  const auto result = RunTervandoCli({"--log", log, root.Path()});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, clearShown + "\n");
  EXPECT_NE(result.err.find("Fehler bei Datei " + forgedShown + ": "), std::string::npos);
  EXPECT_EQ(result.err.find_first_of("\r\x1B"), std::string::npos);
  const std::string logText = ReadFile(log);
  EXPECT_NE(logText.find("Dateiliste:\r\nFehler bei Datei " + forgedShown + ": Index "),
            std::string::npos);
  EXPECT_NE(logText.find("\r\n1: " + clearShown + "\r\nAnzahl"), std::string::npos);
  EXPECT_EQ(std::count(logText.begin(), logText.end(), '\n'), 6);
}

TEST(CliUsage, BadCallsExitWithTwo) {
  ScratchFolder f;
  const std::string file = f.Write("file.htm", "x");
  const std::vector<std::vector<std::string>> calls = {
      {},
      {"--bogus", f.Path()},
      {f.Path() + "missing"},
      {file},
      {"--icon", "0", f.Path()},
      {"--icon", "512", f.Path()},
      {"--icon", "3x", f.Path()},
      {"--icon", "1", "--icon-file", file, f.Path()},
      {"--icon-file", f.Path() + "missing.ico", f.Path()},
      {f.Path(), f.Path()},
      {"--log"},
      {"--check", f.Path() + "missing"},
      {"--check", "--diff", f.Path()},
      {"--format", "json", f.Path()},
      {"--set", "classic", "--set", "modern", f.Path()},
      {"--dry-run", "/"},
      {"--list", "/usr/"},
      {"--check", "/usr/../etc"},
  };
  for (const auto& call : calls) {
    const auto result = RunTervandoCli(call);
    EXPECT_EQ(result.exitCode, 2) << (call.empty() ? "" : call[0]);
    EXPECT_NE(result.err.find("tervando-cli: "), std::string::npos);
    EXPECT_EQ(result.out, "");
  }
}

// Qt is in the picture plug-in alone, which the program opens when it reads or draws one.
TEST(CliUsage, LinksNoQtButItsPluginDoes) {
  for (const char* file : {"/tervando-cli", "/tervando-picture.so"}) {
    const std::string command =
        std::string("ldd ") + std::getenv("TERVANDO_BIN_DIR") + file + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string libraries;
    char chunk[4096];
    while (const std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe)) {
      libraries.append(chunk, got);
    }
    ASSERT_EQ(pclose(pipe), 0) << libraries;
    EXPECT_EQ(libraries.find("libQt6Gui") != std::string::npos,
              std::string_view(file) == "/tervando-picture.so")
        << libraries;
    EXPECT_EQ(libraries.find("Widgets"), std::string::npos) << libraries;
  }
}

TEST(CliUsage, VersionAndHelp) {
  EXPECT_EQ(RunTervandoCli({"--version"}).out, "tervando-cli 2.1.202\n");
  const auto help = RunTervandoCli({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--dry-run"), std::string::npos);
}

// A site without pages (or a wrong extension list) is said and left as it is.
TEST(CliUsage, NoPagesFoundWritesNothing) {
  ScratchFolder f;
  f.Write("page.htm", kIndex);
  const auto wrong = RunTervandoCli({"--no-log", "--extensions", "php", f.Path()});
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_EQ(wrong.err, "Keine Seiten mit den Endungen .php unter " + f.Path() +
                           " gefunden; es wurde nichts geschrieben.\n");
  EXPECT_EQ(RunTervandoCli({"--list", "--extensions=", f.Path()}).exitCode, 0);
  EXPECT_FALSE(fs::exists(f.Path() + "favicon.ico"));
  EXPECT_EQ(ReadFile(f.Path() + "page.htm"), kIndex);
}

}  // namespace
}  // namespace tervando
