#pragma once

#include <string>
#include <string_view>

#include "engine/site_state.h"

namespace tervando {

// The root page whose <title> names the site in the manifest, tried in this order.
inline constexpr const char* kRootPageNames[] = {"index.html", "index.htm", "default.htm",
                                                 "default.html"};

// The site's name for the web root: the root page's title, or else the folder's name.
std::string SiteNameOfWebRoot(const std::string& webRoot);

// Makes the modern set from `source` (an icon file or picture; `sourceName` tells its kind) for
// the chosen web root and puts its files into state.setFiles. Returns what went wrong (German,
// one line), or "" on success; on failure state.setFiles is left empty.
std::string PrepareModernSet(SiteState& state, std::string_view source,
                             const std::string& sourceName);

}  // namespace tervando
