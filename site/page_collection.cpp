#include "site/page_collection.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <unordered_set>

#include "engine/paths.h"
#include "site/app_folder.h"
#include "site/options.h"

namespace tervando {

namespace {

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

enum class EntryKind { Skip, File, Folder };

EntryKind KindOf(const dirent& entry, const std::string& fullPath) {
  switch (entry.d_type) {
    case DT_REG:
      return EntryKind::File;
    case DT_DIR:
      return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
      break;
    default:  // pipes, sockets, devices: reading one would block or never end
      return EntryKind::Skip;
  }
  struct stat info {};
  if (stat(fullPath.c_str(), &info) != 0) {
    return EntryKind::Skip;
  }
  if (S_ISDIR(info.st_mode)) {
    return EntryKind::Folder;
  }
  if (S_ISREG(info.st_mode)) {
    return EntryKind::File;
  }
  return EntryKind::Skip;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsWithIgnoringCase(std::string_view text, std::string_view ending) {
  if (ending.size() > text.size()) {
    return false;
  }
  const std::string_view tail = text.substr(text.size() - ending.size());
  for (std::size_t i = 0; i < ending.size(); ++i) {
    if (AsciiLower(tail[i]) != AsciiLower(ending[i])) {
      return false;
    }
  }
  return true;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view needle) {
  for (std::size_t start = 0; start + needle.size() <= text.size(); ++start) {
    std::size_t i = 0;
    while (i < needle.size() && AsciiLower(text[start + i]) == AsciiLower(needle[i])) {
      ++i;
    }
    if (i == needle.size()) {
      return true;
    }
  }
  return false;
}

int& YieldCounter() {
  static int counter = 0;
  return counter;
}

}  // namespace

std::vector<std::string> CollectFiles(const std::string& folder) {
  std::vector<std::string> found;
  std::unordered_set<FolderId, FolderIdHash> entered;
  // Pending folders of all levels on one stack: popping from the end enters the last-found
  // subfolder first and finishes its subtree before its older siblings come up.
  std::vector<std::string> pending{WithTrailingBackslash(folder)};
  while (!pending.empty()) {
    const std::string path = std::move(pending.back());
    pending.pop_back();
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) {
      continue;
    }
    struct stat info {};
    if (fstat(dirfd(dir), &info) != 0 || !entered.insert({info.st_dev, info.st_ino}).second) {
      closedir(dir);
      continue;
    }
    while (const dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') {
        continue;
      }
      std::string full = path + entry->d_name;
      switch (KindOf(*entry, full)) {
        case EntryKind::File:
          found.push_back(std::move(full));
          break;
        case EntryKind::Folder:
          full += kPathSeparator;
          pending.push_back(std::move(full));
          break;
        case EntryKind::Skip:
          break;
      }
    }
    closedir(dir);
  }
  return found;
}

bool IsPagePath(std::string_view path) {
  static constexpr char kFrontPageFolder[] = {kPathSeparator, '_', 'v', 't', 'i', '_', '\0'};
  if (ContainsIgnoringCase(path, kFrontPageFolder)) {
    return false;
  }
  for (const std::string& extension : PageExtensions()) {
    if (EndsWithIgnoringCase(path, extension)) {
      return true;
    }
  }
  return false;
}

void AddPageToList(Host& host, const std::string& path) {
  if (IsPagePath(path) && !host.ContainsRow(path)) {
    host.ShowStatus({StatusKind::kFilling, path, 0});
    host.InsertCheckedRowAtTop(path);
  }
  int& counter = YieldCounter();
  counter = (counter + 1) % 64;
  if (counter == 0) {
    host.SetStatusCount(host.RowCount());
    host.Yield();
  }
}

int AddPageYieldCounter() { return YieldCounter(); }

}  // namespace tervando
