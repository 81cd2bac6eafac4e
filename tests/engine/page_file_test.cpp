#include "engine/page_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/errors.h"
#include "engine/head_editor.h"
#include "tests/reference/page_file_edit.h"

namespace tervando {
namespace {

const std::string kPrefix = BuildFaviconLinkPrefix();
const std::string kAtRoot = R"(<link rel="SHORTCUT ICON" href="./favicon.ico">)";
constexpr uid_t kNobody = 65534;

class PageFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "page_file_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_root = pattern + "/";
    m_depth = CountOccurrences("/", m_root, 0);
  }
  void TearDown() override {
    ::chmod(m_root.c_str(), 0700);
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
  }

  std::string Write(const std::string& name, const std::string& bytes, mode_t mode = 0644) {
    const std::string path = m_root + name;
    std::ofstream(path, std::ios::binary) << bytes;
    ::chmod(path.c_str(), mode);
    return path;
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  static struct stat Stat(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
  }

  // Names in the folder, so a stray temporary file shows up.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    DIR* folder = ::opendir(m_root.c_str());
    while (const dirent* entry = ::readdir(folder)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") {
        names.push_back(name);
      }
    }
    ::closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
  }

  // Runs the body in a child process and returns its exit status (0 when it returned true).
  static int InChild(const std::function<bool()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
      ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
  }

  // Whether the file system under the test folder exchanges two names in one step.
  bool ExchangesNames() {
    const std::string a = Write("probe-a", "");
    const std::string b = Write("probe-b", "");
    const bool exchanged =
        ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
    ::unlink(a.c_str());
    ::unlink(b.c_str());
    return exchanged;
  }

  std::string m_root;
  int m_depth = 0;  // separators in m_root, the web root of these tests
};

TEST_F(PageFileTest, ReplacesAChangedPageAndReportsIt) {
  const std::string page = Write("index.htm", "<head></head>");
  EXPECT_TRUE(SetUnsetFaviconInFile(page, false, kPrefix, m_depth));
  EXPECT_EQ(Read(page), "<head>" + kAtRoot + "</head>");
  EXPECT_EQ(Names(), std::vector<std::string>{"index.htm"});
}

TEST_F(PageFileTest, UnchangedPageIsNotWritten) {
  const std::string page = Write("index.htm", "<head>" + kAtRoot + "</head>");
  const struct stat before = Stat(page);
  ::chmod(page.c_str(), 0444);
  EXPECT_FALSE(SetUnsetFaviconInFile(page, false, kPrefix, m_depth));
  const struct stat after = Stat(page);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode & 0777, 0444u);
}

// A page without a write bit is refused as favicon.ico is, never made writable; every other
// page keeps its exact mode.
TEST_F(PageFileTest, ReadOnlyPageIsRefusedAndEveryModeIsKept) {
  const struct {
    mode_t mode;
    bool edited;
  } cases[] = {{0444, false}, {0400, false}, {0600, true}, {0604, true}, {0755, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    const std::string page = Write("index.htm", "<head></head>", c.mode);
    try {
      EXPECT_EQ(SetUnsetFaviconInFile(page, false, kPrefix, m_depth), c.edited);
    } catch (const std::system_error& error) {
      EXPECT_FALSE(c.edited);
      EXPECT_EQ(error.code(), std::errc::permission_denied);
      EXPECT_NE(std::string(error.what()).find("Datei ist schreibgeschützt"), std::string::npos);
    }
    EXPECT_EQ(Stat(page).st_mode & 07777, c.mode);
    EXPECT_EQ(Read(page), c.edited ? "<head>" + kAtRoot + "</head>" : "<head></head>");
    EXPECT_EQ(Names(), std::vector<std::string>{"index.htm"});
    ::unlink(page.c_str());
  }
}

TEST_F(PageFileTest, KeepsPermissionBitsAndOwner) {
  const std::string page = Write("index.htm", "<head></head>", 0640);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(page.c_str(), kNobody, kNobody), 0);
  }
  const struct stat before = Stat(page);
  EXPECT_TRUE(SetUnsetFaviconInFile(page, false, kPrefix, m_depth));
  const struct stat after = Stat(page);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_NE(after.st_ino, before.st_ino);  // a new file took the old one's place
}

