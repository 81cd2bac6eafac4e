#include "engine/favicon_run.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>

#include "engine/head_editor.h"
#include "engine/yield.h"
#include "tests/site/fake_host.h"
#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

namespace fs = std::filesystem;
using test::FakeHost;
using test::ReadFile;
using test::ScratchFolder;

const std::string kUnderscores(40, '_');
constexpr char kPlain[] = "<html><head><title>t</title></head><body></body></html>";
constexpr char kLinked[] =
    "<html><head><link rel=\"SHORTCUT ICON\" href=\"./favicon.ico\"><title>t</title></head></html>";

class FaviconRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.webRoot = root.Path();
    state.webRootDepth = CountOccurrences("/", root.Path(), 0);
    state.faviconLinkPrefix = BuildFaviconLinkPrefix();
  }
  // Adds rows so that they stand in the list in the given order, top first.
  void List(const std::vector<std::string>& paths) {
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
      host.InsertCheckedRowAtTop(*it);
    }
  }
  // The log block without its date line, which is checked on its own.
  std::vector<std::string> LogWithoutDate() const {
    std::vector<std::string> lines = host.logLines;
    if (lines.size() > 1) {
      lines.erase(lines.begin() + 1);
    }
    return lines;
  }
  ScratchFolder root;
  SiteState state;
  FakeHost host;
};

TEST_F(FaviconRunTest, EmptyListShowsTheMessageAndLogsNothing) {
  const FaviconRunResult result = SetUnsetFaviconInFiles(host, state);
  EXPECT_TRUE(result.listEmpty);
  EXPECT_TRUE(host.logLines.empty());
  ASSERT_EQ(host.events, std::vector<std::string>{"ask"});
  EXPECT_EQ(host.questions[0].text,
            "Bitte legen Sie zunächst das Hauptverzeichnis Ihrer lokalen Web-Seiten fest.");
  EXPECT_EQ(host.questions[0].icon, MessageIcon::Critical);
  EXPECT_EQ(host.questions[0].buttons, MessageButtons::Ok);
}

TEST_F(FaviconRunTest, AllRowsUnmarkedStillLogsTheBlock) {
  List({root.Write("a.htm", kPlain), root.Write("b.htm", kPlain)});
  host.Pages().MarkAll(false);
  const std::time_t before = std::time(nullptr);
  const FaviconRunResult result = SetUnsetFaviconInFiles(host, state);
  const std::time_t after = std::time(nullptr);
  EXPECT_EQ(result.changed, 0);
  EXPECT_EQ(LogWithoutDate(), (std::vector<std::string>{
                                  kUnderscores, "Dateiliste:", "Anzahl veränderter Dateien: 0"}));
  ASSERT_EQ(host.logLines.size(), 4u);
  const std::string& dateLine = host.logLines[1];
  EXPECT_TRUE(dateLine == LogDateTimeText(before) + " Suchen&Ersetzen gestartet" ||
              dateLine == LogDateTimeText(after) + " Suchen&Ersetzen gestartet")
      << dateLine;
  EXPECT_EQ(host.events,
            (std::vector<std::string>{"range 0 2", "value 0", "status Bearbeitung läuft ...",
                                      "value 0", "status Ersetzen beendet: 0 Dateien verändert."}));
  EXPECT_EQ(ReadFile(root.Path() + "a.htm"), kPlain);
}

TEST_F(FaviconRunTest, ChangedPagesAreNumberedInReverseListOrder) {
  const std::string a = root.Write("a.htm", kPlain);
  const std::string b = root.Write("b.htm", kLinked);  // already right: not written
  const std::string c = root.Write("sub/c.htm", kPlain);
  List({a, b, c});
  const FaviconRunResult result = SetUnsetFaviconInFiles(host, state);
  EXPECT_EQ(result.changed, 2);
  EXPECT_EQ(result.failed, 0);
  EXPECT_EQ(LogWithoutDate(),
            (std::vector<std::string>{kUnderscores, "Dateiliste:", "1: " + c, "2: " + a,
                                      "Anzahl veränderter Dateien: 2"}));
  EXPECT_EQ(host.EventsStartingWith("value "),
            (std::vector<std::string>{"value 0", "value 0", "value 1", "value 2", "value 0"}));
  EXPECT_EQ(host.EventsStartingWith("status ").back(),
            "status Ersetzen beendet: 2 Dateien verändert.");
  EXPECT_EQ(ReadFile(c),
            "<html><head><link rel=\"SHORTCUT ICON\" href=\"../favicon.ico\"><title>t</title>"
            "</head><body></body></html>");
  EXPECT_EQ(ReadFile(b), kLinked);
}

