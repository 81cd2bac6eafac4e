#include "engine/page_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <random>

#include "engine/errors.h"
#include "engine/head_editor.h"
#include "engine/real_path.h"

namespace tervando {

namespace {

class FileHandle {
 public:
  explicit FileHandle(int fd) : m_fd(fd) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
  }
  int Get() const { return m_fd; }
  int Release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
  }
  // Closes now so a failing close (delayed write error) is seen; -1 sets errno.
  int Close() {
    const int result = ::close(m_fd);
    m_fd = -1;
    return result;
  }

 private:
  int m_fd;
};

constexpr std::size_t kHexDigits = 16;

std::pair<std::string, std::string> SplitFolder(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    return {".", path};
  }
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The file a path finally stands for: links are followed to their end.
std::string ResolveTarget(const std::string& path) {
  struct stat linkStat {};
  if (::lstat(path.c_str(), &linkStat) != 0 || !S_ISLNK(linkStat.st_mode)) {
    return path;
  }
  std::string target = RealPath(path);
  if (target.empty()) {
    throw FileError(errno, "Verknüpfung führt zu keiner Datei", path);
  }
  return target;
}

// The process's file creation mask, read without changing it (umask() would, for a moment,
// for every thread).
mode_t CreationMask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) {
      return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
  }
  return 022;
}

// A new, empty, owner-only file in the folder. Its short name fits beside the longest name.
std::pair<std::string, int> CreateTemporaryIn(int folder, const std::string& shownPath) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[40];
    std::snprintf(name, sizeof name, "%s%016llx%s", kTemporaryPrefix,
                  static_cast<unsigned long long>(random()), kTemporarySuffix);
    const int fd = ::openat(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      return {name, fd};
    }
    if (errno != EEXIST) {
      break;
    }
  }
  throw FileError(errno, "Datei kann nicht neu angelegt werden", shownPath);
}

void WriteAll(int fd, std::string_view bytes, const std::string& shownPath) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      throw FileError(errno, "Datei kann nicht geschrieben werden", shownPath);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// Owner and group where allowed (root; or a group the user belongs to), then the mode, since
// a change of owner can clear mode bits.
void TakeOverOwnerAndMode(int fd, const struct stat& old, const std::string& shownPath) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
      ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
    // Neither is allowed: the new file keeps this user as owner, as any edit by them would.
  }
  if (::fchmod(fd, (old.st_mode & 07777) | S_IWUSR) != 0) {
    throw FileError(errno, "Dateiattribute können nicht gesetzt werden", shownPath);
  }
}

FileIdentity IdentityOf(const struct stat& info) {
  return {info.st_dev, info.st_ino, info.st_size, info.st_ctim};
}

}  // namespace

bool IsTemporaryName(std::string_view name) {
  const std::string_view prefix = kTemporaryPrefix;
  const std::string_view suffix = kTemporarySuffix;
  if (name.size() != prefix.size() + kHexDigits + suffix.size() || !name.starts_with(prefix) ||
      !name.ends_with(suffix)) {
    return false;
  }
  for (const char c : name.substr(prefix.size(), kHexDigits)) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
      return false;
    }
  }
  return true;
}

int RemoveTemporaryFiles(const std::vector<std::string>& paths) {
  int removed = 0;
  for (const std::string& path : paths) {
    const std::size_t slash = path.rfind('/');
    struct stat info {};
    if (IsTemporaryName(
            std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1)) &&
        ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::unlink(path.c_str()) == 0) {
      ++removed;
    }
  }
  return removed;
}

bool FileIdentity::operator==(const FileIdentity& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

FileRead ReadWholeFileWithIdentity(const std::string& path) {
  // O_NONBLOCK: a pipe or device under a page's name must not stop the run; it is refused below.
  FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.Get() < 0) {
    throw FileError(errno, "Datei kann nicht geöffnet werden", path);
  }
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0) {
    throw FileError(errno, "Dateigröße unbekannt", path);
  }
  if (!S_ISREG(info.st_mode)) {
    throw FileError(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, "Keine gewöhnliche Datei", path);
  }
  FileRead read;
  read.identity = IdentityOf(info);
  std::string& bytes = read.bytes;
  std::size_t filled = 0;
  try {
    // One byte more than the size, so the end of the file is seen without growing the buffer
    // (growing would copy the page and hold it twice).
    bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    while (true) {
      if (filled == bytes.size()) {
        bytes.resize(bytes.size() + 65536);  // the file grew meanwhile
      }
      const ssize_t got = ::read(file.Get(), bytes.data() + filled, bytes.size() - filled);
      if (got < 0) {
        if (errno == EINTR) {
          continue;
        }
        throw FileError(errno, "Datei kann nicht gelesen werden", path);
      }
      if (got == 0) {
        break;
      }
      filled += static_cast<std::size_t>(got);
    }
  } catch (const std::bad_alloc&) {
    throw FileError(ENOMEM, "Datei zu groß zum Bearbeiten", path);
  }
  bytes.resize(filled);
  return read;
}

std::string ReadWholeFile(const std::string& path) {
  return std::move(ReadWholeFileWithIdentity(path).bytes);
}

