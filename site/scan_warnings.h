#pragma once

#include <string>
#include <vector>

#include "site/page_collection.h"

namespace tervando {

// One thing the scan has to tell: a German line with the count, and the paths it counts.
struct ScanWarning {
  std::string text;
  const std::vector<std::string>* paths;  // points into the ScanResult
};

// What the scan passed over, cause by cause, then the leftover temporaries it found; causes
// with nothing to tell are left out ("Übersprungen: 3 nicht lesbare Ordner").
std::vector<ScanWarning> ScanWarnings(const ScanResult& scan);

// Files an entry the host was told of under its cause, as the scan reported it.
void FileSkipped(ScanResult& report, const SkippedEntry& entry);

// The line after a run removed `count` leftover temporaries (RemoveTemporaryFiles).
std::string RemovedLeftoversText(int count);

}  // namespace tervando
