#include "engine/page_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <random>
#include <stdexcept>

#include "engine/ascii.h"
#include "engine/errors.h"
#include "engine/file_attributes.h"
#include "engine/head_editor.h"
#include "engine/messages.h"
#include "engine/real_path.h"

namespace tervando {

namespace {

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
    throw FileError(errno, kDanglingLinkText, path);
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
  throw FileError(errno, kCreateText, shownPath);
}

void WriteAll(int fd, std::string_view bytes, const std::string& shownPath) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      throw FileError(errno, kWriteText, shownPath);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// Owner and group where allowed (root; or a group the user belongs to). The mode follows at
// the commit: a change of owner can clear mode bits, and the file stays owner-only till then.
void TakeOverOwner(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
      ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
    // Neither is allowed: the new file keeps this user as owner, as any edit by them would.
  }
}

// A file without any write bit, or one this process may not write, is read-only: it is not
// replaced, even though its folder would allow renaming a new file over it.
void RefuseReadOnly(int folder, const std::string& name, const struct stat& old,
                    const std::string& shownPath) {
  const bool writable = ::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) == 0;
  if (!writable && errno == EROFS) {
    throw FileError(EROFS, kPageReadOnlyText, shownPath);  // the file system, not the file
  }
  if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || !writable) {
    throw FileError(EACCES, kPageReadOnlyText, shownPath);
  }
}

// The signal a lease break sends: ignored by default, unlike SIGIO, which would end the
// program. Nothing waits for it; the commit asks the lease itself.
constexpr int kLeaseBreakSignal = SIGURG;

// A read lease on the page as read, so another program's open for writing is noticed. False
// where the kernel grants none (not the owner, file systems without leases).
bool TakeReadLease(int fd, const std::string& shownPath) {
#ifdef F_SETLEASE
  if (::fcntl(fd, F_SETSIG, kLeaseBreakSignal) != 0) {
    return false;
  }
  if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
    return true;
  }
  if (errno == EAGAIN || errno == EBUSY) {
    throw FileError(EBUSY, kPageBusyText, shownPath);
  }
#else
  (void)fd;
  (void)shownPath;
#endif
  return false;
}

bool LeaseIntact(int fd) {
#ifdef F_GETLEASE
  return ::fcntl(fd, F_GETLEASE) == F_RDLCK;
#else
  (void)fd;
  return true;
#endif
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

int RemoveTemporaryFiles(const OpenFolder& root, const std::string& webRoot,
                         const std::vector<std::string>& paths) {
  int removed = 0;
  for (const std::string& path : paths) {
    if (!path.starts_with(webRoot)) {
      continue;
    }
    const std::string relative = path.substr(webRoot.size());
    const std::size_t slash = relative.rfind('/');
    const std::string name = relative.substr(slash == std::string::npos ? 0 : slash + 1);
    const UniqueFd below(slash == std::string::npos
                             ? -1
                             : OpenBelow(root.Fd(), std::string_view(relative).substr(0, slash),
                                         O_PATH | O_DIRECTORY));
    const int folder = slash == std::string::npos ? root.Fd() : below.Get();
    struct stat info {};
    if (folder >= 0 && IsTemporaryName(name) &&
        ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
        ::unlinkat(folder, name.c_str(), 0) == 0) {
      ++removed;
    }
  }
  return removed;
}

bool FileIdentity::operator==(const FileIdentity& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

namespace {

// Reads the open file to its end: `info` is its fstat; one read where the size holds.
std::string ReadOpenFile(int fd, const struct stat& info, const std::string& path) {
  std::string bytes;
  std::size_t filled = 0;
  try {
    // One byte more than the size, so the end of the file is seen without growing the buffer
    // (growing would copy the page and hold it twice).
    const std::size_t size = static_cast<std::size_t>(info.st_size);
    bytes.resize(size + 1);
    while (true) {
      if (filled == bytes.size()) {
        bytes.resize(bytes.size() + 65536);  // the file grew meanwhile
      }
      const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
      if (got < 0) {
        if (errno == EINTR) {
          continue;
        }
        throw FileError(errno, kReadText, path);
      }
      const std::size_t asked = bytes.size() - filled;
      filled += static_cast<std::size_t>(got);
      // A short read of a regular file that ends where its size said is its end.
      if (got == 0 || (static_cast<std::size_t>(got) < asked && filled == size)) {
        break;
      }
    }
  } catch (const std::bad_alloc&) {
    throw FileError(ENOMEM, kTooLargeText, path);
  } catch (const std::length_error&) {
    throw FileError(ENOMEM, kTooLargeText, path);
  }
  bytes.resize(filled);
  return bytes;
}

void RefuseIrregular(const struct stat& info, const std::string& path) {
  if (!S_ISREG(info.st_mode)) {
    throw FileError(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, kNotRegularText, path);
  }
}

// A file just opened for reading, with the identity it had when read; no pipe or device.
FileRead ReadOpened(const UniqueFd& file, const std::string& path) {
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0) {
    throw FileError(errno, kSizeUnknownText, path);
  }
  RefuseIrregular(info, path);
  FileRead read;
  read.identity = IdentityOf(info);
  read.bytes = ReadOpenFile(file.Get(), info, path);
  return read;
}

}  // namespace

FileRead ReadWholeFileWithIdentity(const std::string& path) {
  // O_NONBLOCK: a pipe or device under a page's name must not stop the run; it is refused below.
  UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.Get() < 0) {
    throw FileError(errno, kOpenText, path);
  }
  return ReadOpened(file, path);
}

