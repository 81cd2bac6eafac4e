#include "site/page_collection.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <string>
#include <system_error>
#include <unordered_set>

#include "engine/ascii.h"
#include "engine/page_file.h"
#include "engine/paths.h"
#include "engine/real_path.h"
#include "engine/web_root_lock.h"
#include "site/app_folder.h"
#include "site/options.h"

namespace tervando {

namespace {

constexpr char kFrontPageFolder[] = {kPathSeparator, '_', 'v', 't', 'i', '_', '\0'};
constexpr auto kProgressInterval = std::chrono::milliseconds(5);
constexpr unsigned kStopCheckEntries = 4096;  // inside a folder with very many entries

struct FolderId {
  dev_t device;
  ino_t inode;
  bool operator==(const FolderId&) const = default;
};

struct FolderIdHash {
  std::size_t operator()(const FolderId& id) const {
    return std::hash<std::uint64_t>{}(static_cast<std::uint64_t>(id.inode) * 1000003u ^
                                      static_cast<std::uint64_t>(id.device));
  }
};

bool HasPageExtension(std::string_view name, const std::vector<std::string>& pageExtensions) {
  for (const std::string& extension : pageExtensions) {
    if (EndsWithIgnoringCase(name, extension)) {
      return true;
    }
  }
  return false;
}

bool IsPageName(std::string_view name, bool inFrontPageFolder,
                const std::vector<std::string>& pageExtensions) {
  // A name starting with "_vti_" puts the separator before it into the path.
  return !inFrontPageFolder &&
         !(name.size() >= 5 && EqualsIgnoringCase(name.substr(0, 5), "_vti_")) &&
         HasPageExtension(name, pageExtensions);
}

bool TooLongForTheSystem(std::size_t pathLength) { return pathLength + 1 > PATH_MAX; }

std::string WithoutTrailingSeparator(std::string path) {
  if (path.size() > 1 && path.back() == kPathSeparator) {
    path.pop_back();
  }
  return path;
}

class Scanner {
 public:
  Scanner(const std::vector<std::string>& pageExtensions, const std::function<bool()>& stop,
          const ScanProgress& progress)
      : m_extensions(pageExtensions), m_stop(stop), m_progress(progress) {}

  ScanResult Run(const std::string& root) {
    const std::string real = RealPath(root);
    if (!real.empty()) {
      try {
        m_result.rootFolder = OpenWebRoot(real);
      } catch (const std::system_error& failure) {
        errno = failure.code().value();
      }
    }
    if (!m_result.rootFolder) {
      const int error = errno;
      m_result.root = WithTrailingSeparator(real.empty() ? root : real);
      Unopenable(WithoutTrailingSeparator(m_result.root), error);
      return std::move(m_result);
    }
    m_result.root = WithTrailingSeparator(real);
    m_pending.push_back(m_result.root);
    while (!m_pending.empty()) {
      if (StopRequested()) {
        break;
      }
      const std::string folder = std::move(m_pending.back());
      m_pending.pop_back();
      Report(folder);
      ListFolder(folder);
    }
    return std::move(m_result);
  }

 private:
  bool StopRequested() {
    if (m_stop && m_stop()) {
      m_result.stopped = true;
    }
    return m_result.stopped;
  }