// Every extended attribute of a file, the ACL's system.posix_acl_access among them.
std::map<std::string, std::string> Attributes(const std::string& path) {
  std::map<std::string, std::string> attributes;
  std::string names(4096, '\0');
  names.resize(static_cast<std::size_t>(
      std::max<ssize_t>(0, ::llistxattr(path.c_str(), names.data(), names.size()))));
  for (std::size_t at = 0; at < names.size(); at += std::string(names.c_str() + at).size() + 1) {
    std::string value(4096, '\0');
    value.resize(static_cast<std::size_t>(std::max<ssize_t>(
        0, ::lgetxattr(path.c_str(), names.c_str() + at, value.data(), value.size()))));
    attributes[names.c_str() + at] = value;
  }
  return attributes;
}

// A page keeps its ACL and extended attributes, gains none from its folder's default ACL, and
// one it can't keep (a file capability, which only root may set) fails that page alone.
TEST_F(PageFileTest, KeepsAclAndExtendedAttributesOrFails) {
  const std::string probe = Write("probe", "");
  if (std::system(("setfacl -m u:nobody:r '" + probe + "' 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "no ACLs on the test folder's file system (or no setfacl)";
  }
  ::unlink(probe.c_str());
  struct Row {
    const char* name;
    std::string setUp;  // shell commands on $P, the page
    bool asNobody;      // edited by an ordinary user (the test as root only)
    const char* failure;
  };
  const Row rows[] = {
      {"ACL and user attribute",
       "setfacl -m u:nobody:r,g:daemon:rw \"$P\" && setfattr -n user.note -v hi \"$P\"", false, ""},
      {"no ACL under a default ACL", "setfacl -d -m u:nobody:rwx \"$(dirname \"$P\")\"", false, ""},
      {"capability by an ordinary user",
       "chown nobody \"$P\" \"$(dirname \"$P\")\" && setcap cap_net_raw+ep \"$P\"", true,
       "Erweitertes Attribut security.capability kann nicht übernommen werden: "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.asNobody && ::geteuid() != 0) {
      continue;
    }
    const std::string page = Write("index.htm", "<head></head>", 0640);
    ASSERT_EQ(std::system(("P='" + page + "'; " + row.setUp).c_str()), 0);
    const auto before = Attributes(page);
    const mode_t mode = Stat(page).st_mode;  // the ACL's mask shows in the group bits
    const int status = InChild([&] {
      if (row.asNobody && ::setuid(kNobody) != 0) {
        return false;
      }
      try {
        return SetUnsetFaviconInFile(page, false, kPrefix, m_depth) && *row.failure == '\0';
      } catch (const std::system_error& error) {
        return std::string(error.what()).starts_with(row.failure) &&
               std::string(error.what()).ends_with(page + ": Operation not permitted");
      }
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Attributes(page), before);
    EXPECT_EQ(Stat(page).st_mode, mode);
    EXPECT_EQ(Read(page), *row.failure ? "<head></head>" : "<head>" + kAtRoot + "</head>");
    EXPECT_EQ(Names(), std::vector<std::string>{"index.htm"});
    ::unlink(page.c_str());
  }
}

TEST_F(PageFileTest, SymbolicLinkStaysAndItsTargetGetsTheText) {
  ASSERT_EQ(::mkdir((m_root + "real").c_str(), 0755), 0);
  const std::string target = Write("real/page.htm", "<head></head>", 0600);
  ASSERT_EQ(::symlink("real/page.htm", (m_root + "hop.htm").c_str()), 0);
  ASSERT_EQ(::symlink("hop.htm", (m_root + "index.htm").c_str()), 0);
  EXPECT_TRUE(SetUnsetFaviconInFile(m_root + "index.htm", false, kPrefix, m_depth));
  EXPECT_TRUE(S_ISLNK(Stat(m_root + "index.htm").st_mode));
  EXPECT_TRUE(S_ISLNK(Stat(m_root + "hop.htm").st_mode));
  EXPECT_EQ(Read(target), "<head>" + kAtRoot + "</head>");
  EXPECT_EQ(Stat(target).st_mode & 07777, 0600u);
  EXPECT_EQ(Names(), (std::vector<std::string>{"hop.htm", "index.htm", "real"}));
}

TEST_F(PageFileTest, FailedWriteLeavesThePageAndNoTemporaryFile) {
  // A file size limit makes the write of the new text fail half-way, for root too.
  const std::string original = "<head></head>" + std::string(6000, 'x');
  const std::string page = Write("index.htm", original);
  const int status = InChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
      return false;
    }
    try {
      SetUnsetFaviconInFile(page, false, kPrefix, m_depth);
    } catch (const std::system_error& error) {
      return error.code() == std::errc::file_too_large &&
             std::string(error.what())
                 .starts_with(
                     "Datei überschreitet die Grenze für "
                     "Dateigrößen: " +
                     page);
    }
    return false;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Read(page), original);
  EXPECT_EQ(Names(), std::vector<std::string>{"index.htm"});
}

// An unprivileged user may write the page itself but not replace it: the page stays, no file
// is left beside it, and the failure names the step and code that failed.
TEST_F(PageFileTest, FolderThatRefusesTheReplaceLeavesThePage) {
  struct Row {
    const char* name;
    mode_t folderMode;  // as root; the folder is 0555 where the tests run unprivileged
    std::errc code;
    const char* words;
  };
  const Row rows[] = {
      // creating the new file beside the page fails
      {"folder not writable", 0755, std::errc::permission_denied, "angelegt"},
      // the new file is made, but a sticky folder keeps another user's page from being replaced
      {"sticky folder, page of another user", 01777, std::errc::operation_not_permitted,
       "nicht ersetzt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (::geteuid() != 0 && row.folderMode != 0755) {
      continue;  // needs a page of another user
    }
    const std::string page = Write("index.htm", "<head></head>", 0666);
    ASSERT_EQ(::chmod(m_root.c_str(), ::geteuid() == 0 ? row.folderMode : 0555), 0);
    const int status = InChild([&] {
      if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
        return false;
      }
      if (::geteuid() == 0) {
        return false;
      }
      try {
        SetUnsetFaviconInFile(page, false, kPrefix, m_depth);
      } catch (const std::system_error& error) {
        return error.code() == row.code &&
               std::string(error.what()).find(row.words) != std::string::npos;
      }
      return false;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Read(page), "<head></head>");
    EXPECT_EQ(Names(), std::vector<std::string>{"index.htm"});
    ::chmod(m_root.c_str(), 0700);
  }
}

TEST_F(PageFileTest, MissingPageFailsWithItsPathAndCode) {
  try {
    SetUnsetFaviconInFile(m_root + "gone.htm", false, kPrefix, m_depth);
    ADD_FAILURE() << "no failure";
  } catch (const std::system_error& error) {
    EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory);
    EXPECT_NE(std::string(error.what()).find(m_root + "gone.htm"), std::string::npos);
  }
  EXPECT_TRUE(Names().empty());
}

