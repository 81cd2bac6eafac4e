#include "engine/favicon_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "engine/errors.h"
#include "icons/icon_catalogue.h"
#include "tests/engine/recording_run.h"
#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RecordingRun;
using test::ScratchFolder;

constexpr char kOverwriteText[] =
    "Hinweis: Im angegebenen Hauptverzeichnis Ihrer lokalen Web-Dateien befindet sich bereits "
    "eine Datei namens FAVICON.ICO. Sie haben jedoch ein anderes Icon gewählt, wodurch diese "
    "Datei überschrieben wird.\r\rBitte drücken Sie [OK], um diesen Vorgang zu quittieren.";

TEST(FileExists, RegularVisibleFilesOnly) {
  ScratchFolder f;
  const std::string file = f.Write("hilfe.htm", "x");
  f.Write(".hidden.htm", "x");
  f.MakeFolder("folder.htm");
  fs::create_symlink(file, f.Path() + "link.htm");
  fs::create_symlink(f.Path() + "missing", f.Path() + "dangling.htm");
  const struct {
    std::string path;
    bool exists;
  } cases[] = {
      {file, true},
      {f.Path() + "link.htm", true},
      {f.Path() + ".hidden.htm", false},
      {f.Path() + "folder.htm", false},
      {f.Path() + "missing.htm", false},
      {f.Path() + "dangling.htm", false},
      {f.Path(), false},
      {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileExists(c.path), c.exists) << c.path;
  }
}

TEST(ErrorInfoText, DescriptionAndCode) {
  try {
    throw FileError(ENOENT, "Datei kann nicht geöffnet werden", "/s/favicon.ico");
  } catch (...) {
    EXPECT_EQ(
        ErrorInfoText(),
        "Datei kann nicht geöffnet werden: /s/favicon.ico: No such file or directory (Code 2)");
  }
  try {
    throw std::bad_alloc();
  } catch (...) {
    EXPECT_EQ(ErrorInfoText(), "Nicht genügend Arbeitsspeicher (Code 12)");
  }
}

class PlaceFaviconFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.webRoot = root.Path();
    state.defaultIcon = DefaultIconFile();
  }
  std::string Favicon() const { return root.Path() + "favicon.ico"; }
  ScratchFolder root;
  SiteState state;
  RecordingRun host;
};

TEST_F(PlaceFaviconFileTest, DefaultIconIsWrittenWithoutQuestionWhenNoneExists) {
  RefreshFaviconPreview(state);
  ASSERT_TRUE(state.preview.pending);
  EXPECT_EQ(PlaceFaviconFile(host, state, host.removeMode), PlaceResult::Written);
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(ReadFile(Favicon()), std::string(DefaultIconFile()));
  EXPECT_EQ(ReadFile(Favicon()).size(), 2238u);
  RefreshFaviconPreview(state);
  EXPECT_FALSE(state.preview.pending);
  EXPECT_EQ(state.preview.bytes, std::string(DefaultIconFile()));
}

TEST_F(PlaceFaviconFileTest, ExistingFileWithoutChosenIconIsLeftAlone) {
  root.Write("favicon.ico", "old");
  RefreshFaviconPreview(state);
  EXPECT_EQ(PlaceFaviconFile(host, state, host.removeMode), PlaceResult::NotNeeded);
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(ReadFile(Favicon()), "old");
}

