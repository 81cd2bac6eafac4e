#include "support/version_text.h"

#include <cmath>

namespace tervando {

std::string VersionText(int flags) {
  return VersionText(flags, kVersionMajor, kVersionMinor, kVersionRevision);
}

std::string VersionText(int flags, int major, int minor, int revision) {
  std::string revisionPart;
  if ((flags & 0x100) == 0) {
    revisionPart = '.';
    revisionPart += std::to_string(revision);
  } else if (revision >= 100) {
    // Round half to even: 150 gives 'b' (97.5 -> 98) and 250 gives 'b' too (98.5 -> 98).
    const double code = std::nearbyint(revision / 100.0 + 96.0);
    revisionPart = std::string(1, static_cast<char>(code));
  }
  std::string core = std::to_string(major) + "." + std::to_string(minor) + revisionPart;
  switch (flags & 0xFF) {
    case 0: {
      std::string framed = " (V";
      framed += core;
      framed += ')';
      return framed;
    }
    case 1:
      return core;
    default:
      return {};
  }
}

}  // namespace tervando
