#include "engine/messages.h"

#include <cerrno>
#include <system_error>

namespace tervando {

Message NoticeMessage(const Notice& notice) {
  switch (notice.kind) {
    case NoticeKind::kEmptyList:
      return {"Bitte legen Sie zunächst das Hauptverzeichnis Ihrer lokalen Web-Seiten fest.",
              MessageIcon::Critical, MessageButtons::Ok, MessageAnswer::Ok};
    case NoticeKind::kWebRootBusy:
      return {WebRootBusyText(notice.path), MessageIcon::Critical, MessageButtons::Ok,
              MessageAnswer::Ok};
    case NoticeKind::kSystemFolder:
      return {SystemFolderText(notice.path), MessageIcon::Critical, MessageButtons::Ok,
              MessageAnswer::Ok};
    case NoticeKind::kWebRootMoved:
    case NoticeKind::kWebRootMovedDuringRun:
      return {WebRootMovedText(notice.path, notice.kind == NoticeKind::kWebRootMovedDuringRun),
              MessageIcon::Critical, MessageButtons::Ok, MessageAnswer::Ok};
    case NoticeKind::kFinished:
      break;
  }
  return {FinishedText(notice.counts, notice.path),
          notice.counts.AllHandled() ? MessageIcon::Information : MessageIcon::Exclamation,
          MessageButtons::Ok, MessageAnswer::Ok};
}

namespace {

// "1 Seite", "2 weitere Seiten".
std::string Pages(int count, const std::string& adjective = {}) {
  return std::to_string(count) + adjective + (count == 1 ? " Seite" : " Seiten");
}

std::string FinishedHeadline(const RunCounts& counts) {
  if (counts.AllHandled()) {
    return counts.remove ? "Fertig: Alle Favicon-Verweise entfernt."
                         : "Fertig: Alle Eintragungen abgeschlossen.";
  }
  if (counts.stopped || counts.notReached > 0) {
    return counts.remove ? "Abgebrochen: nicht alle Favicon-Verweise wurden entfernt."
                         : "Abgebrochen: nicht alle Eintragungen wurden vorgenommen.";
  }
  return counts.remove ? "Fertig, aber nicht alle Favicon-Verweise sind entfernt."
                       : "Fertig, aber nicht alle Eintragungen sind abgeschlossen.";
}

}  // namespace

std::string FinishedText(const RunCounts& counts, const std::string& logPath) {
  std::string text = FinishedHeadline(counts);
  text += "\r\rVerändert: " + std::to_string(counts.changed) +
          "\rUnverändert: " + std::to_string(counts.unchanged) +
          "\rFehlgeschlagen: " + std::to_string(counts.failed) +
          "\rÜbergangen (außerhalb des Hauptverzeichnisses): " + std::to_string(counts.passedOver) +
          "\rNicht erreicht: " + std::to_string(counts.notReached);
  if (counts.otherIcon > 0) {
    text += "\r\rAuf " + Pages(counts.otherIcon) +
            " zeigen Browser trotzdem ein anderes Icon: ein späterer Icon-Verweis der Seite geht "
            "vor.";
  }
  if (counts.attention > 0) {
    const bool one = counts.attention == 1;
    text += "\r\r" + Pages(counts.attention, counts.otherIcon > 0 ? " weitere" : "") +
            (counts.remove ? (one ? " braucht" : " brauchen") + std::string(" einen Blick")
                           : (one ? " zeigt" : " zeigen") + std::string(" das Icon nicht")) +
            " (in der Liste markiert).";
  }
  text += logPath.empty() ? std::string("\r\rEs wurde kein Protokoll geschrieben.")
                          : "\r\rEinzelheiten stehen im Protokoll: " + logPath;
  return text;
}

std::string SummaryLogLine(const RunCounts& counts) {
  return "Zusammenfassung: verändert " + std::to_string(counts.changed) + ", unverändert " +
         std::to_string(counts.unchanged) + ", fehlgeschlagen " + std::to_string(counts.failed) +
         ", übergangen " + std::to_string(counts.passedOver) + ", nicht erreicht " +
         std::to_string(counts.notReached);
}

std::string CheckedPageLogLine(const std::string& path, const std::string& reason) {
  return "Zu prüfen: " + path + ": " + reason;
}

std::string PassedOverLogLine(const std::string& path) {
  return "Übergangen (liegt nicht im Hauptverzeichnis): " + path;
}

std::string OutsideWebRootText(const std::string& webRoot) {
  return "Liegt nicht im Hauptverzeichnis " + webRoot + " und wird daher nicht bearbeitet.";
}

Message PageFailedMessage(const PageFailure& failure) {
  return {"Folgende Datei liess sich nicht bearbeiten: \r\r" + failure.path + "\r\r(" +
              PageErrorInfoText(failure.errorInfo) +
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

Message FaviconWriteFailedMessage(const ErrorInfo& errorInfo) {
  return {
      "Die Datei FAVICON.ICO konnte nicht im angegebenen Hauptverzeichnis Ihrer lokalen "
      "Web-Dateien erstellt werden (" +
          FaviconErrorInfoText(errorInfo) + ").\r\rMöchten Sie es nochmals versuchen?",
      MessageIcon::Critical, MessageButtons::YesNo, MessageAnswer::No};
}

std::string FileCountText(int count) { return std::to_string(count) + " Dateien"; }

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

std::string WebRootBusyText(const std::string& webRoot) {
  return "Ein anderer Lauf bearbeitet gerade diesen Ordner: " + webRoot;
}

std::string WebRootMovedText(const std::string& webRoot, bool duringRun) {
  return "Der Ordner " + webRoot +
         (duringRun ? " wurde während des Laufs umbenannt oder ersetzt. Gelesen und bearbeitet "
                      "wurde nur der eingelesene Ordner, nichts unter dem neuen Namen."
                    : " ist nicht mehr der eingelesene Ordner: er wurde umbenannt oder ersetzt. "
                      "Es wurde nichts geändert; bitte wählen Sie das Hauptverzeichnis erneut.");
}

std::string PageErrorInfoText(const ErrorInfo& info) {
  return info.text + " [" + std::to_string(info.code) + "]";
}

std::string FaviconErrorInfoText(const ErrorInfo& info) {
  return info.text + " (Code " + std::to_string(info.code) + ")";
}

std::string AttributeNotKeptText(const std::string& name) {
  if (name == "system.posix_acl_access") {
    return "Zugriffsrechte (ACL) können nicht übernommen werden";
  }
  return "Erweitertes Attribut " + name + " kann nicht übernommen werden";
}

std::string UnknownErrorCodeText(int code) {
  return std::string(kUnknownFailureText) + " " + std::to_string(code);
}

std::string LogNotARegularFileText(const std::string& path) {
  return "Das Protokoll \"" + path +
         "\" ist keine gewöhnliche Datei (etwa eine benannte Pipe oder ein Gerät)";
}

std::string LogNotWritableText(const std::string& path, int errnoValue) {
  const std::string reason =
      std::generic_category().message(errnoValue) + " [" + std::to_string(errnoValue) + "]";
  if (errnoValue == EROFS) {
    return "Das Protokoll \"" + path + "\" liegt auf einem nur zum Lesen eingehängten " +
           "Dateisystem (" + reason + ")";
  }
  return "Das Protokoll \"" + path + "\" lässt sich nicht schreiben (" + reason + ")";
}

Message LogFailedMessage(const std::string& text) {
  return {text +
              ".\r\rDas Protokoll dieses Laufs ist unvollständig; die Seiten werden "
              "trotzdem bearbeitet.",
          MessageIcon::Exclamation, MessageButtons::Ok, MessageAnswer::Ok};
}

std::string RunStartedLogLine(const std::string& dateTime) {
  return dateTime + " Suchen&Ersetzen gestartet";
}

std::string PageListLogLine() { return "Dateiliste:"; }

std::string PageFailedLogLine(const std::string& path, const std::string& errorInfo) {
  return "Fehler bei Datei " + path + ": " + errorInfo;
}

std::string ChangedCountLogLine(int count) {
  return "Anzahl veränderter Dateien: " + std::to_string(count);
}

std::string RunInterruptedLogLine() {
  return "Lauf abgebrochen: die übrigen Dateien blieben unverändert.";
}

std::string ForeignLinksLogLine(bool switchedOn, int count, const std::string& path) {
  return std::string("Fremde Icon-Verweise ") + (switchedOn ? "wiederhergestellt" : "stillgelegt") +
         " (" + std::to_string(count) + "): " + path;
}

Message OverwriteSetFilesMessage(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) {
    list.append(list.empty() ? "" : ", ").append(name);
  }
  return {
      "Im Hauptverzeichnis gibt es bereits Dateien des Favicon-Satzes, die das gewählte Icon "
      "ersetzt: " +
          list +
          ".\r\rBitte drücken Sie [OK], um sie alle zu überschreiben. Mit [Abbrechen] "
          "bleiben alle alten Dateien, und keine neue wird geschrieben.",
      MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok};
}

}  // namespace tervando
