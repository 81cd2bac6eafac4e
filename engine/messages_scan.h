#pragma once

#include <cstddef>
#include <string>

#include "engine/host_events.h"

namespace tervando {

// What the scan passed over or found, counted: "Übersprungen: 3 nicht lesbare Ordner",
// "Gefunden: 1 liegen gebliebene temporäre Datei".
std::string SkipCountText(SkipCause cause, std::size_t count);

// A system folder ("/", "/usr", ...) chosen as the web root: refused before the scan.
std::string SystemFolderText(const std::string& folder);

// The line after a run removed `count` leftover temporaries (RemoveTemporaryFiles).
std::string RemovedLeftoversText(int count);

}  // namespace tervando
