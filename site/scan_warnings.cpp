#include "site/scan_warnings.h"

#include "engine/messages.h"

namespace tervando {

std::vector<ScanWarning> ScanWarnings(const ScanResult& scan) {
  const struct {
    const std::vector<std::string>& paths;
    SkipCause cause;
  } causes[] = {
      {scan.skipped.unreadableFolders, SkipCause::kUnreadableFolder},
      {scan.skipped.danglingLinks, SkipCause::kDanglingLink},
      {scan.skipped.linksOutOfRoot, SkipCause::kOutsideRoot},
      {scan.skipped.tooLong, SkipCause::kNameTooLong},
      {scan.leftovers, SkipCause::kLeftoverTemporary},
  };
  std::vector<ScanWarning> warnings;
  for (const auto& cause : causes) {
    if (!cause.paths.empty()) {
      warnings.push_back({SkipCountText(cause.cause, cause.paths.size()), &cause.paths});
    }
  }
  return warnings;
}

}  // namespace tervando