  void Report(const std::string& folder) {
    if (!m_progress) {
      return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (m_reported && now - m_lastReport < kProgressInterval) {
      return;
    }
    m_reported = true;
    m_lastReport = now;
    m_progress(folder, m_result.pages.size());
  }

  void Unopenable(std::string path, int error) {
    (error == ENAMETOOLONG ? m_result.skipped.tooLong : m_result.skipped.unreadableFolders)
        .push_back(std::move(path));
  }

  bool InsideRoot(std::string_view realPath) const {
    return realPath.starts_with(m_result.root) ||
           realPath == WithoutTrailingSeparator(m_result.root);
  }

  // A link is never followed; it only matters when it leads nowhere or out of the root. It is
  // looked at from the folder as opened (through /proc where there is one), not by its path.
  void LookAtLink(std::string full, int folder, std::string_view name, bool inFrontPageFolder) {
    const std::string fromFolder =
        m_procFolders ? "/proc/self/fd/" + std::to_string(folder) + "/" + std::string(name) : full;
    struct stat target {};
    if (stat(fromFolder.c_str(), &target) != 0) {
      m_result.skipped.danglingLinks.push_back(std::move(full));
      return;
    }
    const std::string realPath = RealPath(fromFolder);
    if (realPath.empty()) {
      m_result.skipped.danglingLinks.push_back(std::move(full));
      return;
    }
    if (InsideRoot(realPath)) {
      return;
    }
    const std::string_view realName =
        std::string_view(realPath).substr(realPath.rfind(kPathSeparator) + 1);
    if (S_ISDIR(target.st_mode) ||
        (S_ISREG(target.st_mode) && (IsPageName(name, inFrontPageFolder, m_extensions) ||
                                     IsPageName(realName, false, m_extensions)))) {
      m_result.skipped.linksOutOfRoot.push_back(std::move(full));
    }
  }

  // The folder reached from the root's handle, never by its path.
  DIR* OpenListed(const std::string& folder) {
    const std::string relative =
        WithoutTrailingSeparator(folder.substr(std::min(folder.size(), m_result.root.size())));
    const int fd = folder.size() <= m_result.root.size()
                       ? openat(m_result.rootFolder->Fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                       : OpenBelow(m_result.rootFolder->Fd(), relative, O_RDONLY | O_DIRECTORY);
    DIR* dir = fd < 0 ? nullptr : fdopendir(fd);
    if (dir == nullptr && fd >= 0) {
      const int error = errno;
      close(fd);
      errno = error;
    }
    return dir;
  }

  void ListFolder(const std::string& folder) {
    DIR* dir = OpenListed(folder);
    if (dir == nullptr) {
      const int error = errno;
      Unopenable(WithoutTrailingSeparator(folder), error);
      return;
    }
    struct stat info {};
    // A folder mounted twice would otherwise be entered again, or forever.
    if (fstat(dirfd(dir), &info) != 0 || !m_entered.insert({info.st_dev, info.st_ino}).second) {
      closedir(dir);
      return;
    }
    const bool inFrontPageFolder = ContainsIgnoringCase(folder, kFrontPageFolder);
    unsigned entries = 0;
    while (const dirent* entry = readdir(dir)) {
      if (++entries % kStopCheckEntries == 0 && StopRequested()) {
        break;
      }
      const std::string_view name(entry->d_name);
      unsigned char type = entry->d_type;
      if (type == DT_UNKNOWN) {
        struct stat own {};
        if (fstatat(dirfd(dir), entry->d_name, &own, AT_SYMLINK_NOFOLLOW) != 0) {
          continue;  // gone since it was listed
        }
        type = S_ISREG(own.st_mode)   ? DT_REG
               : S_ISDIR(own.st_mode) ? DT_DIR
               : S_ISLNK(own.st_mode) ? DT_LNK
                                      : DT_UNKNOWN;
      }
      if (name.front() == '.') {
        if (type == DT_REG && IsTemporaryName(name)) {
          m_result.leftovers.push_back(folder + entry->d_name);
        } else if (type == DT_REG && name == kLockFileName && folder != m_result.root) {
          m_result.lockFiles.push_back(folder + entry->d_name);
        }
        continue;
      }
      switch (type) {
        case DT_REG:
          if (IsPageName(name, inFrontPageFolder, m_extensions)) {
            AddFound(m_result.pages, folder, name, false);
          }
          break;
        case DT_DIR:
          AddFound(m_pending, folder, name, true);
          break;
        case DT_LNK:
          LookAtLink(folder + entry->d_name, dirfd(dir), name, inFrontPageFolder);
          break;
        default:  // pipes, sockets, devices: reading one would block or never end
          break;
      }
    }
    closedir(dir);
  }

  void AddFound(std::vector<std::string>& into, const std::string& folder, std::string_view name,
                bool isFolder) {
    std::string full;
    full.reserve(folder.size() + name.size() + 1);
    full.append(folder).append(name);
    if (TooLongForTheSystem(full.size() + (isFolder ? 1 : 0))) {
      m_result.skipped.tooLong.push_back(std::move(full));
      return;
    }
    if (isFolder) {
      full += kPathSeparator;
    }
    into.push_back(std::move(full));
  }

  const std::vector<std::string>& m_extensions;
  const std::function<bool()>& m_stop;
  const ScanProgress& m_progress;
  ScanResult m_result;
  // Pending folders of all levels on one stack: popping from the end enters the last-found
  // subfolder first and finishes its subtree before its older siblings come up.
  std::vector<std::string> m_pending;
  std::unordered_set<FolderId, FolderIdHash> m_entered;
  const bool m_procFolders = access("/proc/self/fd", X_OK) == 0;
  bool m_reported = false;
  std::chrono::steady_clock::time_point m_lastReport{};
};

}  // namespace

ScanResult ScanWebRoot(const std::string& root, const std::vector<std::string>& pageExtensions,
                       const std::function<bool()>& stop, const ScanProgress& progress) {
  return Scanner(pageExtensions, stop, progress).Run(root);
}

bool IsPagePath(std::string_view path, const std::vector<std::string>& pageExtensions) {
  return !ContainsIgnoringCase(path, kFrontPageFolder) && HasPageExtension(path, pageExtensions);
}

}  // namespace tervando
