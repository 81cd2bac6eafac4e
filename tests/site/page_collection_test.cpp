#include "site/page_collection.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "site/options.h"
#include "tests/site/fake_host.h"
#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

namespace fs = std::filesystem;
using test::FakeHost;
using test::ScratchFolder;

// The names of a folder in the order the file system returns them (the scan's input order).
std::vector<std::string> FileSystemOrder(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] != '.') {
      names.emplace_back(entry->d_name);
    }
  }
  closedir(dir);
  return names;
}

TEST(CollectFiles, EveryEntryOfAFolderComesBeforeItsSubfoldersLastFoundFirst) {
  ScratchFolder root;
  root.Write("a.htm", "a");
  root.Write("b.htm", "b");
  root.Write("X/x.htm", "x");
  root.Write("X/deep/d.htm", "d");
  root.Write("X/x2.css", "c");
  root.Write("Y/y.htm", "y");
  root.Write("Z/z.htm", "z");
  const std::string r = root.Path();

  std::vector<std::string> expected;
  std::vector<std::string> folders;
  for (const std::string& name : FileSystemOrder(r)) {
    (fs::is_directory(r + name) ? folders : expected).push_back(r + name);
  }
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
    if (*it == r + "X") {
      for (const std::string& name : FileSystemOrder(r + "X")) {
        if (name != "deep") {
          expected.push_back(r + "X/" + name);
        }
      }
      expected.push_back(r + "X/deep/d.htm");
    } else {
      expected.push_back(*it + "/" + FileSystemOrder(*it).front());
    }
  }
  EXPECT_EQ(CollectFiles(r), expected);
  EXPECT_EQ(CollectFiles(r.substr(0, r.size() - 1)), expected);  // without trailing separator
}

TEST(CollectFiles, DotNamesAreSkippedWithTheirSubtrees) {
  ScratchFolder root;
  root.Write(".git/index.htm", "x");
  root.Write(".git/deep/page.htm", "x");
  root.Write(".htaccess", "x");
  root.Write(".hidden.htm", "x");
  root.Write("sub/.dot/p.htm", "x");
  root.Write("sub/p.htm", "x");
  EXPECT_EQ(CollectFiles(root.Path()), std::vector<std::string>{root.Path() + "sub/p.htm"});
}

TEST(CollectFiles, OddNamesComeBackAsTheyAre) {
  ScratchFolder root;
  const std::vector<std::string> names = {"with blank.htm", "new\nline.htm",
                                          "\xFF\xFE.htm",   "back\\slash.htm",
                                          "#hash%.htm",     std::string(200, 'n') + ".htm"};
  for (const std::string& name : names) {
    root.Write(name, "x");
  }
  std::vector<std::string> found = CollectFiles(root.Path());
  std::vector<std::string> expected;
  for (const std::string& name : names) {
    expected.push_back(root.Path() + name);
  }
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
}

TEST(CollectFiles, UnreadableAndSpecialEntriesArePassedOver) {
  ScratchFolder root;
  root.Write("good.htm", "x");
  fs::create_symlink(root.Path() + "missing.htm", root.Path() + "dangling.htm");
  fs::create_symlink(root.Path() + "self.htm", root.Path() + "self.htm");  // a link loop
  fs::create_symlink(root.Path() + "nowhere", root.Path() + "dangling-folder");
  ASSERT_EQ(mkfifo((root.Path() + "pipe.htm").c_str(), 0600), 0);
  root.Write("after/last.htm", "x");
  std::vector<std::string> found = CollectFiles(root.Path());
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found,
            (std::vector<std::string>{root.Path() + "after/last.htm", root.Path() + "good.htm"}));
}

TEST(CollectFiles, FolderLinksAreFollowedButEveryFolderIsEnteredOnce) {
  ScratchFolder root;
  ScratchFolder outside;
  outside.Write("ext.htm", "x");
  root.Write("a/page.htm", "x");
  fs::create_symlink(root.Path(), root.Path() + "a/back-to-root");
  fs::create_symlink(root.Path() + "a", root.Path() + "again");
  fs::create_symlink(outside.Path(), root.Path() + "outside");
  const std::vector<std::string> found = CollectFiles(root.Path());
  // a and again are one folder: whichever the scan enters first lists its page, once.
  const auto pageCount = std::count_if(found.begin(), found.end(), [&](const std::string& path) {
    return path == root.Path() + "a/page.htm" || path == root.Path() + "again/page.htm";
  });
  EXPECT_EQ(pageCount, 1);
  EXPECT_EQ(std::count(found.begin(), found.end(), root.Path() + "outside/ext.htm"), 1);
  EXPECT_EQ(found.size(), 2u);
}

TEST(CollectFiles, MissingFolderGivesNothing) {
  ScratchFolder root;
  EXPECT_TRUE(CollectFiles(root.Path() + "missing").empty());
}

