#include "engine/favicon_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iterator>
#include <regex>
#include <thread>

#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/icon_block.h"
#include "engine/messages.h"
#include "engine/start.h"
#include "tests/engine/recording_run.h"
#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RecordingRun;
using test::ScratchFolder;

const std::string kUnderscores(40, '_');
constexpr char kPlain[] = "<html><head><title>t</title></head><body></body></html>";
constexpr char kPlainWithLink[] =
    "<html><head><link rel=\"SHORTCUT ICON\" href=\"./favicon.ico\"><title>t</title></head>"
    "<body></body></html>";
constexpr char kLinked[] =
    "<html><head><link rel=\"SHORTCUT ICON\" href=\"./favicon.ico\"><title>t</title></head></html>";

class FaviconRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.webRoot = root.Path();
    state.webRootDepth = CountOccurrences("/", root.Path(), 0);
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
  // Names in the root, so a stray temporary file shows up.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root.Path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  ScratchFolder root;
  SiteState state;
  RecordingRun host;
};

TEST_F(FaviconRunTest, EmptyListShowsTheMessageAndLogsNothing) {
  const FaviconRunResult result = host.Run(state);
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
  const FaviconRunResult result = host.Run(state);
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
  const FaviconRunResult result = host.Run(state);
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
  host.Run(state);
  EXPECT_EQ(host.EventsStartingWith("value "),
            (std::vector<std::string>{"value 0", "value 1", "value 3", "value 0"}));
}

TEST_F(FaviconRunTest, FailedPageAsksAndOkGoesOn) {
  const std::string a = root.Write("a.htm", kPlain);
  const std::string gone = root.Path() + "gone.htm";
  const std::string empty = root.Write("empty.htm", "");
  List({a, gone, empty});
  const FaviconRunResult result = host.Run(state);
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
  const FaviconRunResult result = host.Run(state);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.changed, 1);
  EXPECT_EQ(result.failed, 1);
  EXPECT_EQ(result.notReached, 1);  // a.htm
  EXPECT_EQ(host.logLines.back(), "Anzahl veränderter Dateien: 1");
  EXPECT_EQ(host.logLines[host.logLines.size() - 3], "1: " + c);
  EXPECT_EQ(ReadFile(a), kPlain);  // prepared ahead, then dropped
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.htm", "c.htm"}));
  EXPECT_EQ(host.events.back(), "status Ersetzen beendet: 1 Dateien verändert.");
  EXPECT_EQ(host.events[host.events.size() - 2], "value 0");
}

// b and a were prepared for insertion ahead of time; at their turn they are looked at again.
TEST_F(FaviconRunTest, MarksAndModeChangedDuringTheRunCountFromTheNextPage) {
  const std::pair<const char*, std::function<void(RecordingRun&)>> rows[] = {
      {"marks taken away",
       [](RecordingRun& h) {
         h.marks->SetMarked(0, false);
         h.marks->SetMarked(1, false);
       }},
      {"mode switched to remove", [](RecordingRun& h) { h.removeNow->store(true); }},
  };
  for (const auto& [name, change] : rows) {
    SCOPED_TRACE(name);
    const std::string a = root.Write("a.htm", kPlain);
    const std::string b = root.Write("b.htm", kPlain);
    const std::string c = root.Write("c.htm", kPlain);
    host.Pages().Clear();
    List({a, b, c});
    host.onPageChanged = [&, change = change](const std::string&) { change(host); };
    const FaviconRunResult result = host.Run(state);
    EXPECT_EQ(result.changed, 1);
    EXPECT_EQ(ReadFile(c), kPlainWithLink);
    EXPECT_EQ(ReadFile(b), kPlain);
    EXPECT_EQ(ReadFile(a), kPlain);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.htm", "b.htm", "c.htm"}));
  }
}

