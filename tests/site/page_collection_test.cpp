#include "site/page_collection.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>

#include "engine/page_file.h"
#include "site/options.h"
#include "site/scan_warnings.h"
#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

namespace fs = std::filesystem;
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

std::vector<std::string> Pages() { return ParseExtensions(kDefaultExtensions); }

ScanResult Scan(const std::string& root) { return ScanWebRoot(root, Pages()); }

// A small file at `path`, with the folders on the way.
void Put(const std::string& path) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << "x";
}

TEST(ScanWebRoot, EveryEntryOfAFolderComesBeforeItsSubfoldersLastFoundFirst) {
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
        if (name != "deep" && name != "x2.css") {
          expected.push_back(r + "X/" + name);
        }
      }
      expected.push_back(r + "X/deep/d.htm");
    } else {
      expected.push_back(*it + "/" + FileSystemOrder(*it).front());
    }
  }
  EXPECT_EQ(Scan(r).pages, expected);
  const ScanResult withoutSeparator = Scan(r.substr(0, r.size() - 1));
  EXPECT_EQ(withoutSeparator.pages, expected);
  EXPECT_EQ(withoutSeparator.root, r);
}

TEST(ScanWebRoot, DotNamesAreSkippedWithTheirSubtrees) {
  ScratchFolder root;
  root.Write(".git/index.htm", "x");
  root.Write(".git/deep/page.htm", "x");
  root.Write(".htaccess", "x");
  root.Write(".hidden.htm", "x");
  root.Write("sub/.dot/p.htm", "x");
  root.Write("sub/p.htm", "x");
  root.Write("_vti_cnf/p.htm", "x");
  root.Write("sub/_VTI_.htm", "x");
  EXPECT_EQ(Scan(root.Path()).pages, std::vector<std::string>{root.Path() + "sub/p.htm"});
}

TEST(ScanWebRoot, OddNamesComeBackAsTheyAre) {
  ScratchFolder root;
  const std::vector<std::string> names = {"with blank.htm", "new\nline.htm",
                                          "\xFF\xFE.htm",   "back\\slash.htm",
                                          "#hash%.htm",     std::string(200, 'n') + ".htm"};
  for (const std::string& name : names) {
    root.Write(name, "x");
  }
  std::vector<std::string> found = Scan(root.Path()).pages;
  std::vector<std::string> expected;
  for (const std::string& name : names) {
    expected.push_back(root.Path() + name);
  }
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
}

