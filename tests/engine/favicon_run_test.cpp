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

// A file of the site as "name text"; the text by its short name below, as it is, or "-> target"
// for a link.
using Files = std::vector<std::string>;
using Record = std::vector<std::string>;
const std::pair<const char*, std::string> kTextNames[] = {
    {"plain", kPlain},
    {"plain+link", kPlainWithLink},
    {"plain+link below",
     "<html><head><link rel=\"SHORTCUT ICON\" href=\"../favicon.ico\">"
     "<title>t</title></head><body></body></html>"},
    {"linked", kLinked},
    {"empty", ""}};

// Writes `files` below `folder`.
void WriteFiles(const ScratchFolder& folder, const Files& files) {
  for (const std::string& file : files) {
    const std::string name = file.substr(0, file.find(' '));
    std::string text = file.substr(name.size() + 1);
    if (text.rfind("-> ", 0) == 0) {
      fs::create_symlink(text.substr(3), folder.Path() + name);
      continue;
    }
    for (const auto& [shortName, bytes] : kTextNames) {
      if (text == shortName) text = bytes;
    }
    folder.Write(name, text);
  }
}

// Every file below `folder` by its name there, sorted.
Files FilesBelow(const std::string& folder) {
  Files files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::string text = entry.is_symlink()        ? "-> " + fs::read_symlink(entry.path()).string()
                       : entry.is_regular_file() ? ReadFile(entry.path())
                                                 : "";
    for (const auto& [shortName, bytes] : kTextNames) {
      if (text == bytes) text = shortName;
    }
    if (!entry.is_directory()) {
      files.push_back(entry.path().string().substr(folder.size()) + " " + text);
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The record of a run over `rows` rows: the log block's head and the bar at 0, the rows'
// turns, then the bar back at 0 and the count in the status and the log.
Record RunRecord(int rows, const Record& turns) {
  const auto changed =
      std::to_string(std::count_if(turns.begin(), turns.end(), [](const std::string& e) {
        return e.rfind("changed ", 0) == 0;
      }));
  Record record = {"log " + kUnderscores,
                   "log <date> Suchen&Ersetzen gestartet",
                   "log Dateiliste:",
                   "range 0 " + std::to_string(rows),
                   "value 0",
                   "status Bearbeitung läuft ..."};
  record.insert(record.end(), turns.begin(), turns.end());
  record.insert(record.end(),
                {"value 0", "status Ersetzen beendet: " + changed + " Dateien verändert.",
                 "log Anzahl veränderter Dateien: " + changed});
  return record;
}

// "&Start" through the seam only: the site's files, the list's rows and marks, the answers to
// the questions and what the user does while the run works go in; the ordered record of what
// the front end is told and asked, and the site afterwards, come out. Paths in the record are
// below the site's root; every Start has a new icon pending ("ico"). A row is marked until
// taken away; rows are run last first.
TEST(StartThroughTheSeam, Table) {
  const std::string gone =
      "log Fehler bei Datei gone.htm: Datei kann nicht geöffnet werden: "
      "gone.htm: No such file or directory [2]";
  const std::string interrupted = "log " + RunInterruptedLogLine();
  struct Scenario {
    const char* name = "";
    Files files{};  // the site before the run
    // The list's rows, top first; a row may name no file. None: the site's pages (.htm).
    std::vector<std::string> list{};
    std::string marks{};   // per row: 'x' marked, '-' not; empty: every row marked
    bool asFound = false;  // the rows handed over bottom first, their order apart
    std::deque<MessageAnswer> answers{};
    int atChange = 0;  // after this many changed pages the user does `change`
    std::function<void(RecordingRun&)> change{};
    Record asked{};    // before the run: favicon.ico
    Record turns{};    // the rows' turns in the run
    Record closing{};  // after the run
    Files after{};     // the site afterwards
  };
  const Scenario scenarios[] = {
      {.name = "an empty list: told so, nothing logged",
       .closing = {"tell empty list", "tell finished"},
       .after = {"favicon.ico ico"}},
      {.name = "every row unmarked: the log block and the bar still come",
       .files = {"a.htm plain", "b.htm plain"},
       .marks = "--",
       .closing = {"tell finished"},
       .after = {"a.htm plain", "b.htm plain", "favicon.ico ico"}},
      {.name = "changed pages are numbered last row first",
       .files = {"a.htm plain", "b.htm linked", "sub/c.htm plain"},
       .turns = {"value 0", "log 1: sub/c.htm", "changed sub/c.htm", "value 1", "value 2",
                 "log 2: a.htm", "changed a.htm"},
       .closing = {"tell finished: 2 changed, 1 unchanged"},
       .after = {"a.htm plain+link", "b.htm linked", "favicon.ico ico",
                 "sub/c.htm plain+link below"}},
      {.name = "a subset marked: the bar counts the marked rows only",
       .files = {"a.htm plain", "b.htm plain", "c.htm plain", "d.htm plain"},
       .marks = "x-x-",
       .turns = {"value 1", "log 1: c.htm", "changed c.htm", "value 3", "log 2: a.htm",
                 "changed a.htm"},
       .closing = {"tell finished: 2 changed"},
       .after = {"a.htm plain+link", "b.htm plain", "c.htm plain+link", "d.htm plain",
                 "favicon.ico ico"}},
      {.name = "failing pages answered OK: the run goes on",
       .files = {"a.htm plain", "empty.htm empty"},
       .list = {"a.htm", "gone.htm", "empty.htm"},
       .answers = {MessageAnswer::Ok, MessageAnswer::Ok},
       .turns = {"value 0",
                 "log Fehler bei Datei empty.htm: Index außerhalb des gültigen Bereichs [9]",
                 "ask go on after empty.htm", "value 1", gone, "ask go on after gone.htm",
                 "value 2", "log 1: a.htm", "changed a.htm"},
       .closing = {"tell finished: 1 changed, 2 failed"},
       .after = {"a.htm plain+link", "empty.htm empty", "favicon.ico ico"}},
      {.name = "a failing page answered Abbrechen: the rows below are not reached",
       .files = {"a.htm plain", "c.htm plain"},
       .list = {"a.htm", "gone.htm", "c.htm"},
       .answers = {MessageAnswer::Cancel},
       .turns = {"value 0", "log 1: c.htm", "changed c.htm", "value 1", gone,
                 "ask go on after gone.htm"},
       .closing = {"tell finished: 1 changed, 1 failed, 1 not reached, stopped"},
       .after = {"a.htm plain", "c.htm plain+link", "favicon.ico ico"}},
      {.name = "Esc after the second page: the run says how far it came",
       .files = {"a.htm plain", "b.htm plain", "c.htm plain", "d.htm plain", "e.htm plain"},
       .atChange = 2,
       .change = [](RecordingRun& h) { h.stopRun.request_stop(); },
       .turns = {"value 0", "log 1: e.htm", "changed e.htm", "value 1", "log 2: d.htm",
                 "changed d.htm"},
       .closing = {interrupted, "tell finished: 2 changed, 3 not reached, stopped"},
       .after = {"a.htm plain", "b.htm plain", "c.htm plain", "d.htm plain+link",
                 "e.htm plain+link", "favicon.ico ico"}},
      {.name = "the window closed after the first page: the log keeps the summary",
       .files = {"a.htm plain", "b.htm plain", "c.htm plain", "d.htm plain", "e.htm plain"},
       .atChange = 1,
       .change = [](RecordingRun& h) { h.stop.request_stop(); },
       .turns = {"value 0", "log 1: e.htm", "changed e.htm"},
       .closing = {interrupted,
                   "log Zusammenfassung: verändert 1, unverändert 0, fehlgeschlagen 0, "
                   "übergangen 0, nicht erreicht 4"},
       .after = {"a.htm plain", "b.htm plain", "c.htm plain", "d.htm plain", "e.htm plain+link",
                 "favicon.ico ico"}},
      {.name = "marks taken away during the run count from the next page",
       .files = {"a.htm plain", "b.htm plain", "c.htm plain", "d.htm plain"},
       .atChange = 1,
       .change =
           [](RecordingRun& h) {
             h.marks->SetMarked(1, false);
             h.marks->SetMarked(2, false);
           },
       .turns = {"value 0", "log 1: d.htm", "changed d.htm", "value 3", "log 2: a.htm",
                 "changed a.htm"},
       .closing = {"tell finished: 2 changed"},
       .after = {"a.htm plain+link", "b.htm plain", "c.htm plain", "d.htm plain+link",
                 "favicon.ico ico"}},
      {.name = "the mode switched during the run counts from the next page",
       .files = {"a.htm plain", "b.htm linked", "c.htm plain"},
       .atChange = 1,
       .change = [](RecordingRun& h) { h.removeNow->store(true); },
       .turns = {"value 0", "log 1: c.htm", "changed c.htm", "value 1", "log 2: b.htm",
                 "changed b.htm", "value 2"},
       .closing = {"tell finished: 2 changed, 1 unchanged, remove"},
       .after = {"a.htm plain", "b.htm <html><head><title>t</title></head></html>",
                 "c.htm plain+link", "favicon.ico ico"}},
      {.name = "rows handed over as found: read until one changes, then run in list order",
       .files = {"a.htm plain", "b.htm plain", "c.htm linked"},
       .asFound = true,
       .turns = {"value 1", "value 1", "log 1: b.htm", "changed b.htm", "value 2", "log 2: a.htm",
                 "changed a.htm"},
       .closing = {"tell finished: 2 changed, 1 unchanged"},
       .after = {"a.htm plain+link", "b.htm plain+link", "c.htm linked", "favicon.ico ico"}},
      {.name = "rows handed over as found, none to change: no row's turn comes",
       .files = {"a.htm linked", "b.htm linked"},
       .asFound = true,
       .closing = {"tell finished: 2 unchanged"},
       .after = {"a.htm linked", "b.htm linked", "favicon.ico ico"}},
      {.name = "favicon.ico there, overwrite answered OK",
       .files = {"a.htm plain", "favicon.ico old"},
       .answers = {MessageAnswer::Ok},
       .asked = {"ask overwrite favicon.ico"},
       .turns = {"value 0", "log 1: a.htm", "changed a.htm"},
       .closing = {"tell finished: 1 changed"},
       .after = {"a.htm plain+link", "favicon.ico ico"}},
      {.name = "favicon.ico there, overwrite answered Abbrechen: kept, the pages still run",
       .files = {"a.htm plain", "favicon.ico old"},
       .answers = {MessageAnswer::Cancel},
       .asked = {"ask overwrite favicon.ico"},
       .turns = {"value 0", "log 1: a.htm", "changed a.htm"},
       .closing = {"tell finished: 1 changed"},
       .after = {"a.htm plain+link", "favicon.ico old"}},
      {.name = "favicon.ico a link: refused, retried once, given up, the pages still run",
       .files = {"a.htm plain", "favicon.ico -> elsewhere.ico"},
       .answers = {MessageAnswer::Ok, MessageAnswer::Yes, MessageAnswer::No},
       .asked = {"ask overwrite favicon.ico", "ask retry", "ask retry"},
       .turns = {"value 0", "log 1: a.htm", "changed a.htm"},
       .closing = {"log Zu prüfen: a.htm: favicon.ico fehlt (der nächste Lauf legt es an)",
                   "tell finished: 1 changed, 1 need a look"},
       .after = {"a.htm plain+link", "favicon.ico -> elsewhere.ico"}},
  };
  for (const Scenario& scenario : scenarios) {
    SCOPED_TRACE(scenario.name);
    ScratchFolder site;
    WriteFiles(site, scenario.files);
    std::vector<std::string> list = scenario.list;
    for (const std::string& file : scenario.files) {
      const std::string name = file.substr(0, file.find(' '));
      if (scenario.list.empty() && name.ends_with(".htm")) list.push_back(name);
    }
    RecordingRun h;
    for (auto row = list.rbegin(); row != list.rend(); ++row) {
      h.InsertCheckedRowAtTop(site.Path() + *row);
    }
    for (std::size_t row = 0; row < scenario.marks.size(); ++row) {
      h.Pages().SetMarked(static_cast<int>(row), scenario.marks[row] == 'x');
    }
    h.answers = scenario.answers;
    h.asFound = scenario.asFound;
    int changed = 0;
    h.onPageChanged = [&](const std::string&) {
      if (++changed == scenario.atChange) scenario.change(h);
    };
    SiteState state;
    state.webRoot = site.Path();
    state.webRootDepth = CountOccurrences("/", site.Path(), 0);
    state.preview = {"ico", true};
    const std::time_t before = std::time(nullptr);
    h.RunStart(state);
    const std::time_t after = std::time(nullptr);

    Record record;
    for (std::string event : h.events) {
      for (std::size_t at; (at = event.find(site.Path())) != std::string::npos;) {
        event.erase(at, site.Path().size());
      }
      for (const std::time_t when : {before, after}) {
        if (event == "log " + LogDateTimeText(when) + " Suchen&Ersetzen gestartet") {
          event = "log <date> Suchen&Ersetzen gestartet";
        }
      }
      record.push_back(event);
    }
    Record expected = scenario.asked;
    if (!list.empty()) {
      const Record run = RunRecord(static_cast<int>(list.size()), scenario.turns);
      expected.insert(expected.end(), run.begin(), run.end());
    }
    expected.insert(expected.end(), scenario.closing.begin(), scenario.closing.end());
    EXPECT_EQ(record, expected);
    EXPECT_EQ(FilesBelow(site.Path()), scenario.after);
  }
}

// A site large enough for the run to look at its last rows on a second thread while it works on
// the first: every page carries the link, so none changes in insert mode; the mode switched to
// remove at the 99th page's turn (the run's start reports progress too) takes the link from that
// page and every later one, whether it was looked at ahead (in insert mode) or not.
TEST_F(FaviconRunTest, PagesLookedAtAheadTakeTheModeOfTheirTurn) {
  constexpr int kPages = 1200;
  std::vector<std::string> paths;
  for (int i = 0; i < kPages; ++i) {
    paths.push_back(root.Write(std::to_string(i) + ".htm", kPlainWithLink));
  }
  List(paths);
  int turns = 0;
  host.onProgress = [&] {
    if (++turns == 100) {
      host.removeNow->store(true);
    }
  };
  const FaviconRunResult result = host.Run(state);
  EXPECT_EQ(result.unchanged, 98);
  EXPECT_EQ(result.changed, kPages - 98);
  int linked = 0;
  for (const std::string& path : paths) {
    linked += ReadFile(path) == kPlainWithLink ? 1 : 0;
  }
  EXPECT_EQ(linked, 98);
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
    const char* name = "";
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
