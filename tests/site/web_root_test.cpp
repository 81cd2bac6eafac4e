#include "site/web_root.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/head_editor.h"
#include "icons/icon_catalogue.h"
#include "site/options.h"
#include "tests/site/fake_host.h"
#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

using test::FakeHost;
using test::ScratchFolder;

class SelectWebRootTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.faviconLinkPrefix = BuildFaviconLinkPrefix();
    state.defaultIcon = DefaultIconFile();
  }
  FakeHost host;
  SiteState state;
  Options options;  // the default extensions
};

TEST_F(SelectWebRootTest, CancelledDialogChangesNothing) {
  state.webRoot = "/old/";
  state.webRootDepth = 1;
  EXPECT_FALSE(SelectWebRoot(host, state, options, ""));
  EXPECT_EQ(state.webRoot, "/old/");
  EXPECT_EQ(state.webRootDepth, 1);
  EXPECT_TRUE(host.events.empty());
  // A system folder, also reached by a detour or a link, is refused before any scan.
  ScratchFolder links;
  std::filesystem::create_symlink("/", links.Path() + "top");
  for (const std::string& folder :
       std::vector<std::string>{"/", "/usr/../etc", links.Path() + "top", "/bin"}) {
    host.questions.clear();
    EXPECT_FALSE(SelectWebRoot(host, state, options, folder)) << folder;
    ASSERT_EQ(host.questions.size(), 1u) << folder;
    EXPECT_EQ(host.questions[0].text,
              "\"" + folder +
                  "\" ist ein Ordner des Systems und kein Hauptverzeichnis einer Web-Site; "
                  "Tervando bearbeitet dort keine Seiten.");
  }
  EXPECT_EQ(host.events, std::vector<std::string>(4, "ask"));
  EXPECT_EQ(state.webRoot, "/old/");
  EXPECT_TRUE(SelectWebRoot(host, state, options, links.Path()));  // any other folder is fine
}

TEST_F(SelectWebRootTest, StepsInOrderForATreeOfThreeFiles) {
  ScratchFolder root;
  root.Write("index.htm", "<html>");
  root.Write("style.css", "x");
  root.Write("sub/p.htm", "<html>");
  const std::string folder = root.Path().substr(0, root.Path().size() - 1);
  ASSERT_TRUE(SelectWebRoot(host, state, options, folder));
  EXPECT_EQ(state.webRoot, root.Path());
  EXPECT_EQ(state.webRootDepth, std::count(folder.begin(), folder.end(), '/') + 1);

  std::vector<std::string> withoutFill;
  for (const std::string& event : host.events) {
    if (event.rfind("status Die Liste", 0) != 0) {
      withoutFill.push_back(event);
    }
  }
  EXPECT_EQ(withoutFill, (std::vector<std::string>{
                             "root " + root.Path(), "sorting off", "range 0 2", "busy on",
                             "value 1", "value 0", "range 0 2", "value 1", "value 2", "value 0",
                             "sorting on", "status Eintragung beendet", "count 2", "busy off"}));
  ASSERT_EQ(host.RowCount(), 2);
  EXPECT_EQ(host.RowText(1), root.Path() + "index.htm");
  EXPECT_EQ(host.RowText(2), root.Path() + "sub/p.htm");
  EXPECT_TRUE(host.RowMarked(1) && host.RowMarked(2));
  // No favicon.ico in the root: the default icon is what Start will write.
  EXPECT_TRUE(state.preview.pending);
  EXPECT_EQ(state.preview.bytes, std::string(DefaultIconFile()));
}

TEST_F(SelectWebRootTest, EmptyTreeCompletesWithAValidBarRange) {
  ScratchFolder root;
  ASSERT_TRUE(SelectWebRoot(host, state, options, root.Path()));
  EXPECT_EQ(host.EventsStartingWith("range "),
            (std::vector<std::string>{"range 0 2", "range 0 1"}));
  EXPECT_EQ(host.EventsStartingWith("count "), std::vector<std::string>{"count 0"});
  EXPECT_EQ(host.events.back(), "busy off");
}

TEST_F(SelectWebRootTest, ChoosingAgainKeepsRowsAndMarksAndAddsNewPages) {
  ScratchFolder root;
  root.Write("a.htm", "<html>");
  root.Write("b.htm", "<html>");
  ASSERT_TRUE(SelectWebRoot(host, state, options, root.Path()));
  host.Pages().SetMarked(0, false);  // a.htm
  root.Write("c.htm", "<html>");
  ScratchFolder second;
  second.Write("other.htm", "<html>");
  ASSERT_TRUE(SelectWebRoot(host, state, options, root.Path()));
  ASSERT_TRUE(SelectWebRoot(host, state, options, second.Path()));
  EXPECT_EQ(state.webRoot, second.Path());
  ASSERT_EQ(host.RowCount(), 4);
  const std::string a = root.Path() + "a.htm";
  for (int row = 1; row <= host.RowCount(); ++row) {
    EXPECT_EQ(host.RowMarked(row), host.RowText(row) != a) << host.RowText(row);
  }
  EXPECT_TRUE(host.ContainsRow(root.Path() + "c.htm"));
  EXPECT_TRUE(host.ContainsRow(second.Path() + "other.htm"));
}

TEST_F(SelectWebRootTest, ExistingFaviconBecomesThePreview) {
  ScratchFolder root;
  root.Write("favicon.ico", "own icon bytes");
  ASSERT_TRUE(SelectWebRoot(host, state, options, root.Path()));
  EXPECT_FALSE(state.preview.pending);
  EXPECT_EQ(state.preview.bytes, "own icon bytes");
}

}  // namespace
}  // namespace tervando