// Links are never followed: every page is listed once, under its real path, and what lies
// outside the root or nowhere is reported by cause. Paths relative to the root; "@" stands for
// the folder outside it.
TEST(ScanWebRoot, LinksSpecialFilesAndLeftoversAreSortedOutByCause) {
  using Tree = std::function<void(const std::string& root, const std::string& outside)>;
  const auto link = [](const std::string& target, const std::string& name) {
    fs::create_symlink(target, name);
  };
  const struct {
    const char* name;
    Tree tree;
    std::vector<std::string> pages;
    std::vector<std::string> dangling;
    std::vector<std::string> outOfRoot;
    std::vector<std::string> leftovers;
  } cases[] = {
      {"dangling page link",
       [&](auto& r, auto&) { link(r + "missing.htm", r + "gone.htm"); },
       {},
       {"gone.htm"},
       {},
       {}},
      {"link loop",
       [&](auto& r, auto&) { link(r + "self.htm", r + "self.htm"); },
       {},
       {"self.htm"},
       {},
       {}},
      {"dangling folder link",
       [&](auto& r, auto&) { link(r + "nowhere", r + "folder"); },
       {},
       {"folder"},
       {},
       {}},
      {"pipe named like a page",
       [](auto& r, auto&) { ASSERT_EQ(mkfifo((r + "pipe.htm").c_str(), 0600), 0); },
       {},
       {},
       {},
       {}},
      {"page link inside the root",
       [&](auto& r, auto&) {
         Put(r + "sub/p.htm");
         link(r + "sub/p.htm", r + "alias.htm");
         link("sub/p.htm", r + "relative.htm");
       },
       {"sub/p.htm"},
       {},
       {},
       {}},
      {"folder links inside the root",
       [&](auto& r, auto&) {
         Put(r + "a/page.htm");
         link(r, r + "a/back-to-root");
         link(r + "a", r + "again");
         link(r + "a", r + "zz-again");
       },
       {"a/page.htm"},
       {},
       {},
       {}},
      {"links out of the root",
       [&](auto& r, auto& o) {
         Put(o + "ext.htm");
         Put(o + "ext.css");
         link(o, r + "outside");
         link(o + "ext.htm", r + "ext.htm");
         link(o + "ext.htm", r + "named-otherwise");
         link(o + "ext.css", r + "style.css");  // no page: nothing to tell
       },
       {},
       {},
       {"ext.htm", "named-otherwise", "outside"},
       {}},
      {"leftover temporaries",
       [&](auto& r, auto&) {
         Put(r + ".tervando-0123456789abcdef.tmp");
         Put(r + "sub/.tervando-fedcba9876543210.tmp");
         Put(r + ".tervando-0123456789ABCDEF.tmp");
         Put(r + ".tervando-0123456789abcde.tmp");
         Put(r + ".tervando-0123456789abcdef.tmpx");
         Put(r + ".git/.tervando-0123456789abcdef.tmp");
         fs::create_directories(r + "d/.tervando-0123456789abcdef.tmp");
         link(r + "sub/.tervando-fedcba9876543210.tmp", r + "d/.tervando-1123456789abcdef.tmp");
       },
       {},
       {},
       {},
       {".tervando-0123456789abcdef.tmp", "sub/.tervando-fedcba9876543210.tmp"}},
  };
  for (const auto& c : cases) {
    ScratchFolder root;
    ScratchFolder outside;
    c.tree(root.Path(), outside.Path());
    const ScanResult scan = Scan(root.Path());
    const auto relative = [&](std::vector<std::string> paths) {
      for (std::string& path : paths) {
        EXPECT_EQ(path.rfind(root.Path(), 0), 0u) << c.name << ": " << path;
        path.erase(0, root.Path().size());
      }
      std::sort(paths.begin(), paths.end());
      return paths;
    };
    EXPECT_EQ(relative(scan.pages), c.pages) << c.name;
    EXPECT_EQ(relative(scan.skipped.danglingLinks), c.dangling) << c.name;
    EXPECT_EQ(relative(scan.skipped.linksOutOfRoot), c.outOfRoot) << c.name;
    EXPECT_EQ(relative(scan.leftovers), c.leftovers) << c.name;
    EXPECT_TRUE(scan.skipped.unreadableFolders.empty() && scan.skipped.tooLong.empty()) << c.name;
  }
}

TEST(ScanWebRoot, ARootReachedThroughALinkIsScannedUnderItsRealPath) {
  ScratchFolder real;
  ScratchFolder elsewhere;
  real.Write("sub/p.htm", "x");
  fs::create_symlink(real.Path(), elsewhere.Path() + "site");
  const ScanResult scan = Scan(elsewhere.Path() + "site");
  EXPECT_EQ(scan.root, real.Path());
  EXPECT_EQ(scan.pages, std::vector<std::string>{real.Path() + "sub/p.htm"});
}

TEST(ScanWebRoot, MissingFolderGivesNothing) {
  ScratchFolder root;
  const ScanResult scan = Scan(root.Path() + "missing");
  EXPECT_TRUE(scan.pages.empty());
  EXPECT_EQ(scan.skipped.unreadableFolders, std::vector<std::string>{root.Path() + "missing"});
}