// Pages prepared ahead of their turn are dropped untouched when the run ends before it.
TEST_F(FaviconRunTest, EndingTheRunDropsWhatWasPreparedAhead) {
  struct Row {
    const char* name;
    std::function<void(RecordingRun&)> script;
    std::vector<std::string> changed;
    bool interrupted;
  };
  const Row rows[] = {
      {"every mark taken away",
       [](RecordingRun& h) {
         h.onPageChanged = [&h](auto&) {
           for (std::size_t row = 0; row < h.marks->Count(); ++row) h.marks->SetMarked(row, false);
         };
       },
       {"e"},
       false},
      {"stop asked",
       [](RecordingRun& h) { h.onPageChanged = [&h](auto&) { h.stop.request_stop(); }; },
       {"e"},
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchFolder site;
    RecordingRun h;
    for (const char* name : {"a", "b", "c", "d", "e"}) {
      h.InsertCheckedRowAtTop(site.Write(std::string(name) + ".htm", kPlain));
    }
    h.Pages().SetSortingEnabled(true);  // a at the top: the run goes e, d, c, ...
    row.script(h);
    SiteState s = state;
    s.webRoot = site.Path();
    s.webRootDepth = CountOccurrences("/", site.Path(), 0);
    const FaviconRunResult result = h.Run(s);
    std::vector<std::string> changed;
    for (const char* name : {"a", "b", "c", "d", "e"}) {
      if (ReadFile(site.Path() + name + ".htm") != kPlain) changed.insert(changed.begin(), name);
    }
    EXPECT_EQ(changed, row.changed);
    EXPECT_EQ(result.interrupted, row.interrupted);
    // An interrupted run's block says so after its count.
    std::vector<std::string> closing = {"Anzahl veränderter Dateien: " +
                                        std::to_string(changed.size())};
    if (row.interrupted) closing.push_back(RunInterruptedLogLine());
    EXPECT_EQ(std::vector<std::string>(h.logLines.end() - static_cast<long>(closing.size()),
                                       h.logLines.end()),
              closing);
    EXPECT_EQ(h.logLines.size(), 3 + changed.size() + closing.size());
    EXPECT_TRUE(h.questions.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(site.Path()), fs::directory_iterator{}), 5);
  }
}

// While a run works, another thread swaps parts of the site for links out of it. Whatever the
// timing, no file outside the root is read into a page or edited, and every page is either
// edited inside the root or reported as failed.
// The outside pages carry their own icon link: a check that read one would mark it.
TEST_F(FaviconRunTest, SiteSwappedForLinksDuringTheRunTouchesNothingOutside) {
  constexpr int kPages = 200;
  constexpr char kOutside[] =
      "<html><head><link rel=\"icon\" href=\"own.png\"><title>o</title></head></html>";
  // The root renamed away and a link to the outside folder put in its place.
  const auto swapRoot = [](const std::string& site, const std::string& outside) {
    fs::rename(site, site.substr(0, site.size() - 1) + ".old");
    fs::create_directory_symlink(outside, site.substr(0, site.size() - 1));
  };
  struct Attack {
    const char* name;
    std::function<void(const std::string& site, const std::string& outside)> swap;
    bool beforeStart = false;  // swapped between the scan and Start
    bool rootMoved = false;    // Start says the root's path names another folder
  };
  const Attack attacks[] = {
      {"pages become links to outside files",
       [](const std::string& site, const std::string& outside) {
         // Where names can't be exchanged in one step, the run may put its page back between
         // the two steps here; the link is then not made.
         std::error_code raced;
         for (int i = kPages - 1; i >= 0; --i) {
           const std::string page = site + "sub/p" + std::to_string(i) + ".htm";
           fs::rename(page, page + ".old");
           fs::create_symlink(outside + "sub/p" + std::to_string(i) + ".htm", page, raced);
         }
       }},
      {"a folder becomes a link to an outside folder",
       [](const std::string& site, const std::string& outside) {
         fs::rename(site + "sub", site + "sub.old");
         fs::create_symlink(outside + "sub", site + "sub");
       }},
      {"the root becomes a link to an outside folder during the run", swapRoot, false, true},
      {"the root becomes a link to an outside folder before Start", swapRoot, true, true},
  };
  for (const Attack& attack : attacks) {
    SCOPED_TRACE(attack.name);
    ScratchFolder parent;
    const std::string site = parent.MakeFolder("site") + "/";
    ScratchFolder outside;
    RecordingRun h;
    for (int i = 0; i < kPages; ++i) {
      const std::string name = "sub/p" + std::to_string(i) + ".htm";
      outside.Write(name, kOutside);
      h.InsertCheckedRowAtTop(parent.Write("site/" + name, kPlain));
    }
    SiteState s = state;
    s.webRoot = site;
    s.webRootDepth = CountOccurrences("/", site, 0);
    s.webRootFolder = OpenWebRoot(site);  // as the scan opened it
    s.preview = {"icon", true};
    bool started = false;
    std::thread attacker;
    h.onProgress = [&] {
      if (!started) {
        started = true;
        attacker = std::thread(attack.swap, site, outside.Path());
      }
    };
    if (attack.beforeStart) {
      started = true;
      attack.swap(site, outside.Path());
    }
    RunRequest request = h.Request(s);
    const StartResult result = Start(request, h, h);
    if (attacker.joinable()) {
      attacker.join();
    }
    int touched = 0;
    for (const auto& entry : fs::recursive_directory_iterator(outside.Path())) {
      touched += entry.is_regular_file() && ReadFile(entry.path()) != kOutside ? 1 : 0;
    }
    EXPECT_EQ(touched, 0);
    EXPECT_EQ(result.counts.otherIcon, 0);  // the check after the run read no outside page
    EXPECT_EQ(result.webRootMoved, attack.beforeStart);
    EXPECT_EQ(result.webRootMovedDuringRun, attack.rootMoved && !attack.beforeStart);
    const int pages = attack.beforeStart ? 0 : kPages;
    EXPECT_EQ(result.run.changed + result.run.failed, pages);
    if (attack.rootMoved) {
      const std::string said = WebRootMovedText(site, !attack.beforeStart);
      EXPECT_NE(std::find(h.logLines.begin(), h.logLines.end(), said), h.logLines.end());
      EXPECT_TRUE(std::any_of(h.questions.begin(), h.questions.end(),
                              [&](const Message& shown) { return shown.text == said; }));
      EXPECT_EQ(ReadFile(parent.Path() + "site.old/sub/p0.htm") != kPlain, !attack.beforeStart);
      fs::remove(parent.Path() + "site");
    }
  }
}

