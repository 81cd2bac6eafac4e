#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/host.h"

namespace tervando {

// Every file below `folder`, as full paths in scan order: all entries of a folder come before
// anything inside its subfolders, and its subfolders are entered last-found first, each subtree
// completely before the next. Names starting with "." are skipped with their subtrees. Entries
// that cannot be read or typed (dangling links, no permission, unlistable folders) are passed
// over. Folder links are followed, but every real folder is entered once, so a link back into
// the tree neither loops nor lists a file twice. Only regular files count as files.
std::vector<std::string> CollectFiles(const std::string& folder);

// True when `path` ends in one of the page extensions (without regard to case) and does not
// lie in a "_vti_" folder.
bool IsPagePath(std::string_view path);

// Adds `path` as a new marked row at the top of the host's list when it is a page not listed
// yet. Every 64th call of the program run refreshes the count panel and lets the host yield.
void AddPageToList(Host& host, const std::string& path);

// Where the 0..63 counter of AddPageToList stands (it lives for the whole program run).
int AddPageYieldCounter();

}  // namespace tervando