TEST_F(PageFileTest, EmptyPageFailsAndStaysEmpty) {
  const std::string page = Write("empty.htm", "");
  EXPECT_THROW(
      {
        try {
          SetUnsetFaviconInFile(page, false, kPrefix, m_depth);
        } catch (const std::system_error& error) {
          EXPECT_EQ(error.code().value(), 9);
          throw;
        }
      },
      std::system_error);
  EXPECT_EQ(Read(page), "");
}

TEST_F(PageFileTest, ReplaceCreatesAMissingFileAndKeepsBinaryBytes) {
  const std::string bytes("\0\x01\xff\r\n", 5);
  ReplaceFileContents(m_root + "favicon.ico", bytes);
  EXPECT_EQ(Read(m_root + "favicon.ico"), bytes);
  EXPECT_EQ(ReadWholeFile(m_root + "favicon.ico"), bytes);
  EXPECT_EQ(Names(), std::vector<std::string>{"favicon.ico"});
}

TEST_F(PageFileTest, ReplaceRefusesAFolder) {
  ASSERT_EQ(::mkdir((m_root + "page.htm").c_str(), 0755), 0);
  EXPECT_THROW(ReplaceFileContents(m_root + "page.htm", "x"), std::system_error);
  EXPECT_THROW(ReadWholeFile(m_root + "page.htm"), std::system_error);
  EXPECT_EQ(Names(), std::vector<std::string>{"page.htm"});
}

TEST_F(PageFileTest, PipeUnderAPageNameIsRefusedWithoutWaiting) {
  ASSERT_EQ(::mkfifo((m_root + "pipe.htm").c_str(), 0644), 0);
  try {
    SetUnsetFaviconInFile(m_root + "pipe.htm", false, kPrefix, m_depth);
    ADD_FAILURE() << "no failure";
  } catch (const std::system_error& error) {
    EXPECT_EQ(error.code(), std::errc::invalid_argument);
  }
}