// Whole runs over a varied site: every chain of sets, modes and the foreign-links option ends at
// the exact bytes its last step stands for, files of the set included.
TEST_F(FaviconRunTest, SetsAndModesRoundTripThroughWholeRuns) {
  const std::vector<std::pair<std::string, std::string>> corpus = {
      {"plain.htm", kPlain},
      {"linked.htm", kLinked},
      {"a/crlf.htm", "<HTML>\r\n<HEAD>\r\n<TITLE>t</TITLE>\r\n</HEAD>\r\n</HTML>\r\n"},
      {"a/b/own.htm",
       "<html><head><link rel=\"icon\" href=\"_static/py.svg\"><link rel=\"apple-touch-icon\" "
       "href=t.png><script>x('<link rel=icon>')</script></head><body></body></html>"},
      {"a/b/shortcut.htm",
       "<html><head><link rel=\"shortcut icon\" href=\"_static/py.svg\"></head></html>"},
      {"fragment.htm", "<p>no head</p>"},
  };
  struct Step {
    FaviconSet set;
    bool remove;
    bool switchOff;
  };
  const Step classic{FaviconSet::kClassic, false, false};
  const Step modern{FaviconSet::kModern, false, false};
  const Step modernOff{FaviconSet::kModern, false, true};
  const Step classicOff{FaviconSet::kClassic, false, true};
  const Step remove{FaviconSet::kClassic, true, false};
  const std::vector<std::vector<Step>> chains = {
      {classic, modern, classic}, {modern, remove},        {modernOff, remove},
      {classicOff, remove},       {modernOff, classicOff}, {modern, modernOff, remove},
  };
  state.setFiles = {{kFaviconFileName, "ico"},      {kSvgIconFileName, "<svg/>"},
                    {kAppleTouchIconFileName, "a"}, {kIcon192FileName, "b"},
                    {kIcon512FileName, "c"},        {kManifestFileName, "{}"}};
  std::vector<std::string> paths;
  for (const auto& [name, text] : corpus) {
    paths.push_back(root.Write(name, text));
  }
  List(paths);
  const auto run = [&](const Step& step) {
    state.faviconSet = step.set;
    state.switchOffForeignIcons = step.switchOff;
    host.removeMode = step.remove;
    state.preview = {"ico", true};
    return host.Run(state);
  };
  for (const std::vector<Step>& chain : chains) {
    for (std::size_t i = 0; i < corpus.size(); ++i) {
      root.Write(corpus[i].first, corpus[i].second);
    }
    for (const Step& step : chain) {
      run(step);
    }
    const Step& last = chain.back();
    for (std::size_t i = 0; i < corpus.size(); ++i) {
      // From the original page, the last step alone.
      IconBlockOptions block;
      block.links = LinksOfSet(last.set, true);
      block.foreign = last.switchOff ? ForeignIconLinks::kSwitchOff : ForeignIconLinks::kKeep;
      std::string expected = SetUnsetIconBlockInHtml(
          corpus[i].second, paths[i], block, std::string(kFaviconLinkPrefix), state.webRootDepth);
      if (last.remove) {
        // Removing leaves what it always left: the classic form without our reference.
        const std::string classicForm = SetUnsetIconBlockInHtml(
            corpus[i].second, paths[i], {}, std::string(kFaviconLinkPrefix), state.webRootDepth);
        expected = FindFaviconEdit(classicForm, paths[i], true, std::string(kFaviconLinkPrefix),
                                   state.webRootDepth)
                       .AppliedTo(classicForm);
      }
      EXPECT_EQ(ReadFile(paths[i]), expected) << corpus[i].first << " after " << chain.size();
    }
    EXPECT_EQ(run(last).changed, 0) << "a second run changes nothing";
  }
  // Pages without a link of their own come back byte for byte.
  EXPECT_EQ(ReadFile(paths[0]), kPlain);
  EXPECT_EQ(ReadFile(paths[3]), corpus[3].second);
  // The modern block one level down, and the page's own links switched off: the log names it.
  run(modernOff);
  EXPECT_EQ(ReadFile(paths[2]),
            "<HTML>\r\n<HEAD><link rel=\"SHORTCUT ICON\" href=\"../favicon.ico\" sizes=\"32x32\">"
            "<link rel=\"icon\" type=\"image/svg+xml\" href=\"../icon.svg\" data-tervando>"
            "<link rel=\"apple-touch-icon\" href=\"../apple-touch-icon.png\" data-tervando>"
            "<link rel=\"manifest\" href=\"../manifest.webmanifest\" data-tervando>\r\n"
            "<TITLE>t</TITLE>\r\n</HEAD>\r\n</HTML>\r\n");
  EXPECT_NE(std::find(host.logLines.begin(), host.logLines.end(),
                      "Fremde Icon-Verweise stillgelegt (2): " + paths[3]),
            host.logLines.end());
  run(remove);
  EXPECT_NE(std::find(host.logLines.begin(), host.logLines.end(),
                      "Fremde Icon-Verweise wiederhergestellt (2): " + paths[3]),
            host.logLines.end());
}