TEST_F(FaviconRunTest, ProgressFollowsOnlyMarkedRows) {
  List({root.Write("a.htm", kPlain), root.Write("b.htm", kPlain), root.Write("c.htm", kPlain),
        root.Write("d.htm", kPlain)});
  host.Pages().SetMarked(1, false);  // b
  host.Pages().SetMarked(3, false);  // d
  SetUnsetFaviconInFiles(host, state);
  EXPECT_EQ(host.EventsStartingWith("value "),
            (std::vector<std::string>{"value 0", "value 1", "value 3", "value 0"}));
}

TEST_F(FaviconRunTest, FailedPageAsksAndOkGoesOn) {
  const std::string a = root.Write("a.htm", kPlain);
  const std::string gone = root.Path() + "gone.htm";
  const std::string empty = root.Write("empty.htm", "");
  List({a, gone, empty});
  const FaviconRunResult result = SetUnsetFaviconInFiles(host, state);
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.failed, 2);
  EXPECT_FALSE(result.stopped);
  ASSERT_EQ(host.questions.size(), 2u);
  const std::string emptyInfo = "Index außerhalb des gültigen Bereichs [9]";
  const std::string goneInfo =
      "Datei kann nicht geöffnet werden: " + gone + ": No such file or directory [2]";
  EXPECT_EQ(
      host.questions[0].text,
      "Folgende Datei liess sich nicht bearbeiten: \r\r" + empty + "\r\r(" + emptyInfo +
          ")\r\rKlicken Sie 'OK', um fortzusetzen oder 'Abbrechen' um die Aktion zu beenden.");
  EXPECT_EQ(host.questions[0].icon, MessageIcon::None);
  EXPECT_EQ(host.questions[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(host.questions[0].defaultAnswer, MessageAnswer::Ok);
  EXPECT_EQ(LogWithoutDate(),
            (std::vector<std::string>{kUnderscores,
                                      "Dateiliste:", "Fehler bei Datei " + empty + ": " + emptyInfo,
                                      "Fehler bei Datei " + gone + ": " + goneInfo, "1: " + a,
                                      "Anzahl veränderter Dateien: 1"}));
  EXPECT_EQ(ReadFile(empty), "");
  EXPECT_FALSE(fs::exists(gone));
}

TEST_F(FaviconRunTest, CancelAtAFailureEndsTheRunWithTheClosingCount) {
  const std::string a = root.Write("a.htm", kPlain);
  const std::string gone = root.Path() + "gone.htm";
  const std::string c = root.Write("c.htm", kPlain);
  List({a, gone, c});
  host.answers = {MessageAnswer::Cancel};
  const FaviconRunResult result = SetUnsetFaviconInFiles(host, state);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(host.logLines.back(), "Anzahl veränderter Dateien: 1");
  EXPECT_EQ(host.logLines[host.logLines.size() - 3], "1: " + c);
  EXPECT_EQ(ReadFile(a), kPlain);  // never reached
  EXPECT_EQ(host.events.back(), "status Ersetzen beendet: 1 Dateien verändert.");
  EXPECT_EQ(host.events[host.events.size() - 2], "value 0");
}

TEST_F(FaviconRunTest, RemoveFlagIsReadForEveryMarkedPage) {
  List({"/s/1.htm", "/s/2.htm", "/s/3.htm"});
  std::vector<std::string> calls;
  SetUnsetFaviconInFiles(host, [&](const std::string& path, bool remove) {
    calls.push_back(path + (remove ? " remove" : " insert"));
    host.removeMode = !host.removeMode;  // the user clicks the option pair meanwhile
    return false;
  });
  EXPECT_EQ(calls,
            (std::vector<std::string>{"/s/3.htm insert", "/s/2.htm remove", "/s/1.htm insert"}));
}

TEST_F(FaviconRunTest, YieldsOncePerRowAndSurvivesAListThatShrinks) {
  List({"/s/1.htm", "/s/2.htm", "/s/3.htm", "/s/4.htm"});
  std::vector<std::string> edited;
  int yields = 0;
  SetYieldHook([&] {
    if (++yields == 1) {
      host.Pages().Clear();  // "Liste löschen" during the run
    }
  });
  const FaviconRunResult result = SetUnsetFaviconInFiles(host, [&](const std::string& path, bool) {
    edited.push_back(path);
    return true;
  });
  SetYieldHook(nullptr);
  EXPECT_EQ(edited, std::vector<std::string>{"/s/4.htm"});
  EXPECT_EQ(yields, 4);
  EXPECT_EQ(result.changed, 1);
}

TEST(LogDateTimeText, ShortDateBlankLongTime) {
  const std::string text = LogDateTimeText(std::time(nullptr));
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(\S+ \S+)"))) << text;
  EXPECT_NE(text.find(':'), std::string::npos);
}

}  // namespace
}  // namespace tervando
