#pragma once

#include <sys/types.h>

#include <ctime>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tervando {

// The prefix of every temporary file the program writes beside a page: ".tervando-", 16
// lower-case hex digits, ".tmp". Hidden, so no page filter takes it for a page.
inline constexpr char kTemporaryPrefix[] = ".tervando-";
inline constexpr char kTemporarySuffix[] = ".tmp";
// True for a name of that exact pattern.
bool IsTemporaryName(std::string_view name);
// Removes the files of these paths whose name has that pattern and that are still regular
// files; returns how many were removed. Only while no run works in their folders.
int RemoveTemporaryFiles(const std::vector<std::string>& paths);

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

// New contents written to an owner-only temporary file in the target's folder and flushed to
// the disk, waiting to be renamed over the target. The target is the file `path` finally
// stands for (links followed), so a link stays a link. Dropping it unrenamed removes the
// temporary file. All names are taken relative to the open folder, so every file that can be
// opened can be replaced, however long its path.
class PendingReplace {
 public:
  PendingReplace(PendingReplace&& other) noexcept;
  PendingReplace& operator=(PendingReplace&& other) noexcept;
  PendingReplace(const PendingReplace&) = delete;
  PendingReplace& operator=(const PendingReplace&) = delete;
  ~PendingReplace();

  // Renames the temporary file over the target. When `expected` was given, the target must
  // still be the file that was read; otherwise nothing is replaced and a std::system_error
  // says the file was changed meanwhile.
  void Commit();
  // Flushes the folder, so the rename itself is on the disk.
  void FlushFolder() const;

 private:
  friend PendingReplace PrepareReplace(const std::string& path,
                                       std::span<const std::string_view> pieces,
                                       const std::optional<FileIdentity>& expected);
  PendingReplace() = default;
  void Drop();

  int m_folder = -1;
  std::string m_temporaryName;
  std::string m_targetName;
  std::string m_shownPath;
  std::optional<FileIdentity> m_expected;
};

// Writes the pieces, one after the other, as the file's new contents into a temporary file
// beside it (see PendingReplace). The new file keeps the old one's permission bits plus the
// owner's write bit, and its owner and group where the process may set them; a missing file
// gets the usual mode for new files. Failures throw std::system_error and leave nothing behind.
PendingReplace PrepareReplace(const std::string& path, std::span<const std::string_view> pieces,
                              const std::optional<FileIdentity>& expected = std::nullopt);

// Replaces the file's contents with these bytes so that it is never lost: prepared, renamed
// over the old file, and the folder flushed. On failure the old file stays byte for byte and no
// temporary file is left. A missing file is created.
void ReplaceFileContents(const std::string& path, std::string_view bytes);

// Brings every finished write on the file system holding `path` to the disk (renames included).
void FlushFileSystem(const std::string& path);

// How a run treats a page whose text changes.
struct PageEditOptions {
  bool dryRun = false;  // find the change, write nothing
  // When set, describes the change as text (path, old text, new text).
  std::function<std::string(const std::string&, std::string_view, std::string_view)> describe;
};

// A page read and edited, its new text (if it changes) waiting beside it to be committed.
struct PreparedPage {
  bool changed = false;
  std::optional<PendingReplace> replace;  // none when unchanged or in a dry run
  std::string difference;                 // the description, when asked for
};

// Reads the page and finds its favicon edit; when the text changes and this is no dry run, the
// new text is written from the original bytes and the one new tag (the page is held once).
// Failures throw std::system_error.
PreparedPage PreparePageEdit(const std::string& pagePath, bool remove,
                             const std::string& faviconLinkPrefix, int webRootDepth,
                             const PageEditOptions& options = {});

// Reads the page, edits its favicon reference and replaces the file when the text changed.
// Returns true when the file was replaced. Failures throw std::system_error.
bool SetUnsetFaviconInFile(const std::string& pagePath, bool remove,
                           const std::string& faviconLinkPrefix, int webRootDepth);

}  // namespace tervando
