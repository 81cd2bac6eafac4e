#include "support/window_messages.h"

#include <QLocale>

namespace tervando {

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

QString RunProgressText(int done, int total) {
  const QLocale german(QLocale::German, QLocale::Germany);
  return german.toString(done) + QStringLiteral(" von ") + german.toString(total);
}

}  // namespace tervando
