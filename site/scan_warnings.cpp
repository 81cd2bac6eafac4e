#include "site/scan_warnings.h"

#include <cstddef>

namespace tervando {

namespace {

std::string Counted(const char* lead, std::size_t count, const char* one, const char* many) {
  return std::string(lead) + std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::vector<ScanWarning> ScanWarnings(const ScanResult& scan) {
  const struct {
    const std::vector<std::string>& paths;
    const char* lead;
    const char* one;
    const char* many;
  } causes[] = {
      {scan.skipped.unreadableFolders, "Übersprungen: ", "nicht lesbarer Ordner",
       "nicht lesbare Ordner"},
      {scan.skipped.danglingLinks, "Übersprungen: ", "Verknüpfung ohne Ziel",
       "Verknüpfungen ohne Ziel"},
      {scan.skipped.linksOutOfRoot, "Übersprungen: ", "Verknüpfung aus dem Hauptverzeichnis hinaus",
       "Verknüpfungen aus dem Hauptverzeichnis hinaus"},
      {scan.skipped.tooLong, "Übersprungen: ", "zu langer Pfad", "zu lange Pfade"},
      {scan.leftovers, "Gefunden: ", "liegen gebliebene temporäre Datei",
       "liegen gebliebene temporäre Dateien"},
  };
  std::vector<ScanWarning> warnings;
  for (const auto& cause : causes) {
    if (!cause.paths.empty()) {
      warnings.push_back(
          {Counted(cause.lead, cause.paths.size(), cause.one, cause.many), &cause.paths});
    }
  }
  return warnings;
}

void FileSkipped(ScanResult& report, const SkippedEntry& entry) {
  switch (entry.cause) {
    case SkipCause::kUnreadableFolder:
      report.skipped.unreadableFolders.push_back(entry.path);
      break;
    case SkipCause::kDanglingLink:
      report.skipped.danglingLinks.push_back(entry.path);
      break;
    case SkipCause::kOutsideRoot:
      report.skipped.linksOutOfRoot.push_back(entry.path);
      break;
    case SkipCause::kNameTooLong:
      report.skipped.tooLong.push_back(entry.path);
      break;
    case SkipCause::kLeftoverTemporary:
      report.leftovers.push_back(entry.path);
      break;
  }
}

std::string RemovedLeftoversText(int count) {
  return Counted("Entfernt: ", static_cast<std::size_t>(count < 0 ? 0 : count),
                 "liegen gebliebene temporäre Datei", "liegen gebliebene temporäre Dateien");
}

}  // namespace tervando
