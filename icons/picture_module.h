#pragma once

#include <string>
#include <vector>

#include "engine/site_state.h"

namespace tervando {

// The picture code (Qt Gui and Svg) as a plug-in that is opened the first time a picture is
// read or drawn, so that a run without one starts without Qt. It is looked for beside the
// program, then in the installed library folder. Without it these say so (German) instead.

// The user's own picture as icon file, or why none could be made.
struct PictureIcon {
  std::string iconFile;
  std::string picture;  // the file as read
  std::string error;    // German, one line; empty on success
};
PictureIcon IconFromImageFileByModule(const std::string& path);

// PrepareModernSet (icons/site_icon_set.h) through the plug-in.
std::string PrepareModernSetByModule(SiteState& state);

// Where the plug-in is looked for, first found first taken.
std::vector<std::string> PictureModulePaths(const std::string& programFolder);

}  // namespace tervando
