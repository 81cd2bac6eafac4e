#include "engine/web_root_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/site/scratch_folder.h"

namespace tervando {
namespace {

using test::ReadFile;
using test::ScratchFolder;

// The lock files below `root` as a scan meets them, relative to it.
std::vector<std::string> LockFilesBelow(const std::string& root) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.path().filename() == kLockFileName) {
      found.push_back(std::filesystem::relative(entry.path(), root).string());
    }
  }
  return found;
}

// Another process holding the lock on `held` while `tried` is locked here.
bool BusyWhileAnotherProcessHolds(const std::string& held, const std::string& tried) {
  int ready[2];
  int release[2];
  if (pipe(ready) != 0 || pipe(release) != 0) {
    ADD_FAILURE() << "no pipe";
    return false;
  }
  const pid_t child = fork();
  if (child == 0) {
    close(ready[0]);
    close(release[1]);
    const WebRootLock lock(held);
    const char state = lock.Busy() ? 'b' : 'h';
    char ignored;
    const bool told = write(ready[1], &state, 1) == 1;
    while (told && read(release[0], &ignored, 1) > 0) {
    }
    _exit(0);
  }
  close(ready[1]);
  close(release[0]);
  char state = 0;
  const bool told = read(ready[0], &state, 1) == 1;
  const bool busy = WebRootLock(tried, nullptr, LockFilesBelow(tried)).Busy();
  close(release[1]);
  close(ready[0]);
  waitpid(child, nullptr, 0);
  EXPECT_TRUE(told && state == 'h') << held;
  return busy;
}

TEST(WebRootLock, OneRunAtATimeOnAFolderOrAFolderWithinIt) {
  ScratchFolder f;
  const std::string site = f.MakeFolder("site");
  const std::string sub = f.MakeFolder("site/sub");
  const std::string other = f.MakeFolder("other");
  ASSERT_EQ(symlink(site.c_str(), (f.Path() + "link").c_str()), 0);
  const struct {
    std::string held;
    std::string tried;
    bool busy;
  } cases[] = {
      {site, site, true},
      {site, f.Path() + "link/", true},  // another name of the same folder
      {site, sub + "/..", true},
      {site, sub, true},  // the run on the site edits the sub folder's pages too
      {sub, site, true},
      {sub, other, false},
      {other, site, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BusyWhileAnotherProcessHolds(c.held, c.tried), c.busy) << c.held << " " << c.tried;
  }
  EXPECT_FALSE(WebRootLock(site).Busy());  // the holder has ended
}

// Any user may flock a folder above the root (/tmp, /home, /): that stops no run. A run on a
// folder above is named as the folder it works on.
TEST(WebRootLock, OtherProgramsLocksAboveTheRootStopNothing) {
  ScratchFolder f;
  const std::string site = f.MakeFolder("site");
  const std::string sub = f.MakeFolder("site/sub");
  for (const std::string& folder : {f.Path(), std::string("/")}) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    // Another test process may hold "/" a moment: wait for it, within a bound.
    int tries = 0;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0 && ++tries < 500) {
      usleep(10'000);
    }
    ASSERT_LT(tries, 500) << folder;
    const WebRootLock lock(site);
    EXPECT_FALSE(lock.Busy()) << folder;
    close(fd);
  }
  const WebRootLock outer(site);
  const WebRootLock inner(sub);
  EXPECT_TRUE(inner.Busy());
  EXPECT_EQ(inner.BusyFolder(), site + (site.back() == '/' ? "" : "/"));
}

// A lock file counts only where no other user can hold it: owner-only, one name, and above the
// root owned by this user, root or the folder's owner. The root's own lock file is never
// followed as a link. None of these stops a run, and nothing outside is touched.
TEST(WebRootLock, LockFilesOthersCouldHoldStopNothing) {
  ScratchFolder f;
  ScratchFolder outside;
  const std::string site = f.MakeFolder("site");
  const std::string secret = outside.Write("secret", "private");
  ASSERT_EQ(chmod(secret.c_str(), 0600), 0);
  const std::string above = f.Path() + kLockFileName;
  const std::string own = site + "/" + kLockFileName;
  const struct {
    const char* name;
    std::function<bool()> plant;  // false: can't be made here (needs root)
    std::string held;             // the planted file, held with flock by another open file
  } cases[] = {
      {"readable by all", [&] { return !f.Write(kLockFileName, "").empty(); }, above},
      {"a second name of a file",
       [&] {
         outside.Write("second", "");
         chmod((outside.Path() + "second").c_str(), 0600);
         return link((outside.Path() + "second").c_str(), above.c_str()) == 0;
       },
       above},
      {"another user's, in a folder of root's",
       [&] {
         f.Write(kLockFileName, "");
         chmod(above.c_str(), 0600);
         return chown(above.c_str(), 12345, 12345) == 0;
       },
       above},
      {"the root's own a link to an outside file",
       [&] { return symlink(secret.c_str(), own.c_str()) == 0; }, secret},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.plant()) {
      std::filesystem::remove(above);
      continue;
    }
    const int holder = open(c.held.c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    {
      const WebRootLock lock(site);
      EXPECT_FALSE(lock.Busy());
    }
    close(holder);
    std::filesystem::remove(above);
    std::filesystem::remove(own);
    EXPECT_EQ(ReadFile(secret), "private");
    EXPECT_EQ(std::filesystem::status(secret).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }
}

TEST(WebRootLock, HeldUntilDestroyedAndNotByProgramsStartedMeanwhile) {
  ScratchFolder f;
  auto lock = std::make_unique<WebRootLock>(f.Path());
  ASSERT_FALSE(lock->Busy());
  EXPECT_TRUE(WebRootLock(f.Path()).Busy());
  // A program started while the lock is held outlives it. The pipe closes once it runs.
  int started[2];
  ASSERT_EQ(pipe2(started, O_CLOEXEC), 0);
  const pid_t sleeper = fork();
  if (sleeper == 0) {
    execl("/bin/sleep", "sleep", "10", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(started[1]);
  char ignored;
  EXPECT_EQ(read(started[0], &ignored, 1), 0);
  close(started[0]);
  lock.reset();
  EXPECT_FALSE(WebRootLock(f.Path()).Busy());
  kill(sleeper, SIGKILL);
  waitpid(sleeper, nullptr, 0);
  EXPECT_EQ(WebRootBusyText("/srv/site/"),
            "Ein anderer Lauf bearbeitet gerade diesen Ordner: /srv/site/");
}

}  // namespace
}  // namespace tervando
