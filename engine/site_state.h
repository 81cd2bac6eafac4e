#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/icon_block.h"
#include "engine/page_walk.h"

namespace tervando {

// The icon in use: the icon file shown by the preview, kept as the bytes it came from,
// and whether the next Start in insert mode must write it as favicon.ico.
struct PreviewIcon {
  PreviewIcon() = default;
  PreviewIcon(std::string iconFile, bool isPending, std::string ownPicture = {},
              std::string ownPictureName = {})
      : bytes(std::move(iconFile)),
        pending(isPending),
        picture(std::move(ownPicture)),
        pictureName(std::move(ownPictureName)) {}

  std::string bytes;     // empty at start-up: the preview shows nothing
  bool pending = false;  // the icon-pending flag
  // The user's own picture the icon was made from, as read, and its file name (which tells an
  // SVG): the modern set is made from it, so a drawing stays a drawing and the large sizes get
  // every pixel. Empty for a catalogue icon or the root's own file.
  std::string picture;
  std::string pictureName;
};

// A file of the favicon set as it goes into the web root (favicon.ico, icon.svg, ...).
struct SetFile {
  std::string name;
  std::string bytes;
};

// The site as a run needs it: the web root, the icon, the set and its option. The front end
// keeps one and hands Start a copy of it (engine/run_request.h), made once per Start, so the
// run never sees what the window changes meanwhile.
struct SiteState {
  std::string webRoot;   // chosen folder ending with the separator; empty until chosen
  int webRootDepth = 0;  // separators in webRoot
  // The web root as opened by the scan: every page, folder and root file is reached from it.
  FolderRef webRootFolder;
  std::string defaultIcon;  // the icon file written when the root has none: the front
                            // end hands in the catalogue's default
  PreviewIcon preview;
  FaviconSet faviconSet = FaviconSet::kClassic;
  // Insert runs switch the page's own icon links off; remove runs always switch them on again.
  bool switchOffForeignIcons = false;
  // The modern set's files, favicon.ico first, made by the front end from the pending icon or
  // else from the root's own favicon.ico. Unused with the classic set.
  std::vector<SetFile> setFiles;
  // Temporary files of an interrupted run that the last scan found; the next run removes them.
  std::vector<std::string> leftovers;
  // Lock files of runs in folders below the root that the last scan met.
  std::vector<std::string> lockFilesBelow;
};

}  // namespace tervando