// Root may read everything, so the unlistable folder is tested by a child that drops to the
// unprivileged user and reports what it found through a pipe.
TEST(CollectFiles, UnlistableFolderIsPassedOverByAnOrdinaryUser) {
  if (geteuid() != 0) {
    GTEST_SKIP() << "needs root to switch users";
  }
  ScratchFolder root;
  root.Write("open/a.htm", "x");
  root.Write("closed/secret.htm", "x");
  root.Write("z.htm", "x");
  for (const char* folder : {"", "open"}) {
    chmod((root.Path() + folder).c_str(), 0755);
  }
  chmod((root.Path() + "closed").c_str(), 0700);
  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    if (setgid(65534) != 0 || setuid(65534) != 0) {
      _exit(3);
    }
    std::string report;
    for (const std::string& path : CollectFiles(root.Path())) {
      report += path + "\n";
    }
    const ssize_t written = write(channel[1], report.data(), report.size());
    _exit(written == static_cast<ssize_t>(report.size()) ? 0 : 4);
  }
  close(channel[1]);
  std::string report;
  char buffer[4096];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) {
    report.append(buffer, n);
  }
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(report.find(root.Path() + "open/a.htm\n"), std::string::npos);
  EXPECT_NE(report.find(root.Path() + "z.htm\n"), std::string::npos);
  EXPECT_EQ(report.find("secret"), std::string::npos);
}

TEST(IsPagePath, DefaultExtensions) {
  SetPageExtensions(ParseExtensions(kDefaultExtensions));
  const struct {
    const char* path;
    bool page;
  } cases[] = {
      {"/s/INDEX.HTM", true},        {"/s/x.Asp", true},           {"/s/p.shtml", true},
      {"/s/p.html", true},           {"/s/style.css", false},      {"/s/htm", false},
      {"/s/page.htm.bak", false},    {"/s/_vti_cnf/p.htm", false}, {"/s/a/_VTI_PVT/p.htm", false},
      {"/_vti_root/s/p.htm", false}, {"/s/my_vti_x/p.htm", true},  {"/s/_vti_.htm", false},
      {"/s/x_vti_y.htm", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsPagePath(c.path), c.page) << c.path;
  }
}

TEST(IsPagePath, ConfiguredExtensions) {
  SetPageExtensions(ParseExtensions("htm"));
  EXPECT_TRUE(IsPagePath("/s/a.htm"));
  EXPECT_FALSE(IsPagePath("/s/page.html"));
  SetPageExtensions(ParseExtensions("htm,html"));
  EXPECT_FALSE(IsPagePath("/s/index.shtml"));
  SetPageExtensions(ParseExtensions("htm,,php"));
  EXPECT_TRUE(IsPagePath("/s/odd."));
  SetPageExtensions({});
  EXPECT_FALSE(IsPagePath("/s/a.htm"));
  SetPageExtensions(ParseExtensions(kDefaultExtensions));
}

TEST(AddPageToList, AddsNewPagesAtTheTopWithStatusText) {
  SetPageExtensions(ParseExtensions(kDefaultExtensions));
  FakeHost host;
  AddPageToList(host, "/s/a.htm");
  AddPageToList(host, "/s/style.css");
  AddPageToList(host, "/s/b.HTML");
  AddPageToList(host, "/s/a.htm");
  AddPageToList(host, "/s/A.htm");
  ASSERT_EQ(host.RowCount(), 3);
  EXPECT_EQ(host.RowText(1), "/s/A.htm");
  EXPECT_EQ(host.RowText(2), "/s/b.HTML");
  EXPECT_EQ(host.RowText(3), "/s/a.htm");
  EXPECT_TRUE(host.RowMarked(1));
  EXPECT_EQ(host.EventsStartingWith("status "),
            (std::vector<std::string>{"status Die Liste wird aufgefüllt: /s/a.htm",
                                      "status Die Liste wird aufgefüllt: /s/b.HTML",
                                      "status Die Liste wird aufgefüllt: /s/A.htm"}));
}

TEST(AddPageToList, EverySixtyFourthCallOfTheProgramRunRefreshesTheCount) {
  SetPageExtensions(ParseExtensions(kDefaultExtensions));
  FakeHost host;
  int yields = 0;
  host.onYield = [&yields] { ++yields; };
  const int start = AddPageYieldCounter();
  const int calls = 130;
  for (int i = 0; i < calls; ++i) {
    AddPageToList(host, "/s/p" + std::to_string(i) + (i % 2 ? ".htm" : ".css"));
  }
  const int refreshes = (start + calls) / 64;
  EXPECT_EQ(static_cast<int>(host.EventsStartingWith("count ").size()), refreshes);
  EXPECT_EQ(yields, refreshes);
  EXPECT_EQ(AddPageYieldCounter(), (start + calls) % 64);
  if (start == 0) {
    // A fresh program run: after the 64th and the 128th file, with the rows listed by then.
    EXPECT_EQ(host.EventsStartingWith("count "),
              (std::vector<std::string>{"count 32", "count 64"}));
  }
}

}  // namespace
}  // namespace tervando