PendingReplace::PendingReplace(PendingReplace&& other) noexcept { *this = std::move(other); }

PendingReplace& PendingReplace::operator=(PendingReplace&& other) noexcept {
  if (this != &other) {
    Drop();
    m_folder = other.m_folder;
    other.m_folder = -1;
    m_temporaryName = std::move(other.m_temporaryName);
    m_targetName = std::move(other.m_targetName);
    m_shownPath = std::move(other.m_shownPath);
    m_expected = other.m_expected;
  }
  return *this;
}

PendingReplace::~PendingReplace() { Drop(); }

void PendingReplace::Drop() {
  if (m_folder < 0) {
    return;
  }
  if (!m_temporaryName.empty()) {
    ::unlinkat(m_folder, m_temporaryName.c_str(), 0);
  }
  ::close(m_folder);
  m_folder = -1;
}

void PendingReplace::Commit() {
  if (m_expected) {
    struct stat now {};
    if (::fstatat(m_folder, m_targetName.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
        !(IdentityOf(now) == *m_expected)) {
      throw FileError(EAGAIN, "Datei wurde während der Bearbeitung von außen geändert",
                      m_shownPath);
    }
  }
  if (::renameat(m_folder, m_temporaryName.c_str(), m_folder, m_targetName.c_str()) != 0) {
    throw FileError(errno, "Datei kann nicht ersetzt werden", m_shownPath);
  }
  m_temporaryName.clear();
}

void PendingReplace::FlushFolder() const {
  // The rename is done; a folder that can't be flushed (some file systems) changes nothing.
  if (m_folder >= 0) {
    (void)::fsync(m_folder);
  }
}

PendingReplace PrepareReplace(const std::string& path, std::span<const std::string_view> pieces,
                              const std::optional<FileIdentity>& expected) {
  const auto [folderPath, targetName] = SplitFolder(ResolveTarget(path));
  FileHandle folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() < 0) {
    throw FileError(errno, "Ordner kann nicht geöffnet werden", path);
  }
  struct stat old {};
  const bool exists = ::fstatat(folder.Get(), targetName.c_str(), &old, 0) == 0;
  if (!exists && errno != ENOENT) {
    throw FileError(errno, "Datei kann nicht geprüft werden", path);
  }
  if (exists && !S_ISREG(old.st_mode)) {
    throw FileError(S_ISDIR(old.st_mode) ? EISDIR : EINVAL, "Keine gewöhnliche Datei", path);
  }

  PendingReplace pending;
  auto [temporaryName, fd] = CreateTemporaryIn(folder.Get(), path);
  pending.m_folder = folder.Release();
  pending.m_temporaryName = std::move(temporaryName);
  pending.m_targetName = targetName;
  pending.m_shownPath = path;
  pending.m_expected = expected;
  FileHandle file(fd);
  for (const std::string_view piece : pieces) {
    WriteAll(file.Get(), piece, path);
  }
  if (exists) {
    TakeOverOwnerAndMode(file.Get(), old, path);
  } else if (::fchmod(file.Get(), 0666 & ~CreationMask()) != 0) {
    throw FileError(errno, "Dateiattribute können nicht gesetzt werden", path);
  }
  if (::fsync(file.Get()) != 0 || file.Close() != 0) {
    throw FileError(errno, "Datei kann nicht geschrieben werden", path);
  }
  return pending;
}

void ReplaceFileContents(const std::string& path, std::string_view bytes) {
  PendingReplace pending = PrepareReplace(path, std::span<const std::string_view>(&bytes, 1));
  pending.Commit();
  pending.FlushFolder();
}

void FlushFileSystem(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    ::sync();
    return;
  }
#ifdef __linux__
  (void)::syncfs(fd);
#else
  ::sync();
#endif
  ::close(fd);
}

PreparedPage PreparePageEdit(const std::string& pagePath, bool remove,
                             const std::string& faviconLinkPrefix, int webRootDepth,
                             const PageEditOptions& options) {
  const FileRead read = ReadWholeFileWithIdentity(pagePath);
  const std::string& original = read.bytes;
  const FaviconEdit edit =
      FindFaviconEdit(original, pagePath, remove, faviconLinkPrefix, webRootDepth);
  PreparedPage prepared;
  if (edit.LeavesUnchanged(original)) {
    return prepared;
  }
  prepared.changed = true;
  if (options.describe) {
    prepared.difference = options.describe(pagePath, original, edit.AppliedTo(original));
  }
  if (!options.dryRun) {
    const std::string_view text = original;
    const std::string_view pieces[] = {text.substr(0, edit.offset), edit.inserted,
                                       text.substr(edit.offset + edit.removed)};
    prepared.replace = PrepareReplace(pagePath, pieces, read.identity);
  }
  return prepared;
}

bool SetUnsetFaviconInFile(const std::string& pagePath, bool remove,
                           const std::string& faviconLinkPrefix, int webRootDepth) {
  PreparedPage prepared = PreparePageEdit(pagePath, remove, faviconLinkPrefix, webRootDepth);
  if (prepared.replace) {
    prepared.replace->Commit();
  }
  return prepared.changed;
}

}  // namespace tervando
