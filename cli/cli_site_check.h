#pragma once

#include <string>
#include <vector>

#include "engine/site_state.h"

namespace tervando {

// What --check says about the files in the web root, beside the pages.
struct SiteFinding {
  bool attention = false;  // true: needs looking at (exit status 1); false: a hint
  std::string text;        // German, one line
};

// favicon.ico's sizes; with the modern set each file of the set, and the manifest as valid JSON
// whose icons exist; an SVG icon without a dark-mode rule as a hint.
std::vector<SiteFinding> CheckSiteFiles(const SiteState& state, bool modern);

}  // namespace tervando
