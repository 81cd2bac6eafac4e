#include "engine/favicon_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "engine/errors.h"
#include "engine/head_editor.h"
#include "engine/messages.h"
#include "engine/page_file.h"
#include "engine/paths.h"
#include "engine/real_path.h"

namespace tervando {

namespace {

std::string FaviconPath(const SiteState& state) { return state.webRoot + kFaviconFileName; }

// A favicon.ico without any write bit, or one this process may not write, is read-only: it is
// not silently replaced, even though the folder would allow renaming a new file over it.
void RefuseReadOnly(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return;  // missing: the write creates it
  }
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0) {
    throw FileError(EACCES, kPageReadOnlyText, path);
  }
}

// A favicon.ico that is a link is written where the link leads only while that lies inside the
// web root: the program never writes outside the site.
void RefuseOutsideRoot(const std::string& path, const std::string& webRoot) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
    return;
  }
  if (!IsInsideFolder(path, webRoot)) {
    throw FileError(EXDEV, kLinkOutOfRootText, path);
  }
}

// Written walked from the root: a link (inside the root, see above) is written where it leads
// now, and a folder or link swapped in meanwhile fails instead of leading out of the root.
void WriteRootFile(const std::string& path, const std::string& webRoot, const std::string& name,
                   const std::string& bytes) {
  std::string root = RealPath(webRoot);
  if (root.empty()) {
    root = webRoot;
  }
  if (root.back() != '/') {
    root += '/';
  }
  struct stat info {};
  const bool link = ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
  ReplaceFileBelow(root, link ? RealPathOf(path) : root + name, bytes);
}

// Writes one file into the web root, offering a retry while it fails.
PlaceResult WriteWithRetry(Host& host, const SiteState& state, const std::string& name,
                           const std::string& bytes) {
  const std::string path = state.webRoot + name;
  while (true) {
    ErrorInfo errorInfo;
    try {
      RefuseOutsideRoot(path, state.webRoot);
      RefuseReadOnly(path);
      WriteRootFile(path, state.webRoot, name, bytes);
      return PlaceResult::Written;
    } catch (...) {
      errorInfo = CurrentErrorInfo();
    }
    if (!host.RetryFaviconWrite(errorInfo)) {
      return PlaceResult::GaveUp;
    }
  }
}

bool SameBytes(const std::string& path, const std::string& bytes) {
  try {
    return ReadWholeFile(path) == bytes;
  } catch (const std::exception&) {
    return false;
  }
}

// The worse of two outcomes, for a set of several files.
PlaceResult Worse(PlaceResult a, PlaceResult b) {
  const auto rank = [](PlaceResult result) {
    switch (result) {
      case PlaceResult::NotNeeded:
        return 0;
      case PlaceResult::Written:
      case PlaceResult::WouldWrite:
        return 1;
      case PlaceResult::OverwriteDeclined:
        return 2;
      case PlaceResult::GaveUp:
        return 3;
    }
    return 3;
  };
  return rank(b) > rank(a) ? b : a;
}

PlaceResult PlaceSetFiles(Host& host, const SiteState& state, bool dryRun) {
  PlaceResult result = PlaceResult::NotNeeded;
  for (const SetFile* pointer : SetFilesToWrite(state)) {
    const SetFile& file = *pointer;
    const bool favicon = file.name == kFaviconFileName;
    const bool exists = FileExists(state.webRoot + file.name);
    if (dryRun) {
      result = Worse(result, PlaceResult::WouldWrite);
      continue;
    }
    if (exists &&
        !(favicon ? host.ConfirmFaviconOverwrite() : host.ConfirmSetFileOverwrite(file.name))) {
      result = Worse(result, PlaceResult::OverwriteDeclined);
      continue;
    }
    result = Worse(result, WriteWithRetry(host, state, file.name, file.bytes));
  }
  return result;
}

}  // namespace

std::string ErrorInfoText() { return FaviconErrorInfoText(CurrentErrorInfo()); }

bool FileExists(const std::string& path) {
  const std::size_t nameStart = path.find_last_of(kPathSeparator);
  const std::size_t first = nameStart == std::string::npos ? 0 : nameStart + 1;
  if (first >= path.size() || path[first] == '.') {
    return false;
  }
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

PlaceResult PlaceFaviconFile(Host& host, const SiteState& state, bool dryRun) {
  if (host.RemoveMode()) {
    return PlaceResult::NotNeeded;
  }
  if (state.faviconSet == FaviconSet::kModern && !state.webRoot.empty()) {
    return PlaceSetFiles(host, state, dryRun);
  }
  // Without a web root or an icon there is nothing that could be written.
  if (!state.preview.pending || state.webRoot.empty() || state.preview.bytes.empty()) {
    return PlaceResult::NotNeeded;
  }
  const std::string path = FaviconPath(state);
  if (dryRun) {
    return PlaceResult::WouldWrite;
  }
  if (FileExists(path) && !host.ConfirmFaviconOverwrite()) {
    return PlaceResult::OverwriteDeclined;
  }
  return WriteWithRetry(host, state, kFaviconFileName, state.preview.bytes);
}

std::vector<const SetFile*> SetFilesToWrite(const SiteState& state) {
  std::vector<const SetFile*> files;
  if (state.faviconSet != FaviconSet::kModern || state.webRoot.empty()) {
    return files;
  }
  for (const SetFile& file : state.setFiles) {
    const std::string path = state.webRoot + file.name;
    const bool exists = FileExists(path);
    if ((exists || file.name == kFaviconFileName) && !state.preview.pending) {
      continue;  // the root's own files stay until a new icon is chosen
    }
    if (!exists || !SameBytes(path, file.bytes)) {
      files.push_back(&file);
    }
  }
  return files;
}

IconBlockOptions RunBlockOptions(const IconBlockLinks& links, bool switchOffForeign, bool remove) {
  IconBlockOptions block;
  block.remove = remove;
  block.links = links;
  block.foreign = remove             ? ForeignIconLinks::kSwitchOn
                  : switchOffForeign ? ForeignIconLinks::kSwitchOff
                                     : ForeignIconLinks::kKeep;
  return block;
}

IconBlockOptions RunBlockOptions(const SiteState& state, bool remove) {
  return RunBlockOptions(LinksOfSet(state.faviconSet, SetLinksSvgIcon(state)),
                         state.switchOffForeignIcons, remove);
}

bool SetLinksSvgIcon(const SiteState& state) {
  const bool inSet = std::any_of(state.setFiles.begin(), state.setFiles.end(),
                                 [](const SetFile& file) { return file.name == kSvgIconFileName; });
  if (inSet || state.preview.pending || state.webRoot.empty()) {
    return inSet;
  }
  return FileExists(state.webRoot + kSvgIconFileName);
}

void RefreshFaviconPreview(SiteState& state) {
  const std::string path = FaviconPath(state);
  state.preview = {};
  if (!state.webRoot.empty() && FileExists(path)) {
    // The root's own file is in use even when it cannot be read or is no icon at all: it is
    // kept as it is (pending false), so Start never replaces it without asking. The preview
    // then shows what it can of these bytes, or nothing.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 &&
        static_cast<std::size_t>(info.st_size) <= kPreviewLoadLimit) {
      try {
        state.preview.bytes = ReadWholeFile(path);
      } catch (const std::exception&) {
        state.preview.bytes.clear();
      }
    }
    return;
  }
  state.preview = {state.defaultIcon, true};
}

}  // namespace tervando
