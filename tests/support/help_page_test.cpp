#include "support/help_page.h"

#include <gtest/gtest.h>

#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

using test::ScratchFolder;

TEST(FindHelpPage, HilfeBeforeIndex) {
  ScratchFolder f;
  EXPECT_EQ(FindHelpPage(f.Path()), "");
  f.Write("index.htm", "i");
  EXPECT_EQ(FindHelpPage(f.Path()), f.Path() + "index.htm");
  f.Write("hilfe.htm", "h");
  EXPECT_EQ(FindHelpPage(f.Path()), f.Path() + "hilfe.htm");
}

TEST(FindHelpPage, FolderOrHiddenFileCountsAsMissing) {
  ScratchFolder f;
  f.MakeFolder("hilfe.htm");
  f.Write("index.htm", "i");
  EXPECT_EQ(FindHelpPage(f.Path()), f.Path() + "index.htm");
  ScratchFolder g;
  g.Write(".hilfe.htm", "h");
  EXPECT_EQ(FindHelpPage(g.Path()), "");
}

}  // namespace
}  // namespace tervando