// Paths longer than the system can open are reported, not entered. The tree is built and
// removed folder by folder, as no full path reaches its bottom.
TEST(ScanWebRoot, PathsTooLongForTheSystemAreReported) {
  ScratchFolder root;
  root.Write("short.htm", "x");
  const std::string name(250, 'd');
  std::vector<int> folders{open(root.Path().c_str(), O_RDONLY | O_DIRECTORY)};
  std::string path = root.Path();
  std::vector<std::string> tooLong;
  std::size_t pages = 1;
  while (path.size() < PATH_MAX + 300) {
    ASSERT_EQ(mkdirat(folders.back(), name.c_str(), 0755), 0);
    folders.push_back(openat(folders.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
    close(openat(folders.back(), "p.htm", O_WRONLY | O_CREAT, 0644));
    const bool reachable = tooLong.empty();
    path += name;
    if (reachable && path.size() + 2 > PATH_MAX) {
      tooLong.push_back(path);  // the folder, with the separator and the end of the text
    }
    path += "/";
    if (reachable && tooLong.empty()) {
      if (path.size() + 6 > PATH_MAX) {
        tooLong.push_back(path + "p.htm");
      } else {
        ++pages;
      }
    }
  }
  const ScanResult scan = Scan(root.Path());
  EXPECT_EQ(scan.skipped.tooLong, tooLong);
  EXPECT_EQ(scan.pages.size(), pages);
  for (std::size_t i = folders.size() - 1; i > 0; --i) {
    unlinkat(folders[i], "p.htm", 0);
    close(folders[i]);
    unlinkat(folders[i - 1], name.c_str(), AT_REMOVEDIR);
  }
  close(folders[0]);
}

TEST(ScanWebRoot, StopsWhenAskedAndReportsProgress) {
  ScratchFolder root;
  root.Write("a/x.htm", "x");
  root.Write("b/c/y.htm", "y");
  root.Write("z.htm", "z");
  std::vector<std::string> entered;
  int asked = 0;
  const ScanResult scan = ScanWebRoot(
      root.Path(), Pages(), [&asked] { return ++asked > 1; },
      [&entered](const std::string& folder, std::size_t) { entered.push_back(folder); });
  EXPECT_TRUE(scan.stopped);
  EXPECT_EQ(scan.pages, std::vector<std::string>{root.Path() + "z.htm"});
  EXPECT_EQ(entered, std::vector<std::string>{root.Path()});
  EXPECT_FALSE(Scan(root.Path()).stopped);
}

// The root renamed away and a link to another folder put in its place while the scan works:
// every folder is reached from the root as opened, so no name from the other folder is listed.
TEST(ScanWebRoot, RootSwappedDuringTheScanListsNothingOutside) {
  ScratchFolder parent;
  ScratchFolder outside;
  for (const std::string folder : {"a", "b", "c"}) {
    parent.Write("site/" + folder + "/in.htm", "x");
    outside.Write(folder + "/out.htm", "x");
  }
  const std::string site = parent.Path() + "site";
  bool swapped = false;
  const ScanResult scan = ScanWebRoot(site, Pages(), {}, [&](const std::string&, std::size_t) {
    if (!swapped) {
      swapped = true;
      fs::rename(site, site + ".old");
      fs::create_directory_symlink(outside.Path(), site);
    }
  });
  EXPECT_EQ(scan.pages.size(), 3u);
  for (const std::string& page : scan.pages) {
    EXPECT_TRUE(page.ends_with("/in.htm")) << page;
  }
  EXPECT_FALSE(StillNamesFolder(site, *scan.rootFolder));
  fs::remove(site);
}

TEST(ScanWebRoot, RemovesTheLeftoversItFoundAndNothingElse) {
  ScratchFolder root;
  const std::string kept = root.Write(".tervando-00000000000000aa.tmp", "x");
  root.Write(".tervando-00000000000000bb.tmp", "x");
  root.Write("sub/.tervando-00000000000000cc.tmp", "x");
  ScanResult scan = Scan(root.Path());
  ASSERT_EQ(scan.leftovers.size(), 3u);
  fs::remove(kept);
  fs::create_directory(kept);  // no longer a file by that name
  scan.leftovers.push_back(root.Path() + "page.htm");
  root.Write("page.htm", "x");
  // A folder swapped for a link to an outside one with a file of the same name: never removed.
  ScratchFolder outside;
  const std::string outsideFile = outside.Write(".tervando-00000000000000cc.tmp", "x");
  fs::rename(root.Path() + "sub", root.Path() + "sub.old");
  fs::create_directory_symlink(outside.Path(), root.Path() + "sub");
  EXPECT_EQ(RemoveTemporaryFiles(*scan.rootFolder, scan.root, scan.leftovers), 1);
  EXPECT_TRUE(fs::exists(outsideFile));
  fs::remove(root.Path() + "sub");
  fs::rename(root.Path() + "sub.old", root.Path() + "sub");
  EXPECT_EQ(RemoveTemporaryFiles(*scan.rootFolder, scan.root, scan.leftovers), 1);
  EXPECT_TRUE(Scan(root.Path()).leftovers.empty());
  EXPECT_TRUE(fs::is_directory(kept));
  EXPECT_TRUE(fs::exists(root.Path() + "page.htm"));
}

TEST(ScanWarnings, CountsByCauseInGerman) {
  ScanResult scan;
  scan.skipped.unreadableFolders = {"/s/a", "/s/b", "/s/c"};
  scan.skipped.danglingLinks = {"/s/x.htm"};
  scan.skipped.linksOutOfRoot = {"/s/o", "/s/p"};
  scan.skipped.tooLong = {"/s/l"};
  scan.leftovers = {"/s/.tervando-0123456789abcdef.tmp"};
  std::vector<std::string> texts;
  for (const ScanWarning& warning : ScanWarnings(scan)) {
    texts.push_back(warning.text + " " + std::to_string(warning.paths->size()));
  }
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "Übersprungen: 3 nicht lesbare Ordner 3",
                       "Übersprungen: 1 Verknüpfung ohne Ziel 1",
                       "Übersprungen: 2 Verknüpfungen aus dem Hauptverzeichnis hinaus 2",
                       "Übersprungen: 1 zu langer Pfad 1",
                       "Gefunden: 1 liegen gebliebene temporäre Datei 1",
                   }));
  scan.skipped = {};
  scan.leftovers.push_back("/s/.tervando-1123456789abcdef.tmp");
  ASSERT_EQ(ScanWarnings(scan).size(), 1u);
  EXPECT_EQ(ScanWarnings(scan)[0].text, "Gefunden: 2 liegen gebliebene temporäre Dateien");
  EXPECT_TRUE(ScanWarnings(ScanResult{}).empty());
  EXPECT_EQ(RemovedLeftoversText(1), "Entfernt: 1 liegen gebliebene temporäre Datei");
  EXPECT_EQ(RemovedLeftoversText(4), "Entfernt: 4 liegen gebliebene temporäre Dateien");
}

