#pragma once

#include <string>

#include "build_config.h"

namespace tervando {

inline constexpr int kVersionMajor = TERVANDO_VERSION_MAJOR;
inline constexpr int kVersionMinor = TERVANDO_VERSION_MINOR;
inline constexpr int kVersionRevision = TERVANDO_VERSION_PATCH;

// The program's version as text. The low 8 bits of `flags` choose the form: 0 gives
// " (V2.1.202)", 1 gives "2.1.202", anything else "". Flag 256 turns the revision into a
// letter ("2.1b"), or drops it below revision 100.
std::string VersionText(int flags);
std::string VersionText(int flags, int major, int minor, int revision);

}  // namespace tervando
