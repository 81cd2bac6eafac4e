#pragma once

#include <stop_token>
#include <string>
#include <vector>

#include "engine/page_check.h"

namespace tervando {

// Reads and classifies the pages at these paths (as ClassifyPage, with the favicon.ico looked
// for on the disk, each one once) on up to `threads` threads. A page that can't be read is
// kUnreadable. Once `stop` is requested the pages not yet begun keep the default check.
std::vector<PageCheck> CheckPages(const std::vector<std::string>& paths, bool remove,
                                  const std::string& faviconLinkPrefix, int webRootDepth,
                                  int threads, std::stop_token stop = {});

}  // namespace tervando