FileRead ReadFileBelow(const OpenFolder& root, const std::string& webRoot,
                       const std::string& path) {
  if (!path.starts_with(webRoot) || path.size() == webRoot.size()) {
    throw FileError(EXDEV, kWalkOutsideRootText, path);
  }
  const UniqueFd file(
      OpenBelow(root.Fd(), std::string_view(path).substr(webRoot.size()), O_RDONLY | O_NONBLOCK));
  if (file.Get() < 0) {
    const int error = errno;
    throw FileError(error, error == ELOOP ? kWalkLinkText : kOpenText, path);
  }
  return ReadOpened(file, path);
}

std::string ReadWholeFile(const std::string& path) {
  return std::move(ReadWholeFileWithIdentity(path).bytes);
}

PendingReplace::PendingReplace(PendingReplace&& other) noexcept { *this = std::move(other); }

PendingReplace& PendingReplace::operator=(PendingReplace&& other) noexcept {
  if (this != &other) {
    Drop();
    m_folder = std::move(other.m_folder);
    m_temporary = std::move(other.m_temporary);
    m_page = std::move(other.m_page);
    m_leased = other.m_leased;
    m_needsFlush = other.m_needsFlush;
    m_mode = other.m_mode;
    m_temporaryName = std::move(other.m_temporaryName);
    m_targetName = std::move(other.m_targetName);
    m_shownPath = std::move(other.m_shownPath);
    m_expected = other.m_expected;
    other.m_temporaryName.clear();
  }
  return *this;
}

PendingReplace::~PendingReplace() { Drop(); }

void PendingReplace::Drop() {
  if (m_folder && !m_temporaryName.empty()) {
    ::unlinkat(m_folder->Fd(), m_temporaryName.c_str(), 0);
  }
  m_temporaryName.clear();
  m_temporary.Reset();
  m_page.Reset();  // ends the lease: a writer waiting for it goes on
  m_folder.reset();
}

void PendingReplace::HoldPage(UniqueFd page, bool leased) {
  m_page = std::move(page);
  m_leased = leased;
}

void PendingReplace::CheckUnchanged() const {
  if (!m_expected) {
    return;
  }
  struct stat now {};
  if (::fstatat(m_folder->Fd(), m_targetName.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0) {
    throw FileError(EAGAIN, kPageChangedText, m_shownPath);
  }
  if (now.st_dev != m_expected->device || now.st_ino != m_expected->inode) {
    throw FileError(ESTALE, kPageSwappedText, m_shownPath);
  }
  if (!(IdentityOf(now) == *m_expected) || (m_leased && !LeaseIntact(m_page.Get()))) {
    throw FileError(EAGAIN, kPageChangedText, m_shownPath);
  }
}

// The page as read and the new text change names in one step, so the page stays at hand: when
// it was swapped for another file, or a writer opened the leased page in the last moment, the
// two change back. A page moved away meanwhile is never made again under its old name. False
// only where the file system can't exchange names.
bool PendingReplace::ExchangeHeld() {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
  const int folder = m_folder->Fd();
  const char* temporary = m_temporaryName.c_str();
  const char* target = m_targetName.c_str();
  if (::renameat2(folder, temporary, folder, target, RENAME_EXCHANGE) != 0) {
    if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
      return false;
    }
    if (errno == ENOENT) {
      throw FileError(EAGAIN, kPageChangedText, m_shownPath);  // moved away or deleted
    }
    throw FileError(errno, kReplaceText, m_shownPath);
  }
  struct stat old {};
  const bool same = ::fstatat(folder, temporary, &old, AT_SYMLINK_NOFOLLOW) == 0 &&
                    old.st_dev == m_expected->device && old.st_ino == m_expected->inode;
  if (!same || (m_leased && !LeaseIntact(m_page.Get()))) {
    ::renameat2(folder, temporary, folder, target, RENAME_EXCHANGE);
    throw FileError(same ? EAGAIN : ESTALE, same ? kPageChangedText : kPageSwappedText,
                    m_shownPath);
  }
  ::unlinkat(folder, temporary, 0);  // the page as read
  m_temporaryName.clear();
  return true;
#else
  return false;
#endif
}

