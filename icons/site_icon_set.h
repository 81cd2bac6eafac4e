#pragma once

#include <string>
#include <string_view>

#include "engine/site_state.h"

namespace tervando {

// The root page whose <title> names the site in the manifest, tried in this order.
inline constexpr const char* kRootPageNames[] = {"index.html", "index.htm", "default.htm",
                                                 "default.html"};

// The site's name for the web root: the root page's title (read from the root's handle), or
// else the folder's name.
std::string SiteNameOfWebRoot(const SiteState& state);

// Makes the modern set for the chosen web root from the icon in use (from the user's own
// picture where it was made from one) and puts its files into state.setFiles. Returns what went
// wrong (German, one line), or "" on success; on failure state.setFiles is left empty.
std::string PrepareModernSet(SiteState& state);

}  // namespace tervando
