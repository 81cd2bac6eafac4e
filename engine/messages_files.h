#pragma once

#include <string>

namespace tervando {

// Why a file operation failed: the action part of a FileError's text ("<action>: <path>: ...").

// On the walk from the web root to a page or folder.
inline constexpr char kWalkLinkText[] = "Verknüpfung statt Ordner oder Datei, nicht gefolgt";
inline constexpr char kWalkNoFolderText[] = "Ordner auf dem Weg ist kein Ordner mehr";
inline constexpr char kWalkOutsideRootText[] = "Liegt nicht im Hauptverzeichnis";
inline constexpr char kFolderOpenText[] = "Ordner kann nicht geöffnet werden";

// Reading, checking and replacing a page (or favicon.ico).
inline constexpr char kPageSwappedText[] =
    "Datei wurde während der Bearbeitung durch eine andere ersetzt";
inline constexpr char kPageReadOnlyText[] = "Datei ist schreibgeschützt";
inline constexpr char kPageBusyText[] = "Datei wird gerade von einem anderen Programm geschrieben";
inline constexpr char kPageChangedText[] = "Datei wurde während der Bearbeitung von außen geändert";
inline constexpr char kDanglingLinkText[] = "Verknüpfung führt zu keiner Datei";
inline constexpr char kCreateText[] = "Datei kann nicht neu angelegt werden";
inline constexpr char kWriteText[] = "Datei kann nicht geschrieben werden";
inline constexpr char kReadText[] = "Datei kann nicht gelesen werden";
inline constexpr char kTooLargeText[] = "Datei zu groß zum Bearbeiten";
inline constexpr char kNotRegularText[] = "Keine gewöhnliche Datei";
inline constexpr char kOpenText[] = "Datei kann nicht geöffnet werden";
inline constexpr char kSizeUnknownText[] = "Dateigröße unbekannt";
inline constexpr char kSetAttributesText[] = "Dateiattribute können nicht gesetzt werden";
inline constexpr char kReplaceText[] = "Datei kann nicht ersetzt werden";
inline constexpr char kCheckText[] = "Datei kann nicht geprüft werden";
inline constexpr char kLinkOutOfRootText[] = "Verknüpfung führt aus dem Hauptverzeichnis hinaus";

// The extended attributes and ACL of a replaced file (the name: the attribute's).
inline constexpr char kReadAttributesText[] = "Erweiterte Attribute können nicht gelesen werden";
std::string AttributeNotKeptText(const std::string& name);

// Causes named whatever step met them (FileError puts them in place of the step's text).
inline constexpr char kReadOnlyFileSystemText[] = "Dateisystem ist nur zum Lesen eingehängt";
inline constexpr char kFileSizeLimitText[] = "Datei überschreitet die Grenze für Dateigrößen";

// Failures that are no file operation's.
inline constexpr char kIndexOutOfRangeText[] = "Index außerhalb des gültigen Bereichs";
inline constexpr char kOutOfMemoryText[] = "Nicht genügend Arbeitsspeicher";
inline constexpr char kUnknownFailureText[] = "Unbekannter Fehler";
std::string UnknownErrorCodeText(int code);

}  // namespace tervando
