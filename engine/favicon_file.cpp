#include "engine/favicon_file.h"

#include <fcntl.h>
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

namespace tervando {

namespace {

std::string FaviconPath(const SiteState& state) { return state.webRoot + kFaviconFileName; }

// Written from the root's handle into the root itself: a link or anything else in the file's
// place is refused, and the temporary, the check and the rename all use that one folder.
void WriteRootFile(const SiteState& state, const std::string& name, const std::string& bytes) {
  const std::string_view piece = bytes;
  PendingReplace pending = WriteTemporary(WebRootFolderOf(state), name, state.webRoot + name,
                                          std::span<const std::string_view>(&piece, 1));
  pending.Commit();
  pending.FlushFolder();
}

// Writes one file into the web root, offering a retry while it fails.
PlaceResult WriteWithRetry(RunQuestions& questions, const SiteState& state, const std::string& name,
                           const std::string& bytes) {
  while (true) {
    ErrorInfo errorInfo;
    try {
      WriteRootFile(state, name, bytes);
      return PlaceResult::Written;
    } catch (...) {
      errorInfo = CurrentErrorInfo();
    }
    if (!questions.RetryFaviconWrite(errorInfo)) {
      return PlaceResult::GaveUp;
    }
  }
}

bool SameBytes(const SiteState& state, const std::string& name, const std::string& bytes) {
  const std::optional<std::string> own = ReadRootFile(state, name, bytes.size());
  return own && *own == bytes;
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

// The set comes from one picture: one question covers every file it would replace, and
// declining it writes none, so the root never mixes an old icon with a new one.
PlaceResult PlaceSetFiles(RunQuestions& questions, const SiteState& state, bool dryRun) {
  const std::vector<const SetFile*> files = SetFilesToWrite(state);
  if (files.empty()) {
    return PlaceResult::NotNeeded;
  }
  if (dryRun) {
    return PlaceResult::WouldWrite;
  }
  std::vector<std::string> replaced;
  for (const SetFile* file : files) {
    if (RootFileExists(state, file->name)) {
      replaced.push_back(file->name);
    }
  }
  if (!replaced.empty() && !questions.ConfirmSetOverwrite(replaced)) {
    return PlaceResult::OverwriteDeclined;
  }
  PlaceResult result = PlaceResult::NotNeeded;
  for (const SetFile* file : files) {
    result = Worse(result, WriteWithRetry(questions, state, file->name, file->bytes));
  }
  return result;
}

}  // namespace

FolderRef WebRootFolderOf(const SiteState& state) {
  return state.webRootFolder ? state.webRootFolder : OpenWebRoot(state.webRoot);
}

bool RootFileExists(const SiteState& state, const std::string& name) {
  if (name.empty() || name.front() == '.' || state.webRoot.empty()) {
    return false;
  }
  try {
    const UniqueFd file(OpenBelow(WebRootFolderOf(state)->Fd(), name, O_PATH));
    struct stat info {};
    return (file.Get() >= 0 && ::fstat(file.Get(), &info) == 0 &&
            (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode))) ||
           (file.Get() < 0 && errno == ELOOP);
  } catch (const std::exception&) {
    return false;
  }
}

std::optional<std::string> ReadRootFile(const SiteState& state, const std::string& name,
                                        std::uint64_t limit) {
  if (state.webRoot.empty()) {
    return std::nullopt;
  }
  try {
    const FolderRef root = WebRootFolderOf(state);
    const UniqueFd file(OpenBelow(root->Fd(), name, O_PATH));
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_size) > limit) {
      return std::nullopt;
    }
    return ReadFileBelow(*root, state.webRoot, state.webRoot + name).bytes;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

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

PlaceResult PlaceFaviconFile(RunQuestions& questions, const SiteState& state, bool remove,
                             bool dryRun) {
  if (remove) {
    return PlaceResult::NotNeeded;
  }
  if (state.faviconSet == FaviconSet::kModern && !state.webRoot.empty()) {
    return PlaceSetFiles(questions, state, dryRun);
  }
  // Without a web root or an icon there is nothing that could be written.
  if (!state.preview.pending || state.webRoot.empty() || state.preview.bytes.empty()) {
    return PlaceResult::NotNeeded;
  }
  const std::string path = FaviconPath(state);
  if (dryRun) {
    return PlaceResult::WouldWrite;
  }
  if (RootFileExists(state, kFaviconFileName) && !questions.ConfirmFaviconOverwrite()) {
    return PlaceResult::OverwriteDeclined;
  }
  return WriteWithRetry(questions, state, kFaviconFileName, state.preview.bytes);
}

std::vector<const SetFile*> SetFilesToWrite(const SiteState& state) {
  std::vector<const SetFile*> files;
  if (state.faviconSet != FaviconSet::kModern || state.webRoot.empty()) {
    return files;
  }
  for (const SetFile& file : state.setFiles) {
    const bool exists = RootFileExists(state, file.name);
    if ((exists || file.name == kFaviconFileName) && !state.preview.pending) {
      continue;  // the root's own files stay until a new icon is chosen
    }
    if (!exists || !SameBytes(state, file.name, file.bytes)) {
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
  return RootFileExists(state, kSvgIconFileName);
}

void RefreshFaviconPreview(SiteState& state) {
  state.preview = {};
  if (RootFileExists(state, kFaviconFileName)) {
    // The root's own file is in use even when it cannot be read, is a link (never read) or is
    // no icon at all: it is kept as it is (pending false), so Start never replaces it without
    // asking. The preview then shows what it can of these bytes, or nothing.
    state.preview.bytes = ReadRootFile(state, kFaviconFileName, kPreviewLoadLimit).value_or("");
    return;
  }
  state.preview = {state.defaultIcon, true};
}

}  // namespace tervando
