#include "site/options.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "site/app_folder.h"
#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

using test::ScratchFolder;

std::string Read(const ScratchFolder& folder, const std::string& ini, const std::string& section,
                 const std::string& key, const std::string& fallback = "DEF") {
  return ProfileReader().ReadProfileString(section, key, fallback, folder.Write("p.ini", ini));
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
  EXPECT_EQ(ProfileReader().ReadProfileString("s", "k", " d  ", f.Path() + "missing.ini"), " d");
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
      const std::string value = ProfileReader().ReadProfileString("s", "k", "DEF", fileName);
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
  ProfileReader reader;
  EXPECT_EQ(reader.ReadProfileString("s", "k", "d", ini), "first");
  EXPECT_EQ(reader.ReadProfileString("s", "j", "d", ""), "second");
  // Each reader keeps its own file: a fresh one has none yet.
  EXPECT_EQ(ProfileReader().ReadProfileString("s", "j", "d", ""), "d");
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
  const Options options = ReadOptions();
  EXPECT_EQ(options.optionsFilePath, AppFolder() + "options.ini");
  EXPECT_EQ(options.pageExtensions, (std::vector<std::string>{".htm", ".html", ".shtml", ".asp"}));
}

TEST(ReadOptions, TheFilesExtensionsReplaceTheDefaultList) {
  ScratchFolder f;
  const std::string ini = f.Write("options.ini", "[include]\nExtensions = HTM, php\n");
  const Options options = ReadOptions(ini);
  EXPECT_EQ(options.optionsFilePath, ini);
  EXPECT_EQ(options.pageExtensions, (std::vector<std::string>{".htm", ".php"}));
  EXPECT_EQ(ReadOptions(f.Write("empty.ini", "[Include]\nExtensions=\n")).pageExtensions,
            std::vector<std::string>{});
}

TEST(WithTrailingSeparator, Table) {
  EXPECT_EQ(WithTrailingSeparator("/web"), "/web/");
  EXPECT_EQ(WithTrailingSeparator("/web/"), "/web/");
  EXPECT_EQ(WithTrailingSeparator(""), "/");
  EXPECT_EQ(WithTrailingSeparator("/"), "/");
  EXPECT_EQ(WithTrailingSeparator("C:\\web"), "C:\\web/");
}

TEST(IsInstalledIn, OnlyAProgramFolderWithTheDataFolderBesideIt) {
  ScratchFolder f;
  f.MakeFolder("usr/bin");
  f.MakeFolder("usr/share/tervando");
  f.MakeFolder("build/bin");
  f.Write("build/share/tervando", "a file, not the data folder");
  f.Write("unpacked/hilfe.htm", "");
  EXPECT_TRUE(IsInstalledIn(f.Path() + "usr/bin/"));
  EXPECT_EQ(InstalledDataFolder(f.Path() + "usr/bin/"), f.Path() + "usr/share/tervando/");
  EXPECT_FALSE(IsInstalledIn(f.Path() + "build/bin/"));
  EXPECT_FALSE(IsInstalledIn(f.Path() + "unpacked/"));
  // The test programs themselves run from the build folder.
  EXPECT_FALSE(Installed());
  EXPECT_EQ(DataFolder(), AppFolder());
  EXPECT_EQ(LogFolder(), AppFolder());
}

TEST(UserFolder, VariableWhenAbsoluteElseUnderHome) {
  const char* savedHome = std::getenv("HOME");
  const std::string home = savedHome ? savedHome : "";
  setenv("HOME", "/home/anna", 1);
  const struct {
    const char* value;  // nullptr: unset
    std::string expected;
  } cases[] = {
      {"/tmp/state", "/tmp/state/tervando/"},
      {"/tmp/state/", "/tmp/state/tervando/"},
      {nullptr, "/home/anna/.local/state/tervando/"},
      {"", "/home/anna/.local/state/tervando/"},
      {"relative/state", "/home/anna/.local/state/tervando/"},
  };
  for (const auto& c : cases) {
    if (c.value) {
      setenv("TERVANDO_TEST_STATE", c.value, 1);
    } else {
      unsetenv("TERVANDO_TEST_STATE");
    }
    EXPECT_EQ(UserFolder("TERVANDO_TEST_STATE", ".local/state"), c.expected)
        << (c.value ? c.value : "(unset)");
  }
  unsetenv("TERVANDO_TEST_STATE");
  setenv("HOME", home.c_str(), 1);
}

TEST(OptionsFileFor, BesideTheProgramWinsElseTheConfigFolder) {
  ScratchFolder f;
  setenv("XDG_CONFIG_HOME", (f.Path() + "config").c_str(), 1);
  const std::string program = f.MakeFolder("bin") + "/";
  const std::string configured = f.Path() + "config/tervando/options.ini";
  EXPECT_EQ(OptionsFileFor(program, false), program + "options.ini");
  EXPECT_EQ(OptionsFileFor(program, true), configured);
  f.Write("bin/options.ini", "[Include]\nExtensions=php\n");
  EXPECT_EQ(OptionsFileFor(program, true), program + "options.ini");
  unsetenv("XDG_CONFIG_HOME");
}

TEST(MakeFolders, CreatesMissingParentsForTheOwnerOnly) {
  ScratchFolder f;
  const std::string deep = f.Path() + "state/tervando/";
  EXPECT_TRUE(MakeFolders(deep));
  EXPECT_TRUE(MakeFolders(deep));  // already there
  const auto permissions = std::filesystem::status(deep).permissions();
  EXPECT_EQ(permissions & std::filesystem::perms::all, std::filesystem::perms::owner_all);
  f.Write("file", "");
  EXPECT_FALSE(MakeFolders(f.Path() + "file/sub"));
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