// The modern set's files: written when a new icon is chosen, asked for when they differ, kept
// when no icon is pending, and a second placing writes nothing.
TEST_F(FaviconRunTest, ModernSetFilesAreWrittenOnceAndAskedFor) {
  state.faviconSet = FaviconSet::kModern;
  state.setFiles = {{kFaviconFileName, "ico"}, {kManifestFileName, "{}"}};
  state.preview = {"ico", true};
  root.Write(kManifestFileName, "old");
  EXPECT_EQ(PlaceFaviconFile(host, state, false), PlaceResult::Written);
  EXPECT_EQ(host.questions.size(), 1u);  // the manifest differed; favicon.ico was new
  EXPECT_EQ(ReadFile(root.Path() + kFaviconFileName), "ico");
  EXPECT_EQ(ReadFile(root.Path() + kManifestFileName), "{}");
  EXPECT_EQ(PlaceFaviconFile(host, state, false), PlaceResult::NotNeeded);
  state.preview.pending = false;
  state.setFiles[1].bytes = "other";
  EXPECT_EQ(PlaceFaviconFile(host, state, false), PlaceResult::NotNeeded);
  EXPECT_EQ(Names(), (std::vector<std::string>{kFaviconFileName, kManifestFileName}));
}

// The end of Start: a warning only when something was left undone; the counts always, then the
// pages that need a look, with the plural each count needs.
TEST(FinishedText, SaysWhatWasDoneAndWarnsOnlyWhenSomethingWasLeftUndone) {
  const auto counts = [](int changed, int unchanged, int failed, int passedOver, int notReached,
                         bool stopped, int otherIcon, int attention, bool remove) {
    RunCounts c;
    c.changed = changed;
    c.unchanged = unchanged;
    c.failed = failed;
    c.passedOver = passedOver;
    c.notReached = notReached;
    c.stopped = stopped;
    c.otherIcon = otherIcon;
    c.attention = attention;
    c.remove = remove;
    return c;
  };
  const std::string zeros =
      "\rFehlgeschlagen: 0\rÜbergangen (außerhalb des Hauptverzeichnisses): "
      "0\rNicht erreicht: 0";
  const struct {
    RunCounts counts;
    std::string log;
    MessageIcon icon;
    std::string text;
  } rows[] = {
      {counts(0, 0, 0, 0, 0, false, 0, 0, false), "/l.log", MessageIcon::Information,
       "Fertig: Alle Eintragungen abgeschlossen.\r\rVerändert: 0\rUnverändert: 0" + zeros +
           "\r\rEinzelheiten stehen im Protokoll: /l.log"},
      {counts(0, 530, 0, 0, 0, false, 1, 1, false), "/l.log", MessageIcon::Information,
       "Fertig: Alle Eintragungen abgeschlossen.\r\rVerändert: 0\rUnverändert: 530" + zeros +
           "\r\rAuf 1 Seite zeigen Browser trotzdem ein anderes Icon: ein späterer Icon-Verweis "
           "der Seite geht vor.\r\r1 weitere Seite zeigt das Icon nicht (in der Liste markiert)."
           "\r\rEinzelheiten stehen im Protokoll: /l.log"},
      {counts(1, 0, 2, 0, 3, true, 0, 0, false), "/l.log", MessageIcon::Exclamation,
       "Abgebrochen: nicht alle Eintragungen wurden vorgenommen.\r\rVerändert: 1\rUnverändert: "
       "0\rFehlgeschlagen: 2\rÜbergangen (außerhalb des Hauptverzeichnisses): 0\rNicht erreicht: "
       "3\r\rEinzelheiten stehen im Protokoll: /l.log"},
      {counts(0, 4, 0, 1, 0, false, 2, 2, false), "", MessageIcon::Exclamation,
       "Fertig, aber nicht alle Eintragungen sind abgeschlossen.\r\rVerändert: 0\rUnverändert: "
       "4\rFehlgeschlagen: 0\rÜbergangen (außerhalb des Hauptverzeichnisses): 1\rNicht erreicht: "
       "0\r\rAuf 2 Seiten zeigen Browser trotzdem ein anderes Icon: ein späterer Icon-Verweis der "
       "Seite geht vor.\r\r2 weitere Seiten zeigen das Icon nicht (in der Liste markiert).\r\rEs "
       "wurde kein Protokoll geschrieben."},
      {counts(3, 1, 0, 0, 0, false, 0, 2, true), "/l.log", MessageIcon::Information,
       "Fertig: Alle Favicon-Verweise entfernt.\r\rVerändert: 3\rUnverändert: 1" + zeros +
           "\r\r2 Seiten brauchen einen Blick (in der Liste markiert).\r\rEinzelheiten stehen im "
           "Protokoll: /l.log"},
      {counts(0, 0, 1, 0, 0, false, 0, 0, true), "/l.log", MessageIcon::Exclamation,
       "Fertig, aber nicht alle Favicon-Verweise sind entfernt.\r\rVerändert: 0\rUnverändert: "
       "0\rFehlgeschlagen: 1\rÜbergangen (außerhalb des Hauptverzeichnisses): 0\rNicht erreicht: "
       "0\r\rEinzelheiten stehen im Protokoll: /l.log"},
      {counts(0, 0, 0, 0, 7, true, 0, 0, true), "/l.log", MessageIcon::Exclamation,
       "Abgebrochen: nicht alle Favicon-Verweise wurden entfernt.\r\rVerändert: 0\rUnverändert: "
       "0\rFehlgeschlagen: 0\rÜbergangen (außerhalb des Hauptverzeichnisses): 0\rNicht erreicht: "
       "7\r\rEinzelheiten stehen im Protokoll: /l.log"},
  };
  for (const auto& row : rows) {
    const Message message = NoticeMessage({NoticeKind::kFinished, row.log, row.counts});
    EXPECT_EQ(message.text, row.text);
    EXPECT_EQ(message.icon, row.icon) << row.text;
  }
}

TEST(LogDateTimeText, ShortDateBlankLongTime) {
  const std::string text = LogDateTimeText(std::time(nullptr));
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(\S+ \S+)"))) << text;
  EXPECT_NE(text.find(':'), std::string::npos);
}

}  // namespace
}  // namespace tervando
