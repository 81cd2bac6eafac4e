#include "engine/favicon_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <system_error>

#include "engine/errors.h"
#include "engine/head_editor.h"
#include "engine/page_file.h"
#include "engine/paths.h"
#include "icons/icon_catalogue.h"

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
    throw FileError(EACCES, "Datei ist schreibgeschützt", path);
  }
}

}  // namespace

FailureDescription DescribeCurrentFailure() {
  try {
    throw;
  } catch (const std::system_error& error) {
    return {error.what(), error.code().value()};
  } catch (const std::bad_alloc&) {
    return {"Nicht genügend Arbeitsspeicher", ENOMEM};
  } catch (const std::exception& error) {
    return {error.what(), EIO};
  } catch (...) {
    return {"Unbekannter Fehler", EIO};
  }
}

std::string ErrorInfoText() {
  const FailureDescription failure = DescribeCurrentFailure();
  return failure.text + " (Code " + std::to_string(failure.code) + ")";
}

bool FileExists(const std::string& path) {
  const std::size_t nameStart = path.find_last_of(kPathSeparator);
  const std::size_t first = nameStart == std::string::npos ? 0 : nameStart + 1;
  if (first >= path.size() || path[first] == '.') {
    return false;
  }
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

Message OverwriteFaviconMessage() {
  return {
      "Hinweis: Im angegebenen Hauptverzeichnis Ihrer lokalen Web-Dateien befindet sich "
      "bereits eine Datei namens FAVICON.ICO. Sie haben jedoch ein anderes Icon gewählt, "
      "wodurch diese Datei überschrieben wird.\r\rBitte drücken Sie [OK], um diesen Vorgang "
      "zu quittieren.",
      MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok};
}

Message FaviconWriteFailedMessage(const std::string& errorInfo) {
  return {
      "Die Datei FAVICON.ICO konnte nicht im angegebenen Hauptverzeichnis Ihrer lokalen "
      "Web-Dateien erstellt werden (" +
          errorInfo + ").\r\rMöchten Sie es nochmals versuchen?",
      MessageIcon::Critical, MessageButtons::YesNo, MessageAnswer::No};
}

PlaceResult PlaceFaviconFile(Host& host, const SiteState& state) {
  if (host.RemoveMode()) {
    return PlaceResult::NotNeeded;
  }
  // Without a web root or an icon there is nothing that could be written.
  if (!state.preview.pending || state.webRoot.empty() || state.preview.bytes.empty()) {
    return PlaceResult::NotNeeded;
  }
  const std::string path = FaviconPath(state);
  if (FileExists(path) && host.Ask(OverwriteFaviconMessage()) == MessageAnswer::Cancel) {
    return PlaceResult::OverwriteDeclined;
  }
  while (true) {
    std::string errorInfo;
    try {
      RefuseReadOnly(path);
      ReplaceFileContents(path, state.preview.bytes);
      return PlaceResult::Written;
    } catch (...) {
      errorInfo = ErrorInfoText();
    }
    if (host.Ask(FaviconWriteFailedMessage(errorInfo)) != MessageAnswer::Yes) {
      return PlaceResult::GaveUp;
    }
  }
}

void RefreshFaviconPreview(SiteState& state) {
  const std::string path = FaviconPath(state);
  if (!state.webRoot.empty() && FileExists(path)) {
    // The root's own file is in use even when it cannot be read or is no icon at all: it is
    // kept as it is (pending false), so Start never replaces it without asking. The preview
    // then shows what it can of these bytes, or nothing.
    state.preview.pending = false;
    state.preview.bytes.clear();
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
  state.preview.pending = true;
  state.preview.bytes = std::string(DefaultIconFile());
}

}  // namespace tervando