void PendingReplace::Commit(const std::function<void()>& beforeRename) {
  CheckUnchanged();
  if (m_needsFlush) {
    if (::fsync(m_temporary.Get()) != 0) {
      throw FileError(errno, kWriteText, m_shownPath);
    }
    m_needsFlush = false;
  }
  if (m_mode && ::fchmod(m_temporary.Get(), *m_mode) != 0) {
    throw FileError(errno, kSetAttributesText, m_shownPath);
  }
  if (beforeRename) {
    beforeRename();
  }
  if (!(m_expected && ExchangeHeld())) {
    const int folder = m_folder->Fd();
    if (::renameat(folder, m_temporaryName.c_str(), folder, m_targetName.c_str()) != 0) {
      throw FileError(errno, kReplaceText, m_shownPath);
    }
    m_temporaryName.clear();
  }
  m_temporary.Reset();
}

void PendingReplace::FlushFolder() const {
  // The rename is done; a folder that can't be flushed (some file systems) changes nothing.
  if (m_folder) {
    (void)::fsync(m_folder->Fd());
  }
}

PendingReplace WriteTemporary(FolderRef folder, const std::string& targetName,
                              const std::string& shownPath,
                              std::span<const std::string_view> pieces,
                              const TemporaryOptions& options) {
  struct stat old {};
  const bool exists = ::fstatat(folder->Fd(), targetName.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
  if (!exists && errno != ENOENT) {
    throw FileError(errno, kCheckText, shownPath);
  }
  if (exists && S_ISLNK(old.st_mode)) {
    throw FileError(ELOOP, kWalkLinkText, shownPath);
  }
  if (exists) {
    RefuseIrregular(old, shownPath);
    RefuseReadOnly(folder->Fd(), targetName, old, shownPath);
  }

  PendingReplace pending;
  auto [temporaryName, fd] = CreateTemporaryIn(folder->Fd(), shownPath);
  pending.m_folder = std::move(folder);
  pending.m_temporaryName = std::move(temporaryName);
  pending.m_temporary = UniqueFd(fd);
  pending.m_targetName = targetName;
  pending.m_shownPath = shownPath;
  pending.m_expected = options.expected;
  const int file = pending.m_temporary.Get();
  off_t written = 0;
  for (const std::string_view piece : pieces) {
    WriteAll(file, piece, shownPath);
    written += static_cast<off_t>(piece.size());
  }
  if (options.rest) {
    options.rest(file, written);
  }
  if (exists) {
    // After the owner, whose change would clear a file capability again.
    TakeOverOwner(file, old);
    const bool acl =
        options.openTarget >= 0
            ? CopyExtendedAttributes(options.openTarget, file, shownPath)
            : CopyExtendedAttributesOf(pending.m_folder->Fd(), targetName, file, shownPath);
    if (acl && ::fchmod(file, 0600) != 0) {  // the ACL's mask follows, so it stays owner-only
      throw FileError(errno, kSetAttributesText, shownPath);
    }
    pending.m_mode = old.st_mode & 07777;
  } else {
    pending.m_mode = 0666 & ~CreationMask();
  }
  if (options.flush && ::fsync(file) != 0) {
    throw FileError(errno, kWriteText, shownPath);
  }
  pending.m_needsFlush = !options.flush;
  return pending;
}

PendingReplace PrepareReplace(const std::string& path, std::span<const std::string_view> pieces,
                              const std::optional<FileIdentity>& expected) {
  const auto [folderPath, targetName] = SplitFolder(ResolveTarget(path));
  const int fd = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    throw FileError(errno, kFolderOpenText, path);
  }
  TemporaryOptions options;
  options.expected = expected;
  return WriteTemporary(std::make_shared<const OpenFolder>(fd), targetName, path, pieces, options);
}