// Root may read everything, so the unlistable folder is tested by a child that drops to the
// unprivileged user and reports what it found through a pipe.
TEST(ScanWebRoot, UnlistableFolderIsReportedToAnOrdinaryUser) {
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
    const ScanResult scan = Scan(root.Path());
    std::string report;
    for (const std::string& path : scan.pages) {
      report += "page " + path + "\n";
    }
    for (const std::string& path : scan.skipped.unreadableFolders) {
      report += "unreadable " + path + "\n";
    }
    const ssize_t written = write(channel[1], report.data(), report.size());
    _exit(written == static_cast<ssize_t>(report.size()) ? 0 : 4);
  }
  close(channel[1]);
  std::string report;
  char buffer[4096];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) {
    report.append(buffer, static_cast<std::size_t>(n));
  }
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(report.find("page " + root.Path() + "open/a.htm\n"), std::string::npos);
  EXPECT_NE(report.find("page " + root.Path() + "z.htm\n"), std::string::npos);
  EXPECT_NE(report.find("unreadable " + root.Path() + "closed\n"), std::string::npos);
  EXPECT_EQ(report.find("secret"), std::string::npos);
}

TEST(IsPagePath, DefaultExtensions) {
  const std::vector<std::string> extensions = ParseExtensions(kDefaultExtensions);
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
    EXPECT_EQ(IsPagePath(c.path, extensions), c.page) << c.path;
  }
}

TEST(IsPagePath, ConfiguredExtensions) {
  EXPECT_TRUE(IsPagePath("/s/a.htm", ParseExtensions("htm")));
  EXPECT_FALSE(IsPagePath("/s/page.html", ParseExtensions("htm")));
  EXPECT_FALSE(IsPagePath("/s/index.shtml", ParseExtensions("htm,html")));
  EXPECT_TRUE(IsPagePath("/s/odd.", ParseExtensions("htm,,php")));
  EXPECT_FALSE(IsPagePath("/s/a.htm", {}));
}

}  // namespace
}  // namespace tervando