// A run killed while it writes leaves a temporary file no one but the owner may read.
TEST_F(PageFileTest, TemporaryFileIsOwnerOnlyWhileItIsWritten) {
  const std::string page = Write("private.htm", "<head></head>" + std::string(20000, 'x'), 0600);
  const int status = InChild([&] {
    const rlimit limit{8192, 8192};  // SIGXFSZ ends the child half-way through the write
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
           SetUnsetFaviconInFile(page, false, kPrefix, m_depth);
  });
  EXPECT_EQ(status, 100 + SIGXFSZ);
  const std::vector<std::string> names = Names();
  ASSERT_EQ(names.size(), 2u);
  ASSERT_TRUE(IsTemporaryName(names[0])) << names[0];
  EXPECT_EQ(Stat(m_root + names[0]).st_mode & 07777, 0600u);
}

// A page another program changed, moved or swapped after it was read is not replaced: its
// change would be lost, or the run would make a page again that is gone or write over another.
TEST_F(PageFileTest, PageChangedMeanwhileIsNotReplaced) {
  const std::string outside = Write("outside", "outside");
  struct Row {
    const char* name;
    bool atTheRename;  // in the last moment, after every check: only a name exchange sees it
    std::function<void(const std::string& page)> change;
    std::vector<std::string> names;
    std::string pageAfter;  // "" where no file is at the page's name any more
  };
  const Row rows[] = {
      {"appended",
       false,
       [](const std::string& page) { std::ofstream(page, std::ios::app) << "appended"; },
       {"index.htm", "outside"},
       "<head></head>appended"},
      {"moved away",
       true,
       [](const std::string& page) { std::filesystem::rename(page, page + ".moved"); },
       {"index.htm.moved", "outside"},
       ""},
      {"swapped for a link",
       true,
       [&outside](const std::string& page) {
         std::filesystem::rename(page, page + ".moved");
         std::filesystem::create_symlink(outside, page);
       },
       {"index.htm", "index.htm.moved", "outside"},
       "outside"},
      {"swapped for another file",
       true,
       [this](const std::string& page) {
         std::filesystem::rename(page, page + ".moved");
         Write("index.htm", "another");
       },
       {"index.htm", "index.htm.moved", "outside"},
       "another"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.atTheRename && !ExchangesNames()) {
      GTEST_SKIP() << "this file system can't exchange two names in one step";
    }
    std::filesystem::remove(m_root + "index.htm.moved");
    std::filesystem::remove(m_root + "index.htm");
    const std::string page = Write("index.htm", "<head></head>");
    PreparedPage prepared = PreparePageEdit(page, false, kPrefix, m_depth);
    ASSERT_TRUE(prepared.replace);
    const auto change = [&] { row.change(page); };
    if (!row.atTheRename) {
      change();
    }
    EXPECT_THROW(prepared.replace->Commit(row.atTheRename ? change : std::function<void()>{}),
                 std::system_error);
    prepared = {};
    EXPECT_EQ(Names(), row.names);
    EXPECT_EQ(Read(page), row.pageAfter);
    EXPECT_EQ(Read(outside), "outside");
    if (row.atTheRename) {
      EXPECT_EQ(Read(page + ".moved"), "<head></head>");
    }
  }
}

// Every page that can be listed can be replaced, also where the temporary file's full path
// would be longer than the system takes.
TEST_F(PageFileTest, PageNearTheLongestPathIsReplaced) {
  std::string folder = m_root;
  while (folder.size() < PATH_MAX - 300) {
    folder += std::string(200, 'd') + "/";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  }
  const std::string page = folder + std::string(PATH_MAX - 10 - folder.size(), 'p') + ".htm";
  std::ofstream(page) << "<head></head>";
  EXPECT_TRUE(SetUnsetFaviconInFile(page, false, kPrefix, CountOccurrences("/", folder, 0)));
  EXPECT_EQ(Read(page), "<head>" + kAtRoot + "</head>");
}

TEST_F(PageFileTest, LongestPageNameIsReplacedToo) {
  const std::string name = std::string(251, 'n') + ".htm";  // 255 bytes, the longest name
  const std::string page = Write(name, "<head></head>");
  EXPECT_TRUE(SetUnsetFaviconInFile(page, false, kPrefix, m_depth));
  EXPECT_EQ(Read(page), "<head>" + kAtRoot + "</head>");
  EXPECT_EQ(Names(), std::vector<std::string>{name});
}

