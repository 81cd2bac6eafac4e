#include "engine/messages_window.h"

namespace tervando {

namespace {

// German digit grouping: "10.000".
std::string Grouped(int value) {
  const std::string digits = std::to_string(value < 0 ? -static_cast<long long>(value) : value);
  std::string grouped = value < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) {
      grouped += '.';
    }
    grouped += digits[i];
  }
  return grouped;
}

}  // namespace

std::string ProgressCountText(int done, int total) {
  return Grouped(done) + " von " + Grouped(total);
}

std::string WebRootAccessibleName(const std::string& webRoot) {
  return "Web-Hauptverzeichnis: " + webRoot;
}

Message OpenFailedMessage(OpenTarget target, const std::string& what) {
  std::string text;
  switch (target) {
    case OpenTarget::kHelpPage:
      text = "Die Hilfeseite konnte nicht geöffnet werden:\r" + what +
             "\r\rEs ist kein Browser eingerichtet, der sie anzeigen kann.";
      break;
    case OpenTarget::kWebAddress:
      text = "Die Web-Adresse konnte nicht geöffnet werden:\r" + what +
             "\r\rEs ist kein Browser eingerichtet.";
      break;
    case OpenTarget::kPageInEditor:
      text = "Die Seite konnte nicht zum Bearbeiten geöffnet werden:\r" + what +
             "\r\rEs ist kein Texteditor eingerichtet (für Klartext-Dateien, oder über VISUAL "
             "bzw. EDITOR in einem Terminal).";
      break;
  }
  return {text, MessageIcon::Critical, MessageButtons::Ok, MessageAnswer::Ok};
}

Message NoFolderMessage(const std::string& path) {
  return {"Der Ordner\r" + path +
              "\rkann nicht als Hauptverzeichnis gewählt werden: Es gibt ihn nicht, oder er ist "
              "kein Ordner.",
          MessageIcon::Critical, MessageButtons::Ok, MessageAnswer::Ok};
}

Message OtherRootRowsMessage(int count) {
  const bool one = count == 1;
  return {std::to_string(count) +
              (one ? " Seite eines anderen Hauptverzeichnisses bleibt in der Liste und wird"
                   : " Seiten eines anderen Hauptverzeichnisses bleiben in der Liste und werden") +
              " beim Start übergangen; " + (one ? "ihr Häkchen ist" : "ihre Häkchen sind") +
              " entfernt.",
          MessageIcon::Information, MessageButtons::Ok, MessageAnswer::Ok};
}

std::string IconDialogTitle(int iconCount) {
  return std::string(kProgramTitle) + " - Icon-Auswahl (" + std::to_string(iconCount) + " Stück)";
}

std::string IconAccessibleName(int number, int iconCount) {
  return "Icon " + std::to_string(number) + " von " + std::to_string(iconCount);
}

std::string ImageFileFilter(const std::string& patterns) {
  return "Bilder (" + patterns + ");;Alle Dateien (*)";
}

}  // namespace tervando
