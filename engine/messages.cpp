#include "engine/messages.h"

#include "engine/web_root_lock.h"

namespace tervando {

Message NoticeMessage(const Notice& notice) {
  switch (notice.kind) {
    case NoticeKind::kEmptyList:
      return {"Bitte legen Sie zunächst das Hauptverzeichnis Ihrer lokalen Web-Seiten fest.",
              MessageIcon::Critical, MessageButtons::Ok, MessageAnswer::Ok};
    case NoticeKind::kWebRootBusy:
      return {WebRootBusyText(notice.path), MessageIcon::Critical, MessageButtons::Ok,
              MessageAnswer::Ok};
    case NoticeKind::kFinished:
      break;
  }
  return {"Fertig: Alle Eintragungen abgeschlossen.", MessageIcon::Information, MessageButtons::Ok,
          MessageAnswer::Ok};
}

Message PageFailedMessage(const PageFailure& failure) {
  return {"Folgende Datei liess sich nicht bearbeiten: \r\r" + failure.path + "\r\r(" +
              failure.errorInfo +
              ")\r\rKlicken Sie 'OK', um fortzusetzen oder 'Abbrechen' um die Aktion zu beenden.",
          MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok};
}

Message OverwriteFaviconMessage() {
  return {
      "Hinweis: Im angegebenen Hauptverzeichnis Ihrer lokalen Web-Dateien befindet sich "
      "bereits eine Datei namens FAVICON.ICO. Sie haben jedoch ein anderes Icon gewählt, "
      "wodurch diese Datei überschrieben wird.\r\rBitte drücken Sie [OK], um diesen Vorgang "
      "zu quittieren.",
      MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok};
}

Message FaviconWriteFailedMessage(const std::string& errorInfo) {
  return {
      "Die Datei FAVICON.ICO konnte nicht im angegebenen Hauptverzeichnis Ihrer lokalen "
      "Web-Dateien erstellt werden (" +
          errorInfo + ").\r\rMöchten Sie es nochmals versuchen?",
      MessageIcon::Critical, MessageButtons::YesNo, MessageAnswer::No};
}

std::string StatusText(const Status& status) {
  switch (status.kind) {
    case StatusKind::kFilling:
      return "Die Liste wird aufgefüllt: " + status.path;
    case StatusKind::kFillDone:
      return "Eintragung beendet";
    case StatusKind::kRunning:
      return "Bearbeitung läuft ...";
    case StatusKind::kRunDone:
      return "Ersetzen beendet: " + std::to_string(status.count) + " Dateien verändert.";
    case StatusKind::kFailed:
      break;
  }
  return status.path;
}

std::string LogNotARegularFileText(const std::string& path) {
  return "Das Protokoll \"" + path +
         "\" ist keine gewöhnliche Datei (etwa eine benannte Pipe oder ein Gerät)";
}

std::string LogNotWritableText(const std::string& path, const std::string& reason) {
  return "Das Protokoll \"" + path + "\" lässt sich nicht schreiben (" + reason + ")";
}

Message LogFailedMessage(const std::string& text) {
  return {text +
              ".\r\rDas Protokoll dieses Laufs ist unvollständig; die Seiten werden "
              "trotzdem bearbeitet.",
          MessageIcon::Exclamation, MessageButtons::Ok, MessageAnswer::Ok};
}

std::string RunInterruptedLogLine() {
  return "Lauf abgebrochen: die übrigen Dateien blieben unverändert.";
}

std::string SvgOutsideReferenceText(const std::string& name, const std::string& reference) {
  return "Die SVG-Zeichnung in der Datei \"" + name + "\" verweist auf \"" + reference +
         "\" außerhalb der Datei; Tervando nimmt eine Zeichnung nur mit dem, was in ihrer "
         "eigenen Datei steht.";
}

std::string ForeignLinksLogLine(bool switchedOn, int count, const std::string& path) {
  return std::string("Fremde Icon-Verweise ") + (switchedOn ? "wiederhergestellt" : "stillgelegt") +
         " (" + std::to_string(count) + "): " + path;
}

Message OverwriteSetFileMessage(const std::string& name) {
  return {"Im Hauptverzeichnis existiert bereits eine Datei " + name +
              ". Soll sie überschrieben werden?",
          MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok};
}

}  // namespace tervando
