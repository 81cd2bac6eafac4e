#pragma once

#include <string>
#include <vector>

#include "engine/messages.h"  // SkipCountText, RemovedLeftoversText
#include "site/page_collection.h"

namespace tervando {

// One thing the scan has to tell: a German line with the count, and the paths it counts.
struct ScanWarning {
  std::string text;
  const std::vector<std::string>* paths;  // points into the ScanResult
};

// What the scan passed over, cause by cause, then the leftover temporaries it found; causes
// with nothing to tell are left out.
std::vector<ScanWarning> ScanWarnings(const ScanResult& scan);

}  // namespace tervando
