#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "engine/page_check.h"
#include "engine/page_walk.h"

namespace tervando {

// Reads and classifies the pages at these paths for the run `block` stands for (as ClassifyPage,
// with the favicon.ico looked for on the disk, each one once) on up to `threads` threads. Pages
// and favicon.ico are reached from the web root's handle `root` (`webRoot` its path) without
// following a link; a page that can't be read so is kUnreadable. Once `stop` is requested the
// pages not yet begun keep the default check.
std::vector<PageCheck> CheckPages(const FolderRef& root, const std::string& webRoot,
                                  const std::vector<std::string>& paths,
                                  const IconBlockOptions& block,
                                  const std::string& faviconLinkPrefix, int webRootDepth,
                                  int threads, std::stop_token stop = {});

// What a page list marks on a page: kOtherIcon when browsers will show another icon link of the
// page than ours (now, or once the run has put ours in), else the class when the run would
// fail on the page or leave it without our icon although it has a head. A page the run would
// simply change is no news: none.
std::optional<PageClass> ListMark(const PageCheck& check);

}  // namespace tervando