TEST_F(PlaceFaviconFileTest, OverwriteQuestionCancelKeepsTheOldFile) {
  root.Write("favicon.ico", "old");
  state.preview = {std::string(IconFile(7)), true};
  host.answers = {MessageAnswer::Cancel};
  EXPECT_EQ(PlaceFaviconFile(host, state, host.removeMode), PlaceResult::OverwriteDeclined);
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0].text, kOverwriteText);
  EXPECT_EQ(host.questions[0].icon, MessageIcon::None);
  EXPECT_EQ(host.questions[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(host.questions[0].defaultAnswer, MessageAnswer::Ok);
  EXPECT_EQ(ReadFile(Favicon()), "old");
  EXPECT_TRUE(state.preview.pending);  // placing never changes the flag
}

TEST_F(PlaceFaviconFileTest, RemoveModeWritesAndDeletesNothing) {
  root.Write("favicon.ico", "old");
  state.preview = {std::string(IconFile(7)), true};
  host.removeMode = true;
  EXPECT_EQ(PlaceFaviconFile(host, state, host.removeMode), PlaceResult::NotNeeded);
  EXPECT_EQ(ReadFile(Favicon()), "old");
  fs::remove(Favicon());
  EXPECT_EQ(PlaceFaviconFile(host, state, host.removeMode), PlaceResult::NotNeeded);
  EXPECT_FALSE(fs::exists(Favicon()));
  EXPECT_TRUE(host.questions.empty());
}

TEST_F(PlaceFaviconFileTest, ReadOnlyFileAsksThenOffersRetryUntilNo) {
  root.Write("favicon.ico", "old");
  ASSERT_EQ(chmod(Favicon().c_str(), 0444), 0);
  state.preview = {std::string(IconFile(7)), true};
  host.answers = {MessageAnswer::Ok, MessageAnswer::Yes, MessageAnswer::No};
  EXPECT_EQ(PlaceFaviconFile(host, state, host.removeMode), PlaceResult::GaveUp);
  ASSERT_EQ(host.questions.size(), 3u);
  const Message& failed = host.questions[1];
  EXPECT_EQ(failed.text,
            "Die Datei FAVICON.ICO konnte nicht im angegebenen Hauptverzeichnis Ihrer lokalen "
            "Web-Dateien erstellt werden (Datei ist schreibgeschützt: " +
                Favicon() +
                ": Permission denied (Code 13)).\r\rMöchten Sie es nochmals versuchen?");
  EXPECT_EQ(failed.icon, MessageIcon::Critical);
  EXPECT_EQ(failed.buttons, MessageButtons::YesNo);
  EXPECT_EQ(failed.defaultAnswer, MessageAnswer::No);
  EXPECT_EQ(host.questions[2].text, failed.text);
  EXPECT_EQ(ReadFile(Favicon()), "old");
}

// A favicon.ico that is a link is refused like a failed write, wherever it leads, and nothing
// is read through it: not for the preview, not for the set.
TEST_F(PlaceFaviconFileTest, LinkIsRefusedAndNeverRead) {
  ScratchFolder outside;
  const std::string notes = outside.Write("notes.txt", "notes");
  const std::string inside = root.Write("icons/site.ico", "old");
  for (const std::string& target : {notes, outside.Path() + "missing.ico", inside}) {
    SCOPED_TRACE(target);
    fs::remove(Favicon());
    fs::create_symlink(target, Favicon());
    RefreshFaviconPreview(state);
    EXPECT_EQ(state.preview.bytes, "");
    EXPECT_FALSE(state.preview.pending);  // the root's own, kept as it is
    state.preview = {std::string(IconFile(2)), true};
    host.questions.clear();
    host.answers = {MessageAnswer::Ok, MessageAnswer::No};
    EXPECT_EQ(PlaceFaviconFile(host, state, host.removeMode), PlaceResult::GaveUp);
    ASSERT_EQ(host.questions.size(), 2u);
    EXPECT_NE(host.questions.back().text.find(std::string(kWalkLinkText) + ": " + Favicon()),
              std::string::npos);
  }
  EXPECT_EQ(ReadFile(notes), "notes");
  EXPECT_FALSE(fs::exists(outside.Path() + "missing.ico"));
  EXPECT_EQ(ReadFile(inside), "old");
}

TEST_F(PlaceFaviconFileTest, RetrySucceedsOnceTheCauseIsGone) {
  state.webRoot = root.Path() + "later/";  // not there yet: the write fails
  state.preview = {std::string(IconFile(1)), true};
  bool created = false;
  struct CreatingHost : RecordingRun {
    std::string folder;
    bool RetryFaviconWrite(const ErrorInfo& errorInfo) override {
      RecordingRun::RetryFaviconWrite(errorInfo);
      fs::create_directory(folder);
      return true;
    }
  } retrying;
  retrying.folder = state.webRoot;
  EXPECT_EQ(PlaceFaviconFile(retrying, state, false), PlaceResult::Written);
  ASSERT_EQ(retrying.questions.size(), 1u);
  EXPECT_NE(retrying.questions[0].text.find("No such file or directory (Code 2))."),
            std::string::npos);
  created = fs::exists(state.webRoot + "favicon.ico");
  EXPECT_TRUE(created);
}

TEST(RefreshFaviconPreview, Table) {
  ScratchFolder root;
  SiteState state;
  state.defaultIcon = DefaultIconFile();
  state.preview = {"chosen", true};
  RefreshFaviconPreview(state);  // no web root yet
  EXPECT_TRUE(state.preview.pending);
  EXPECT_EQ(state.preview.bytes, std::string(DefaultIconFile()));

  state.webRoot = root.Path();
  root.MakeFolder("favicon.ico");  // a folder is no favicon file
  RefreshFaviconPreview(state);
  EXPECT_TRUE(state.preview.pending);
  fs::remove(root.Path() + "favicon.ico");

  // A PNG under the icon's name is still the root's own file: kept, never replaced silently.
  const std::string png = "\x89PNG\r\n\x1a\n not an icon";
  root.Write("favicon.ico", png);
  state.preview = {"chosen", true};
  RefreshFaviconPreview(state);
  EXPECT_FALSE(state.preview.pending);
  EXPECT_EQ(state.preview.bytes, png);
}

}  // namespace
}  // namespace tervando
