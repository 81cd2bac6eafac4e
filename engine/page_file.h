#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <ctime>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/head_editor.h"
#include "engine/icon_block.h"
#include "engine/page_tail.h"
#include "engine/page_walk.h"
#include "engine/unique_fd.h"

namespace tervando {

// The prefix of every temporary file the program writes beside a page: ".tervando-", 16
// lower-case hex digits, ".tmp". Hidden, so no page filter takes it for a page.
inline constexpr char kTemporaryPrefix[] = ".tervando-";
inline constexpr char kTemporarySuffix[] = ".tmp";
// True for a name of that exact pattern.
bool IsTemporaryName(std::string_view name);
// Removes the files of these paths below the web root whose name has that pattern and that are
// still regular files, each from its folder as reached from the root's handle (never through a
// link, never outside); returns how many were removed. Only while no run works in their folders.
int RemoveTemporaryFiles(const OpenFolder& root, const std::string& webRoot,
                         const std::vector<std::string>& paths);

// Which file was read: checked again just before the file is replaced, so a change another
// program made meanwhile is not overwritten.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec changed{};  // ctime
  bool operator==(const FileIdentity& other) const;
};

struct FileRead {
  std::string bytes;
  FileIdentity identity;
};

// Reads the whole file as bytes. Throws std::system_error (errno) when it is missing or
// can't be read.
std::string ReadWholeFile(const std::string& path);
FileRead ReadWholeFileWithIdentity(const std::string& path);
// Reads the file `path` below the web root `webRoot` (held open as `root`) from the root's handle,
// following no link on the way or at its end: a link fails with ELOOP, a path outside the root
// with EXDEV, anything but a regular file as ReadWholeFile's would.
FileRead ReadFileBelow(const OpenFolder& root, const std::string& webRoot, const std::string& path);

// Writes the rest of a new file's contents into it (the open file, where the rest begins).
using WriteRest = std::function<void(int, off_t)>;

// How WriteTemporary writes a new file.
struct TemporaryOptions {
  // The target as it was read: the commit replaces it only while it is still that file.
  std::optional<FileIdentity> expected;
  // Writes what follows the pieces into the open file at the given offset.
  WriteRest rest;
  // Flushed to the disk when written, or else at the latest before the rename.
  bool flush = true;
  // The target, opened when it was read: its extended attributes are read through it rather
  // than by opening its name once more.
  int openTarget = -1;
};

class PendingReplace;
PendingReplace WriteTemporary(FolderRef folder, const std::string& targetName,
                              const std::string& shownPath,
                              std::span<const std::string_view> pieces,
                              const TemporaryOptions& options);

// New contents written to an owner-only temporary file in the target's folder and flushed to
// the disk, waiting to be renamed over the target. It stays owner-only until just before the
// rename, which gives it the target's exact mode. Dropping it unrenamed removes the temporary
// file. All names are taken relative to the one open folder, so every file that can be opened
// can be replaced, however long its path, and the check and the rename see the same folder.
class PendingReplace {
 public:
  PendingReplace(PendingReplace&& other) noexcept;
  PendingReplace& operator=(PendingReplace&& other) noexcept;
  PendingReplace(const PendingReplace&) = delete;
  PendingReplace& operator=(const PendingReplace&) = delete;
  ~PendingReplace();

  // Renames the temporary file over the target. When `expected` was given, the target must
  // still be the file that was read; otherwise nothing is replaced and a std::system_error
  // says the file was changed meanwhile (EAGAIN) or swapped for another (ESTALE). A page held
  // by a read lease fails so (EAGAIN) too when another program opened it for writing since it
  // was read: that program's write then goes to the page, never to a replaced file.
  // `beforeRename` runs after the checks, just before the rename (for tests of that moment).
  // The page as read stays open until this object goes: closing the replaced page frees its
  // blocks, which can wait for the disk, so a caller with more to do lets it go on another
  // thread.
  void Commit(const std::function<void()>& beforeRename = {});
  // Flushes the folder, so the rename itself is on the disk.
  void FlushFolder() const;
  // A temporary written without its flush (WriteTemporary's `flush` false) is flushed at the
  // commit, unless the caller flushed the whole file system after it was written and says so
  // here: many pages then reach the disk with one flush instead of one each.
  bool NeedsFlush() const { return m_needsFlush; }
  void FlushedWithFileSystem() { m_needsFlush = false; }
  // Keeps the page as read open until the rename; `leased`: it holds a read lease.
  void HoldPage(UniqueFd page, bool leased);

