#include "engine/messages_cli.h"

namespace tervando {

std::string NotAReadableFolderText(const std::string& path) {
  return "\"" + path + "\" ist kein lesbarer Ordner.";
}

std::string IconMissingText(int number) { return "Icon " + std::to_string(number) + " fehlt."; }

std::string NothingChangedText(const std::string& problem) {
  return problem + "; es wurde nichts verändert.\n";
}

std::string ListedCountText(int count) {
  return "Eintragung beendet (" + std::to_string(count) + " Dateien)";
}

std::string WouldBeWrittenText(const std::string& name, const std::string& path) {
  return name + " würde geschrieben: " + path;
}

std::string NotDoneCountText(int failed) {
  return "Nicht bearbeitet: " + std::to_string(failed) + (failed == 1 ? " Datei" : " Dateien") +
         " (siehe oben).";
}

std::string FaviconNotWrittenText(bool declined, const std::string& path) {
  return std::string(declined ? "favicon.ico wurde nicht überschrieben: "
                              : "favicon.ico wurde nicht geschrieben: ") +
         path;
}

std::string SetNotPlacedText(bool declined, const std::string& webRoot) {
  return std::string("Das gewählte Icon wurde nicht eingesetzt: ") +
         (declined ? "die Dateien des Favicon-Satzes blieben, wie sie waren: "
                   : "die Dateien des Favicon-Satzes wurden nicht geschrieben: ") +
         webRoot;
}

std::string UnknownOptionText(const std::string& option) {
  return "Unbekannte Option " + option + ".";
}

std::string OptionTakesNoValueText(const std::string& option) {
  return "Option " + option + " nimmt keinen Wert.";
}

std::string OptionNeedsValueText(const std::string& option) {
  return "Option " + option + " braucht einen Wert.";
}

std::string CheckExcludesText(const std::string& option) {
  return "--check schließt " + option + " aus.";
}

std::string OnlyWithCheckText(const std::string& option) {
  return option + " gilt nur mit --check.";
}

std::string ExclusiveOptionsText(const std::string& first, const std::string& second) {
  return first + " und " + second + " schließen einander aus.";
}

std::string ConflictingValuesText(const std::string& option, const std::string& first,
                                  const std::string& second) {
  return option + " \"" + first + "\" und " + option + " \"" + second +
         "\" widersprechen einander.";
}

std::string NoPagesWrittenText(const std::string& webRoot,
                               const std::vector<std::string>& extensions) {
  if (extensions.empty()) {
    return "Keine Seiten unter " + webRoot +
           " gefunden: die Liste der Endungen ist leer; es wurde nichts geschrieben.";
  }
  std::string names;
  for (const std::string& extension : extensions) {
    names += (names.empty() ? "" : ", ") + extension;
  }
  return "Keine Seiten mit den Endungen " + names + " unter " + webRoot +
         " gefunden; es wurde nichts geschrieben.";
}

std::string NoPagesFoundText(const std::string& webRoot) {
  return "Keine Seiten unter " + webRoot + " gefunden.\n";
}

std::string CheckHeadingText(bool remove, std::size_t pageCount, const std::string& webRoot) {
  return "Prüfung für \"" + std::string(remove ? "löschen" : "einsetzen / auffrischen") +
         "\": " + std::to_string(pageCount) + " Seiten unter " + webRoot + "\n\n";
}

std::string PageClassLabel(PageClass pageClass, bool remove, bool modern) {
  switch (pageClass) {
    case PageClass::kUnreadable:
      return "nicht lesbar (der Lauf meldet einen Fehler)";
    case PageClass::kEmpty:
      return "leere Datei (der Lauf meldet einen Fehler)";
    case PageClass::kWouldChange:
      return remove ? "würde geändert (Verweis gelöscht)"
                    : "würde geändert (Verweis eingesetzt oder aufgefrischt)";
    case PageClass::kUnicodeBom:
      return "UTF-16 oder UTF-32 (wird nie bearbeitet)";
    case PageClass::kNoHead:
      return "kein <head>-Tag (bleibt unverändert)";
    case PageClass::kHeadAttributes:
      return "<head> mit Attributen oder Leerzeichen (bleibt unverändert)";
    case PageClass::kNoHeadEnd:
      return "kein </head> nach <head> (bleibt unverändert)";
    case PageClass::kReferenceAfterHead:
      return "Favicon-Verweis erst nach </head> (bleibt unverändert)";
    case PageClass::kOtherIcon:
      // Beside icon.svg, an own link may win from anywhere in the head.
      return modern ? "ein eigener Icon-Verweis der Seite, den Browser unserem vorziehen"
                    : "danach ein anderer Icon-Verweis, den Browser vorziehen";
    case PageClass::kFaviconMissing:
      return modern ? "eine Datei des Favicon-Satzes fehlt (der nächste Lauf legt sie an)"
                    : "favicon.ico fehlt (der nächste Lauf legt es an)";
    case PageClass::kUpToDate:
      return remove ? "bereits aktuell (kein Verweis zu löschen)" : "bereits aktuell";
  }
  return {};
}

std::string OtherIconAfterRunLabel(bool modern) {
  return modern ? "davon: danach bliebe ein eigener Icon-Verweis, den Browser unserem vorziehen"
                : "davon: danach bliebe ein anderer Icon-Verweis, den Browser vorziehen";
}

std::string LateCharsetLabel(std::size_t bytes) {
  return "Zeichensatz-Angabe danach erst hinter Byte " + std::to_string(bytes) +
         ": Browser lesen die Seite evtl. mit falschem Zeichensatz";
}

std::string AttentionSummaryText(std::size_t attention, std::size_t pageCount) {
  if (attention == 0) {
    return "Keine Seite braucht Aufmerksamkeit.\n";
  }
  return "! " + std::to_string(attention) + " von " + std::to_string(pageCount) +
         " Seiten brauchen Aufmerksamkeit.\n";
}

namespace {

std::string SideList(const std::vector<int>& sides) {
  std::string list;
  for (const int side : sides) {
    list += (list.empty() ? "" : ", ") + std::to_string(side);
  }
  return list;
}

}  // namespace

std::string IcoSidesText(const std::vector<int>& sides) {
  return "favicon.ico enthält " + SideList(sides) + " Bildpunkte.";
}

std::string IcoBlurryText(const std::vector<int>& sides, int sharpSide) {
  return "favicon.ico enthält " + SideList(sides) + " Bildpunkte, keines mit " +
         std::to_string(sharpSide) + " oder mehr: auf hochauflösenden Bildschirmen unscharf.";
}

std::string ManifestNotJsonText(const std::string& manifest) {
  return manifest + " ist kein gültiges JSON-Objekt.";
}

std::string ManifestWithoutIconsText(const std::string& manifest) {
  return manifest + " nennt keine Icons.";
}

std::string ManifestIconMissingText(const std::string& manifest, const std::string& source) {
  return manifest + " nennt \"" + source + "\", das im Hauptverzeichnis fehlt.";
}

std::string SetFileMissingText(const std::string& name) {
  return name + " fehlt (der nächste Lauf legt es an).";
}

std::string ManifestNotInstallableText(const std::string& manifest, ManifestLack lack) {
  const char* what = "";
  switch (lack) {
    case ManifestLack::kName:
      what = "\"name\"";
      break;
    case ManifestLack::kStartUrl:
      what = "\"start_url\"";
      break;
    case ManifestLack::kDisplay:
      what = "\"display\" (minimal-ui, standalone oder fullscreen)";
      break;
    case ManifestLack::kIcon192:
      what = "ein Icon mit \"sizes\": \"192x192\"";
      break;
    case ManifestLack::kIcon512:
      what = "ein Icon mit \"sizes\": \"512x512\"";
      break;
  }
  return manifest + " ist so nicht als App installierbar: es fehlt " + what + ".";
}

std::string ManifestWithoutMaskableText(const std::string& manifest) {
  return manifest +
         " nennt kein Icon mit \"purpose\": \"maskable\": Startbildschirme beschneiden das "
         "Icon evtl.";
}

std::string SvgWithoutDarkModeText(const std::string& svg) {
  return svg +
         " hat keine Regel für den dunklen Modus (prefers-color-scheme): auf dunklem Grund "
         "evtl. schlecht sichtbar.";
}

}  // namespace tervando
