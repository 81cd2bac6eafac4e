#include "site/options.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// ReadProfileString in a child process that may take at most 5 s and 256 MiB, so a reader
// that hangs or eats memory fails the test instead of the machine.
std::string ReadInChild(const std::string& fileName) {
  int out[2];
  if (pipe(out) != 0) {
    return "(no pipe)";
  }
  const pid_t child = fork();
  if (child == 0) {
    close(out[0]);
    alarm(5);
#if !defined(__SANITIZE_ADDRESS__)
    const rlimit memory{rlim_t{256} << 20, rlim_t{256} << 20};
    setrlimit(RLIMIT_AS, &memory);
#endif
    try {
      const std::string value = ReadProfileString("s", "k", "DEF", fileName);
      _exit(write(out[1], value.data(), value.size()) == ssize_t(value.size()) ? 0 : 1);
    } catch (...) {
      _exit(2);
    }
  }
  close(out[1]);
  std::string value;
  char buffer[256];
  for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;) {
    value.append(buffer, static_cast<std::size_t>(got));
  }
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0
             ? value
             : "(reader died, status " + std::to_string(status) + ")";
}

TEST(ReadProfileString, OnlyARegularFileOfSaneSizeIsRead) {
  ScratchFolder f;
  const std::string ini = "[s]\nk=v\n";
  const auto link = [&f](const std::string& name, const std::string& target) {
    const std::string path = f.Path() + name;
    return symlink(target.c_str(), path.c_str()) == 0 ? path : "(no link)";
  };
  const std::string fifo = f.Path() + "fifo.ini";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string padding(kProfileFileLimit - ini.size() - 2, 'x');
  const struct {
    std::string fileName;
    std::string expected;
  } cases[] = {
      {f.MakeFolder("folder.ini"), "DEF"},
      {fifo, "DEF"},
      {link("zero.ini", "/dev/zero"), "DEF"},
      {link("to-folder.ini", f.Path() + "folder.ini"), "DEF"},
      {link("to-file.ini", f.Write("target.ini", ini)), "v"},
      {f.Write("limit.ini", ini + ";" + padding + "\n"), "v"},
      {f.Write("over.ini", ini + ";" + padding + "x\n"), "DEF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadInChild(c.fileName), c.expected) << c.fileName;
  }
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
