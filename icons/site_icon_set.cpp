#include "icons/site_icon_set.h"

#include <cstdint>
#include <exception>

#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/page_file.h"
#include "icons/icon_set.h"

namespace tervando {

namespace {

// Only the head matters, and a huge or odd root page must not hold the run up.
constexpr std::uint64_t kRootPageLimit = 4 << 20;

std::string FolderName(std::string_view webRoot) {
  while (!webRoot.empty() && webRoot.back() == '/') {
    webRoot.remove_suffix(1);
  }
  const std::size_t slash = webRoot.rfind('/');
  return std::string(slash == std::string_view::npos ? webRoot : webRoot.substr(slash + 1));
}

}  // namespace

std::string SiteNameOfWebRoot(const SiteState& state) {
  for (const char* name : kRootPageNames) {
    // Read from the root's handle, never through a link: nothing outside the root is read.
    if (const auto page = ReadRootFile(state, name, kRootPageLimit)) {
      return SiteName(*page, FolderName(state.webRoot));
    }
  }
  return SiteName({}, FolderName(state.webRoot));
}

std::string PrepareModernSet(SiteState& state) {
  state.setFiles.clear();
  const PreviewIcon& icon = state.preview;
  const bool fromPicture = !icon.picture.empty();
  if (!fromPicture && !icon.pending && icon.bytes.empty() && !state.webRoot.empty()) {
    // The root's own favicon.ico could not be read (a link is never followed): say why.
    try {
      ReadFileBelow(*WebRootFolderOf(state), state.webRoot, state.webRoot + kFaviconFileName);
    } catch (const std::exception& failure) {
      return failure.what();
    }
  }
  IconSet set = MakeModernIconSet(fromPicture ? icon.picture : icon.bytes,
                                  fromPicture ? icon.pictureName : kFaviconFileName,
                                  SiteNameOfWebRoot(state));
  if (!set.error.empty()) {
    return set.error;
  }
  for (IconSetFile& file : set.files) {
    state.setFiles.push_back({std::move(file.name), std::move(file.bytes)});
  }
  return {};
}

}  // namespace tervando