// Every page is opened from the root's handle down, by either way of walking: a link or a file
// on the way, a link as the page, a path out of the root all fail, each with its own code.
TEST_F(PageFileTest, WalkFromTheRootFollowsNoLink) {
  const std::string outside = testing::TempDir();
  ASSERT_EQ(::mkdir((m_root + "a").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((m_root + "a/b").c_str(), 0755), 0);
  Write("a/b/page.htm", "<head></head>");
  Write("a/file.htm", "x");
  ASSERT_EQ(::symlink(outside.c_str(), (m_root + "a/out").c_str()), 0);
  ASSERT_EQ(::symlink("b", (m_root + "a/in").c_str()), 0);
  ASSERT_EQ(::symlink((m_root + "a/file.htm").c_str(), (m_root + "a/b/link.htm").c_str()), 0);
  const struct {
    std::string path;
    int error;
  } cases[] = {
      {m_root + "a/b/page.htm", 0},           {m_root + "a/out/x.htm", ELOOP},
      {m_root + "a/in/page.htm", ELOOP},      {m_root + "a/b/link.htm", ELOOP},
      {m_root + "a/file.htm/x.htm", ENOTDIR}, {m_root + "a/../a/b/page.htm", EXDEV},
      {outside + "page.htm", EXDEV},          {m_root + "a/b/gone.htm", ENOENT},
  };
  for (const WalkMethod method : {WalkMethod::kBest, WalkMethod::kNameByName}) {
    SiteWalker walker(m_root, method);
    for (const auto& c : cases) {
      SCOPED_TRACE(c.path);
      int error = 0;
      try {
        const OpenedPage page = OpenPage(walker, c.path);
        EXPECT_EQ(page.info.st_ino, Stat(c.path).st_ino);
      } catch (const std::system_error& failure) {
        error = failure.code().value();
      }
      EXPECT_EQ(error, c.error);
    }
  }
}

// True while a lease on the file is being broken (another opener waits for it).
bool LeaseOf(const std::string& path, const char* state) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  std::ifstream locks("/proc/locks");
  const std::string inode = std::string(":").append(std::to_string(info.st_ino)).append(" ");
  std::string line;
  while (std::getline(locks, line)) {
    if (line.find("LEASE") != std::string::npos && line.find(state) != std::string::npos &&
        line.find(inode) != std::string::npos) {
      return true;
    }
  }
  return false;
}

// Another program that opens the page for writing between the checks and the rename loses
// nothing: the page keeps its read lease till then, the run drops its text, the write lands.
TEST_F(PageFileTest, WriterJustBeforeTheRenameIsNotLost) {
  {
    const std::string probe = Write("probe", "");
    const int fd = ::open(probe.c_str(), O_RDONLY);
    const bool leases = ::fcntl(fd, F_SETLEASE, F_RDLCK) == 0;
    ::close(fd);
    ::unlink(probe.c_str());
    if (!leases) {
      GTEST_SKIP() << "this file system grants no leases";
    }
  }
  const std::string page = Write("index.htm", "<head></head>");
  SiteWalker walker(m_root);
  PreparedPage prepared =
      WritePlannedEdit(PlanPageEdit(OpenPage(walker, page), {}, kPrefix, m_depth, {}), {});
  ASSERT_TRUE(prepared.replace);
  std::atomic<bool> written{false};
  std::thread writer;
  const auto openForWriting = [&] {
    writer = std::thread([&] {
      std::ofstream(page, std::ios::app) << "appended";
      written = true;
    });
    // The writer waits in its open while the page is leased; without a lease it is done at once.
    for (int i = 0; i < 5000 && !written && !LeaseOf(page, "BREAKING"); ++i) {
      ::usleep(1000);
    }
  };
  try {
    prepared.replace->Commit(openForWriting);
    ADD_FAILURE() << "replaced";
  } catch (const std::system_error& error) {
    EXPECT_EQ(error.code(), std::errc::resource_unavailable_try_again);
  }
  prepared = {};
  writer.join();
  EXPECT_EQ(Read(page), "<head></head>appended");
  EXPECT_EQ(Names(), std::vector<std::string>{"index.htm"});
}

}  // namespace
}  // namespace tervando