 private:
  friend PendingReplace WriteTemporary(FolderRef folder, const std::string& targetName,
                                       const std::string& shownPath,
                                       std::span<const std::string_view> pieces,
                                       const TemporaryOptions& options);
  PendingReplace() = default;
  void Drop();
  void CheckUnchanged() const;
  bool ExchangeHeld();

  FolderRef m_folder;
  UniqueFd m_temporary;  // open until the rename, so its mode is set on the file written
  UniqueFd m_page;       // the page as read, holding its read lease until the rename
  bool m_leased = false;
  bool m_needsFlush = false;
  std::optional<mode_t> m_mode;
  std::string m_temporaryName;
  std::string m_targetName;
  std::string m_shownPath;
  std::optional<FileIdentity> m_expected;
};

// Writes `pieces` as the new contents of `targetName` in `folder` into a temporary file beside
// it. A target that exists must be a regular file (not a link) with a write bit that this
// process may write ("Datei ist schreibgeschützt", EACCES, otherwise); its owner and group
// are taken over where the process may set them, its mode at the commit.
PendingReplace WriteTemporary(FolderRef folder, const std::string& targetName,
                              const std::string& shownPath,
                              std::span<const std::string_view> pieces,
                              const TemporaryOptions& options = {});

// Writes the pieces, one after the other, as the file's new contents into a temporary file
// beside the file `path` finally stands for (links followed, so a link stays a link; see
// WriteTemporary). A missing file gets the usual mode for new files. Failures throw
// std::system_error and leave nothing behind.
PendingReplace PrepareReplace(const std::string& path, std::span<const std::string_view> pieces,
                              const std::optional<FileIdentity>& expected = std::nullopt);

// Replaces the file's contents with these bytes so that it is never lost: prepared, renamed
// over the old file, and the folder flushed. On failure the old file stays byte for byte and no
// temporary file is left. A missing file is created.
void ReplaceFileContents(const std::string& path, std::string_view bytes);

// How a run treats a page whose text changes.
struct PageEditOptions {
  bool dryRun = false;  // find the change, write nothing
  // When set, describes the change as text (path, old text, new text).
  std::function<std::string(const std::string&, std::string_view, std::string_view)> describe;
  // A larger page is read up to its head and its tail copied in the kernel (page_tail.h); not
  // when its change is described, which shows the whole page.
  std::uint64_t wholeReadLimit = kWholeReadLimit;
  // The new text is flushed to the disk when it is written; otherwise the caller flushes the
  // file system before the commit (see PendingReplace::NeedsFlush).
  bool flushEachPage = true;
};

// A page read and edited, its new text (if it changes) waiting beside it to be committed.
struct PreparedPage {
  bool changed = false;
  std::optional<PendingReplace> replace;  // none when unchanged or in a dry run
  std::string difference;                 // the description, when asked for
  int foreignLinks = 0;                   // the page's own icon links switched off or on
};

// A page of a run, opened through its walked folder without following a link, and read: the
// handle stays open until its replace is committed or dropped.
struct OpenedPage {
  WalkedPlace place;
  std::string path;  // as listed and shown
  UniqueFd file;
  struct stat info {};
};

// Opens the page `path` below the walker's root. A page that is a link fails with ELOOP, one
// that is no regular file with EISDIR or EINVAL.
OpenedPage OpenPage(SiteWalker& walker, const std::string& path);

// A page read and its edit found, on the way to its temporary file.
struct PagePlan {
  OpenedPage page;
  std::string bytes;             // the whole page, or its head when the tail is left on the disk
  std::optional<PageTail> tail;  // copied into the new page as it is
  IconPageEdit edit;
  PreparedPage result;  // changed and difference already set
};

// Reads the opened page (one read where the size holds; a large one up to its head) and finds
// its edit for the set.
PagePlan PlanPageEdit(OpenedPage page, const IconBlockOptions& block,
                      const std::string& faviconLinkPrefix, int webRootDepth,
                      const PageEditOptions& options);

// Writes the planned new text beside the page (not in a dry run, not when unchanged). Where the
// kernel grants one, the page keeps a read lease from here to the rename, so another program
// that opens it for writing meanwhile is noticed (see PendingReplace::Commit); where it does not
// (not the owner, network file systems), the identity check alone guards it. A page that
// another program holds open for writing fails (EBUSY).
PreparedPage WritePlannedEdit(PagePlan plan, const PageEditOptions& options);

}  // namespace tervando
