#pragma once

#include <string>
#include <vector>

namespace tervando {

// The icon in use: the icon file shown by the preview, kept as the bytes it came from,
// and whether the next Start in insert mode must write it as favicon.ico.
struct PreviewIcon {
  std::string bytes;     // empty at start-up: the preview shows nothing
  bool pending = false;  // the icon-pending flag
};

// Program-wide values of one program run, owned by the window or the CLI.
struct SiteState {
  std::string webRoot;            // chosen folder ending with the separator; empty until chosen
  int webRootDepth = 0;           // separators in webRoot
  std::string faviconLinkPrefix;  // built once at start-up
  std::string defaultIcon;        // the icon file written when the root has none: the front
                                  // end hands in the catalogue's default
  PreviewIcon preview;
  // Temporary files of an interrupted run that the last scan found; the next run removes them.
  std::vector<std::string> leftovers;
  // Pages offered to the list since the count panel was last refreshed (0..63), counted
  // across every choice of the web root.
  int listFillCounter = 0;
};

}  // namespace tervando
