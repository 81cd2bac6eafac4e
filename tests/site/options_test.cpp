#include "site/options.h"

#include <gtest/gtest.h>

#include "site/app_folder.h"
#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

using test::ScratchFolder;

std::string Read(const ScratchFolder& folder, const std::string& ini, const std::string& section,
                 const std::string& key, const std::string& fallback = "DEF") {
  return ReadProfileString(section, key, fallback, folder.Write("p.ini", ini));
}

TEST(ReadProfileString, SectionAndKeyMatchWithoutRegardToCase) {
  ScratchFolder f;
  EXPECT_EQ(Read(f, "[Include]\nExtensions=htm\n", "include", "EXTENSIONS"), "htm");
  EXPECT_EQ(Read(f, "[INCLUDE]\r\nextensions=php\r\n", "Include", "Extensions"), "php");
}

TEST(ReadProfileString, BlanksAroundTheValueAreRemoved) {
  ScratchFolder f;
  EXPECT_EQ(Read(f, "[s]\nk=   a b  \n", "s", "k"), "a b");
  EXPECT_EQ(Read(f, "[s]\n  k  =\t a \t\n", "s", "k"), "a");
  EXPECT_EQ(Read(f, "[ s ]\nk=v\n", "s", "k"), "v");
}

TEST(ReadProfileString, OnePairOfEnclosingQuotesIsRemoved) {
  ScratchFolder f;
  EXPECT_EQ(Read(f, "[s]\nk=\"a b\"\n", "s", "k"), "a b");
  EXPECT_EQ(Read(f, "[s]\nk='a'\n", "s", "k"), "a");
  EXPECT_EQ(Read(f, "[s]\nk=\"\"a\"\"\n", "s", "k"), "\"a\"");
  EXPECT_EQ(Read(f, "[s]\nk=  \" x \"  \n", "s", "k"), " x ");
  EXPECT_EQ(Read(f, "[s]\nk=\"a'\n", "s", "k"), "\"a'");
  EXPECT_EQ(Read(f, "[s]\nk=\"\n", "s", "k"), "\"");
}

TEST(ReadProfileString, MissingFileSectionOrKeyGivesTheDefaultWithoutTrailingBlanks) {
  ScratchFolder f;
  EXPECT_EQ(ReadProfileString("s", "k", " d  ", f.Path() + "missing.ini"), " d");
  EXPECT_EQ(Read(f, "[other]\nk=v\n", "s", "k", "d \t"), "d");
  EXPECT_EQ(Read(f, "[s]\nother=v\n", "s", "k", "d"), "d");
  EXPECT_EQ(Read(f, "k=v\n[s]\n", "s", "k", "d"), "d");  // a key before any section
}

TEST(ReadProfileString, EmptyValueGivesTheEmptyTextNotTheDefault) {
  ScratchFolder f;
  EXPECT_EQ(Read(f, "[s]\nk=\n", "s", "k", "d"), "");
  EXPECT_EQ(Read(f, "[s]\nk=   \n", "s", "k", "d"), "");
}

TEST(ReadProfileString, ValueIsCutTo32766Characters) {
  ScratchFolder f;
  const std::string longValue(40000, 'x');
  EXPECT_EQ(Read(f, "[s]\nk=" + longValue + "\n", "s", "k"), std::string(32766, 'x'));
  const std::string exact(32766, 'y');
  EXPECT_EQ(Read(f, "[s]\nk=" + exact + "\n", "s", "k"), exact);
}

TEST(ReadProfileString, EmptyFileNameReadsTheLastNamedFileAgain) {
  ScratchFolder f;
  const std::string ini = f.Write("a.ini", "[s]\nk=first\nj=second\n");
  EXPECT_EQ(ReadProfileString("s", "k", "d", ini), "first");
  EXPECT_EQ(ReadProfileString("s", "j", "d", ""), "second");
}

TEST(ReadProfileString, OtherSectionsAndCommentsAreIgnored) {
  ScratchFolder f;
  const std::string ini = "; comment\n[a]\nk=1\n[s]\n;k=2\nk=3\n[b]\nk=4\n";
  EXPECT_EQ(Read(f, ini, "s", "k"), "3");
  EXPECT_EQ(Read(f, "\xEF\xBB\xBF[s]\nk=bom\n", "s", "k"), "bom");
}

TEST(ParseExtensions, Table) {
  const struct {
    std::string value;
    std::vector<std::string> expected;
  } cases[] = {
      {"htm,html,shtml,asp", {".htm", ".html", ".shtml", ".asp"}},
      {" HTM , Php", {".htm", ".php"}},
      {"htm,html", {".htm", ".html"}},
      {"htm", {".htm"}},
      {"", {}},
      {"htm,,asp", {".htm", ".", ".asp"}},
      {".php", {"..php"}},
      {"\thtm ", {".\thtm"}},  // only spaces are removed, tabs stay
      {",", {".", "."}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseExtensions(c.value), c.expected) << "value: " << c.value;
  }
}

TEST(ReadOptions, WithoutOptionsFileTheDefaultListApplies) {
  // The test program's folder has no options.ini.
  ReadOptions();
  EXPECT_EQ(OptionsFilePath(), AppFolder() + "options.ini");
  EXPECT_EQ(PageExtensions(), (std::vector<std::string>{".htm", ".html", ".shtml", ".asp"}));
}

TEST(WithTrailingBackslash, Table) {
  EXPECT_EQ(WithTrailingBackslash("/web"), "/web/");
  EXPECT_EQ(WithTrailingBackslash("/web/"), "/web/");
  EXPECT_EQ(WithTrailingBackslash(""), "/");
  EXPECT_EQ(WithTrailingBackslash("/"), "/");
  EXPECT_EQ(WithTrailingBackslash("C:\\web"), "C:\\web/");
}

TEST(AppFolder, IsTheTestProgramsFolderWithOneTrailingSeparator) {
  const std::string folder = AppFolder();
  ASSERT_GE(folder.size(), 2u);
  EXPECT_EQ(folder.back(), '/');
  EXPECT_NE(folder[folder.size() - 2], '/');
  EXPECT_TRUE(std::filesystem::exists(folder + "site_options_test"));
}

}  // namespace
}  // namespace tervando
