#include "engine/page_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>
#include <span>

#include "engine/errors.h"
#include "engine/head_editor.h"

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
  // Closes now so a failing close (delayed write error) is seen; -1 sets errno.
  int Close() {
    const int result = ::close(m_fd);
    m_fd = -1;
    return result;
  }

 private:
  int m_fd;
};

// Removes the temporary file unless it was renamed over the page.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : m_path(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!m_kept) {
      ::unlink(m_path.c_str());
    }
  }
  const std::string& Path() const { return m_path; }
  void Keep() { m_kept = true; }

 private:
  std::string m_path;
  bool m_kept = false;
};

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path finally stands for: links are followed to their end.
std::string ResolveTarget(const std::string& path) {
  struct stat linkStat {};
  if (::lstat(path.c_str(), &linkStat) != 0 || !S_ISLNK(linkStat.st_mode)) {
    return path;
  }
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) {
    throw FileError(errno, "Verknüpfung führt zu keiner Datei", path);
  }
  std::string target(real);
  std::free(real);
  return target;
}

// A new, empty file beside the target. Its short name fits beside the longest page name, and
// no page filter takes it for a page.
std::pair<std::string, int> CreateTemporaryBeside(const std::string& target,
                                                  const std::string& shownPath) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  const std::string stem = FolderOf(target) + "/.tervando-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%016llx.tmp", static_cast<unsigned long long>(random()));
    std::string candidate = stem + suffix;
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      return {std::move(candidate), fd};
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
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
    (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  }
  if (::fchmod(fd, (old.st_mode & 07777) | S_IWUSR) != 0) {
    throw FileError(errno, "Dateiattribute können nicht gesetzt werden", shownPath);
  }
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    return;
  }
  // The rename is done; a folder that can't be flushed (some file systems) changes nothing.
  (void)::fsync(fd);
  ::close(fd);
}

// Writes the pieces, one after the other, as the file's new contents (see ReplaceFileContents).
// With FolderFlush::kLater the rename is left to the next FlushFileSystem or to the system's own
// writeback: the page is whole either way, a crash can only bring back its old text.
enum class FolderFlush { kNow, kLater };

void ReplaceWithPieces(const std::string& path, std::span<const std::string_view> pieces,
                       FolderFlush flush) {
  const std::string target = ResolveTarget(path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) {
    throw FileError(errno, "Datei kann nicht geprüft werden", path);
  }
  if (exists && !S_ISREG(old.st_mode)) {
    throw FileError(S_ISDIR(old.st_mode) ? EISDIR : EINVAL, "Keine gewöhnliche Datei", path);
  }

  auto [temporaryPath, fd] = CreateTemporaryBeside(target, path);
  TemporaryFile temporary(std::move(temporaryPath));
  FileHandle file(fd);
  for (const std::string_view piece : pieces) {
    WriteAll(file.Get(), piece, path);
  }
  if (exists) {
    TakeOverOwnerAndMode(file.Get(), old, path);
  }
  if (::fsync(file.Get()) != 0 || file.Close() != 0) {
    throw FileError(errno, "Datei kann nicht geschrieben werden", path);
  }
  if (::rename(temporary.Path().c_str(), target.c_str()) != 0) {
    throw FileError(errno, "Datei kann nicht ersetzt werden", path);
  }
  temporary.Keep();
  if (flush == FolderFlush::kNow) {
    SyncFolder(FolderOf(target));
  }
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
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
  std::string bytes;
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
  return bytes;
}

void ReplaceFileContents(const std::string& path, std::string_view bytes) {
  ReplaceWithPieces(path, std::span<const std::string_view>(&bytes, 1), FolderFlush::kNow);
}

void WriteFaviconEdit(const std::string& pagePath, std::string_view original,
                      const FaviconEdit& edit) {
  const std::string_view pieces[] = {original.substr(0, edit.offset), edit.inserted,
                                     original.substr(edit.offset + edit.removed)};
  ReplaceWithPieces(pagePath, pieces, FolderFlush::kLater);
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

bool SetUnsetFaviconInFile(const std::string& pagePath, bool remove,
                           const std::string& faviconLinkPrefix, int webRootDepth) {
  const std::string original = ReadWholeFile(pagePath);
  const FaviconEdit edit =
      FindFaviconEdit(original, pagePath, remove, faviconLinkPrefix, webRootDepth);
  if (edit.LeavesUnchanged(original)) {
    return false;
  }
  WriteFaviconEdit(pagePath, original, edit);
  return true;
}

}  // namespace tervando
