#pragma once

#include <string>

#include "engine/page_file.h"

namespace tervando {

// One page by its path, the way a page was edited before the walk from the web root's handle:
// the tests hold the safe replace and the head editor to it. Links are followed here, so the
// programs never call it; a run opens each page below its folder (OpenPage, PlanPageEdit).

// Reads the page and finds its favicon edit; when the text changes and this is no dry run, the
// new text is written from the original bytes and the one new tag (the page is held once).
// Failures throw std::system_error.
PreparedPage PreparePageEdit(const std::string& pagePath, bool remove,
                             const std::string& faviconLinkPrefix, int webRootDepth,
                             const PageEditOptions& options = {});

// Reads the page, edits its favicon reference and replaces the file when the text changed.
// Returns true when the file was replaced. Failures throw std::system_error.
bool SetUnsetFaviconInFile(const std::string& pagePath, bool remove,
                           const std::string& faviconLinkPrefix, int webRootDepth);

}  // namespace tervando
