#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/page_walk.h"

namespace tervando {

// What the scan passed over, by cause, with the full paths.
struct ScanSkips {
  std::vector<std::string> unreadableFolders;
  std::vector<std::string> danglingLinks;   // no target, or a loop of links
  std::vector<std::string> linksOutOfRoot;  // to a folder, or a page, outside the web root
  std::vector<std::string> tooLong;         // paths the system cannot open
};

struct ScanResult {
  std::string root;      // the web root's real path, ending with the separator
  FolderRef rootFolder;  // the web root as opened for the scan; none when it can't be opened
  std::vector<std::string> pages;  // in scan order
  ScanSkips skipped;
  std::vector<std::string> leftovers;  // temporaries that an interrupted run left behind
  std::vector<std::string> lockFiles;  // lock files of runs in folders below the root
  bool stopped = false;                // the stop check said so; the result is partial
};

// Called with the folder being entered and the number of pages found so far.
using ScanProgress = std::function<void(const std::string& folder, std::size_t pages)>;

// Every page below `root`, as a full path under the root's real path, in scan order: all
// entries of a folder come before anything inside its subfolders, and its subfolders are
// entered last-found first, each subtree completely before the next. A page is a regular file
// whose name ends in one of `pageExtensions` (without regard to case) outside "_vti_" folders.
//
// The root is opened once (see OpenWebRoot) and every folder is reached from that handle without
// following a link: a folder swapped for a link, or the root renamed away and replaced, never
// leads the scan out of the folder opened. Names starting with "." are skipped with their subtrees,
// except that temporaries of the run
// (".tervando-<16 hex>.tmp") are reported as leftovers and lock files of runs below the root are
// noted. Symbolic links are never followed:
// a link whose target lies inside the root is passed over (the target is found under its own
// name), one to a folder or page outside the root is reported, and so is a dangling one. So
// every page is listed once, under its real path, whatever the order of the folders.
//
// Safe on any thread: it reads no program-wide state. `stop` is asked before each folder (and
// inside big folders); `progress` is called for the root and then at most every few
// milliseconds.
ScanResult ScanWebRoot(const std::string& root, const std::vector<std::string>& pageExtensions,
                       const std::function<bool()>& stop = {}, const ScanProgress& progress = {});

// True when `path` ends in one of the page extensions (without regard to case) and does not
// lie in a "_vti_" folder.
bool IsPagePath(std::string_view path, const std::vector<std::string>& pageExtensions);

}  // namespace tervando
