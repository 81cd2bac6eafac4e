#include "site/web_root.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/messages.h"
#include "site/options.h"
#include "site/system_folder.h"
#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

using test::ScratchFolder;

// The folder as chosen (with or without its separator, or through a link) becomes the real
// root with its depth, and its pages come in scan order.
TEST(ScanChosenWebRoot, RealRootDepthAndPages) {
  ScratchFolder root;
  root.Write("index.htm", "<html>");
  root.Write("style.css", "x");
  root.Write("sub/p.htm", "<html>");
  ScratchFolder links;
  std::filesystem::create_symlink(root.Path(), links.Path() + "site");
  const std::string bare = root.Path().substr(0, root.Path().size() - 1);
  for (const std::string& chosen : {bare, root.Path(), links.Path() + "site"}) {
    SCOPED_TRACE(chosen);
    const WebRootScan found = ScanChosenWebRoot(chosen, Options{});
    EXPECT_EQ(found.webRoot, root.Path());
    EXPECT_EQ(found.webRootDepth, std::count(bare.begin(), bare.end(), '/') + 1);
    EXPECT_EQ(found.scan.pages,
              (std::vector<std::string>{root.Path() + "index.htm", root.Path() + "sub/p.htm"}));
  }
}

// A system folder, also reached by a detour or a link, is refused by the front ends before any
// scan, with this notice.
TEST(ScanChosenWebRoot, SystemFoldersAreRefusedBeforeTheScan) {
  ScratchFolder links;
  std::filesystem::create_symlink("/", links.Path() + "top");
  for (const std::string& folder :
       std::vector<std::string>{"/", "/usr/../etc", links.Path() + "top", "/bin"}) {
    EXPECT_TRUE(IsSystemFolder(folder)) << folder;
    EXPECT_EQ(NoticeMessage({NoticeKind::kSystemFolder, folder, {}}).text,
              "\"" + folder +
                  "\" ist ein Ordner des Systems und kein Hauptverzeichnis einer Web-Site; "
                  "Tervando bearbeitet dort keine Seiten.");
  }
  EXPECT_FALSE(IsSystemFolder(links.Path()));  // any other folder is fine
}

}  // namespace
}  // namespace tervando
