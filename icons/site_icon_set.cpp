#include "icons/site_icon_set.h"

#include <sys/stat.h>

#include "engine/page_file.h"
#include "icons/icon_set.h"

namespace tervando {

namespace {

// Only the head matters, and a huge or odd root page must not hold the run up.
constexpr off_t kRootPageLimit = 4 << 20;

std::string FolderName(std::string_view webRoot) {
  while (!webRoot.empty() && webRoot.back() == '/') {
    webRoot.remove_suffix(1);
  }
  const std::size_t slash = webRoot.rfind('/');
  return std::string(slash == std::string_view::npos ? webRoot : webRoot.substr(slash + 1));
}

}  // namespace

std::string SiteNameOfWebRoot(const std::string& webRoot) {
  for (const char* name : kRootPageNames) {
    const std::string path = webRoot + name;
    struct stat info {};
    // A link is not followed: nothing outside the root is read.
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > kRootPageLimit) {
      continue;
    }
    try {
      return SiteName(ReadWholeFile(path), FolderName(webRoot));
    } catch (const std::exception&) {
      // unreadable: the next candidate, or the folder's name
    }
  }
  return SiteName({}, FolderName(webRoot));
}

std::string PrepareModernSet(SiteState& state) {
  state.setFiles.clear();
  const PreviewIcon& icon = state.preview;
  const bool fromPicture = !icon.picture.empty();
  IconSet set = MakeModernIconSet(fromPicture ? icon.picture : icon.bytes,
                                  fromPicture ? icon.pictureName : kFaviconFileName,
                                  SiteNameOfWebRoot(state.webRoot));
  if (!set.error.empty()) {
    return set.error;
  }
  for (IconSetFile& file : set.files) {
    state.setFiles.push_back({std::move(file.name), std::move(file.bytes)});
  }
  return {};
}

}  // namespace tervando
