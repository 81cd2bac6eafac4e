#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace tervando {

// The separator between folder names: the web root ends with it and page depth counts it.
inline constexpr char kPathSeparator = '/';

// A row's page belongs to the web root when its path begins with the root (which ends with the
// separator): rows kept from an earlier root are never edited with a link built for this one.
inline bool LiesUnderWebRoot(std::string_view path, std::string_view webRoot) {
  return !webRoot.empty() && path.size() > webRoot.size() &&
         path.substr(0, webRoot.size()) == webRoot;
}

// The number of separators in `path`: the depth of a web root, or of a page.
inline int PathDepth(std::string_view path) {
  return static_cast<int>(std::count(path.begin(), path.end(), kPathSeparator));
}

// How many folders the page at `pagePath` lies below a web root of depth `webRootDepth`: the
// number of "../" that lead from the page up to the root.
inline int PageLevels(std::string_view pagePath, int webRootDepth) {
  return PathDepth(pagePath) - webRootDepth;
}

// The way from a page `levels` folders below the web root up to the root, appended to `text`:
// "./" at the root, "../" per level below it, nothing above it.
inline void AppendRelativePart(std::string& text, int levels) {
  if (levels == 0) {
    text += "./";
  }
  for (int i = 0; i < levels; ++i) {
    text += "../";
  }
}

inline std::string RelativePart(int levels) {
  std::string relative;
  AppendRelativePart(relative, levels);
  return relative;
}

}  // namespace tervando
