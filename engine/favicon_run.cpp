#include "engine/favicon_run.h"

#include <optional>

#include "engine/favicon_file.h"
#include "engine/page_file.h"
#include "engine/yield.h"

namespace tervando {

namespace {

std::string RunErrorInfoText() {
  const FailureDescription failure = DescribeCurrentFailure();
  return failure.text + " [" + std::to_string(failure.code) + "]";
}

}  // namespace

std::string LogDateTimeText(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[128];
  const std::size_t length = std::strftime(text, sizeof text, "%x %X", &local);
  return std::string(text, length);
}

Message EmptyListMessage() {
  return {"Bitte legen Sie zunächst das Hauptverzeichnis Ihrer lokalen Web-Seiten fest.",
          MessageIcon::Critical, MessageButtons::Ok, MessageAnswer::Ok};
}

Message PageFailedMessage(const std::string& pagePath, const std::string& errorInfo) {
  return {"Folgende Datei liess sich nicht bearbeiten: \r\r" + pagePath + "\r\r(" + errorInfo +
              ")\r\rKlicken Sie 'OK', um fortzusetzen oder 'Abbrechen' um die Aktion zu beenden.",
          MessageIcon::None, MessageButtons::OkCancel, MessageAnswer::Ok};
}

Message FinishedMessage() {
  return {"Fertig: Alle Eintragungen abgeschlossen.", MessageIcon::Information, MessageButtons::Ok,
          MessageAnswer::Ok};
}

FaviconRunResult SetUnsetFaviconInFiles(Host& host, const SiteState& state) {
  const FaviconRunResult result =
      SetUnsetFaviconInFiles(host, [&state](const std::string& pagePath, bool remove) {
        return SetUnsetFaviconInFile(pagePath, remove, state.faviconLinkPrefix, state.webRootDepth);
      });
  // The pages' renames reach the disk together, not one folder flush per page.
  if (result.changed > 0) {
    FlushFileSystem(state.webRoot);
  }
  return result;
}

FaviconRunResult SetUnsetFaviconInFiles(Host& host, const PageEditor& editPage) {
  FaviconRunResult result;
  const int rows = host.RowCount();
  if (rows == 0) {
    host.Ask(EmptyListMessage());
    result.listEmpty = true;
    return result;
  }
  host.Log(std::string(40, '_'));
  host.Log(LogDateTimeText(std::time(nullptr)) + " Suchen&Ersetzen gestartet");
  host.Log("Dateiliste:");
  host.SetProgressRange(0, rows);
  host.SetProgressValue(0);
  host.SetStatusText("Bearbeitung läuft ...");

  for (int row = rows; row >= 1; --row) {
    // The list may have shrunk during a yield; rows that are gone are passed over.
    if (row <= host.RowCount() && host.RowMarked(row)) {
      // The page is named by the path taken here, also in the failure report.
      const std::string pagePath = host.RowText(row);
      std::optional<std::string> errorInfo;
      try {
        host.SetProgressValue(rows - row);
        if (editPage(pagePath, host.RemoveMode())) {
          ++result.changed;
          host.Log(std::to_string(result.changed) + ": " + pagePath);
        }
      } catch (...) {
        errorInfo = RunErrorInfoText();
      }
      if (errorInfo) {
        ++result.failed;
        host.Log("Fehler bei Datei " + pagePath + ": " + *errorInfo);
        if (host.Ask(PageFailedMessage(pagePath, *errorInfo)) == MessageAnswer::Cancel) {
          result.stopped = true;
          break;
        }
      }
    }
    YieldToMessageLoop();
  }

  host.SetProgressValue(0);
  host.SetStatusText("Ersetzen beendet: " + std::to_string(result.changed) + " Dateien verändert.");
  host.Log("Anzahl veränderter Dateien: " + std::to_string(result.changed));
  return result;
}

}  // namespace tervando
