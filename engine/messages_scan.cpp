#include "engine/messages_scan.h"

namespace tervando {

namespace {

std::string Counted(const char* lead, std::size_t count, const char* one, const char* many) {
  return std::string(lead) + std::to_string(count) + " " + (count == 1 ? one : many);
}

constexpr char kLeftoverOne[] = "liegen gebliebene temporäre Datei";
constexpr char kLeftoverMany[] = "liegen gebliebene temporäre Dateien";

}  // namespace

std::string SkipCountText(SkipCause cause, std::size_t count) {
  switch (cause) {
    case SkipCause::kUnreadableFolder:
      return Counted("Übersprungen: ", count, "nicht lesbarer Ordner", "nicht lesbare Ordner");
    case SkipCause::kDanglingLink:
      return Counted("Übersprungen: ", count, "Verknüpfung ohne Ziel", "Verknüpfungen ohne Ziel");
    case SkipCause::kOutsideRoot:
      return Counted("Übersprungen: ", count, "Verknüpfung aus dem Hauptverzeichnis hinaus",
                     "Verknüpfungen aus dem Hauptverzeichnis hinaus");
    case SkipCause::kNameTooLong:
      return Counted("Übersprungen: ", count, "zu langer Pfad", "zu lange Pfade");
    case SkipCause::kLeftoverTemporary:
      break;
  }
  return Counted("Gefunden: ", count, kLeftoverOne, kLeftoverMany);
}

std::string RemovedLeftoversText(int count) {
  return Counted("Entfernt: ", static_cast<std::size_t>(count < 0 ? 0 : count), kLeftoverOne,
                 kLeftoverMany);
}

std::string SystemFolderText(const std::string& folder) {
  return "\"" + folder +
         "\" ist ein Ordner des Systems und kein Hauptverzeichnis einer Web-Site; Tervando "
         "bearbeitet dort keine Seiten.";
}

}  // namespace tervando