void ReplaceFileContents(const std::string& path, std::string_view bytes) {
  PendingReplace pending = PrepareReplace(path, std::span<const std::string_view>(&bytes, 1));
  pending.Commit();
  pending.FlushFolder();
}

OpenedPage OpenPage(SiteWalker& walker, const std::string& path) {
  OpenedPage page;
  page.place = walker.Walk(path);
  page.path = path;
  // O_NONBLOCK: a pipe or device under a page's name must not stop the run; it is refused below.
  page.file = UniqueFd(::openat(page.place.folder->Fd(), page.place.name.c_str(),
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (page.file.Get() < 0) {
    if (errno == ELOOP) {
      throw FileError(ELOOP, kWalkLinkText, path);
    }
    throw FileError(errno, kOpenText, path);
  }
  if (::fstat(page.file.Get(), &page.info) != 0) {
    throw FileError(errno, kSizeUnknownText, path);
  }
  RefuseIrregular(page.info, path);
  return page;
}

namespace {

// The page's bytes as far as its edit needs them: a large page's head, its tail left on the disk
// (page_tail.h), where nothing in the tail changes the edit.
std::string ReadForEdit(const OpenedPage& page, const std::string& faviconLinkPrefix,
                        const PageEditOptions& options, std::optional<PageTail>& tail) {
  if (static_cast<std::uint64_t>(page.info.st_size) > options.wholeReadLimit && !options.describe) {
    std::optional<PageHead> head =
        ReadPageHead(page.file.Get(), page.info, page.path, AsciiLowerCopy(faviconLinkPrefix));
    if (head) {
      tail = head->tail;
      return std::move(head->bytes);
    }
    if (::lseek(page.file.Get(), 0, SEEK_SET) != 0) {
      throw FileError(errno, kReadText, page.path);
    }
  }
  return ReadOpenFile(page.file.Get(), page.info, page.path);
}

}  // namespace

PagePlan PlanPageEdit(OpenedPage page, const IconBlockOptions& block,
                      const std::string& faviconLinkPrefix, int webRootDepth,
                      const PageEditOptions& options) {
  PagePlan plan;
  plan.bytes = ReadForEdit(page, faviconLinkPrefix, options, plan.tail);
  plan.page = std::move(page);
  const std::string& path = plan.page.path;
  plan.edit = FindIconPageEdit(plan.bytes, path, block, faviconLinkPrefix, webRootDepth);
  if (plan.edit.LeavesUnchanged(plan.bytes)) {
    return plan;
  }
  plan.result.changed = true;
  plan.result.foreignLinks = plan.edit.foreignLinks;
  if (options.describe) {
    plan.result.difference = options.describe(path, plan.bytes, plan.edit.AppliedTo(plan.bytes));
  }
  return plan;
}

PreparedPage WritePlannedEdit(PagePlan plan, const PageEditOptions& options) {
  PreparedPage prepared = std::move(plan.result);
  if (!prepared.changed || options.dryRun) {
    return prepared;
  }
  OpenedPage& page = plan.page;
  const FileIdentity read = IdentityOf(page.info);
  // The lease is taken after the read, so unchanged pages never pay for it; a write between
  // the read and the lease shows in the page's size or change time.
  const bool leased = TakeReadLease(page.file.Get(), page.path);
  if (leased) {
    struct stat now {};
    if (::fstat(page.file.Get(), &now) != 0 || !(IdentityOf(now) == read)) {
      throw FileError(EAGAIN, kPageChangedText, page.path);
    }
  }
  // The page is written from its original bytes and the new pieces, never copied whole.
  const std::string_view text = plan.bytes;
  std::vector<std::string_view> pieces;
  pieces.reserve(plan.edit.edits.size() * 2 + 1);
  std::size_t at = 0;
  for (const FaviconEdit& edit : plan.edit.edits) {
    pieces.push_back(text.substr(at, edit.offset - at));
    pieces.push_back(edit.inserted);
    at = edit.offset + edit.removed;
  }
  pieces.push_back(text.substr(at));
  TemporaryOptions temporary;
  temporary.expected = read;
  temporary.flush = options.flushEachPage;
  temporary.openTarget = page.file.Get();
  if (plan.tail) {
    temporary.rest = [&page, &plan](int file, off_t tailAt) {
      CopyTail(page.file.Get(), *plan.tail, file, tailAt, page.path);
    };
  }
  prepared.replace =
      WriteTemporary(page.place.folder, page.place.name, page.path, pieces, temporary);
  prepared.replace->HoldPage(std::move(page.file), leased);
  return prepared;
}

}  // namespace tervando
