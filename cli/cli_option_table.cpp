#include "cli/cli_option_table.h"

#include <charconv>

#include "icons/icon_catalogue.h"

namespace tervando {

namespace {

constexpr std::size_t kHelpColumn = 22;

std::string StoreIcon(CliOptions& options, const std::string& text) {
  int number = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  if (error != std::errc() || stop != end || number < 1 || number > kIconCount) {
    return "--icon erwartet eine Zahl von 1 bis " + std::to_string(kIconCount) + ", nicht \"" +
           text + "\".";
  }
  options.icon = number;
  return {};
}

std::string StoreIconFile(CliOptions& options, const std::string& text) {
  options.iconFile = text;
  return {};
}

std::string StoreFormat(CliOptions& options, const std::string& text) {
  if (text != "json" && text != "text") {
    return "--format erwartet text oder json, nicht \"" + text + "\".";
  }
  options.json = text == "json";
  return {};
}

std::string StoreSet(CliOptions& options, const std::string& text) {
  if (text != "classic" && text != "modern" && text != "klassisch") {
    return "--set erwartet classic oder modern, nicht \"" + text + "\".";
  }
  options.modernSet = text == "modern";
  return {};
}

// "htm" and ".htm" alike: options.ini names extensions without the dot, people often with it.
std::string StoreExtensions(CliOptions& options, const std::string& text) {
  std::string list;
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    std::string part = text.substr(start, comma == std::string::npos ? comma : comma - start);
    if (const std::size_t first = part.find_first_not_of(' ');
        first != std::string::npos && part[first] == '.') {
      part.erase(first, 1);
    }
    list += part;
    if (comma == std::string::npos) {
      break;
    }
    list += ',';
    start = comma + 1;
  }
  options.extensions = list;
  return {};
}

std::string StoreLog(CliOptions& options, const std::string& text) {
  if (text.empty()) {
    return "--log braucht einen Dateinamen.";
  }
  options.logFile = text;
  return {};
}

using S = CliSection;
using O = CliOptions;

constexpr CliOptionSpec kOptions[] = {
    {"remove", 'r', true, "", "Favicon-Verweise löschen statt einsetzen", "", S::kAny, &O::remove,
     nullptr, "icon icon-file"},
    {"icon", 0, true, "N", "Icon N (1-{N}) des Katalogs als favicon.ico schreiben",
     "Icon N (1\\-{N}) des Katalogs als favicon.ico schreiben.", S::kRun, nullptr, StoreIcon,
     "icon-file"},
    {"icon-file", 0, true, "F",
     "die Icon-Datei F als favicon.ico schreiben, oder ein Bild\n"
     "(PNG, JPEG, GIF, BMP, WebP, SVG) als Icon in 16, 32, 48\n"
     "und 256 Bildpunkten",
     "Die Icon-Datei F als favicon.ico schreiben.", S::kRun, nullptr, StoreIconFile},
    {"set", 0, true, "S",
     "Favicon-Satz: classic (nur favicon.ico und ein Verweis,\n"
     "Vorgabe) oder modern (dazu icon.svg, apple-touch-icon.png,\n"
     "icon-192.png, icon-512.png, icon-maskable-512.png,\n"
     "manifest.webmanifest)",
     "Favicon-Satz:\n"
     ".B classic\n"
     "(Vorgabe) schreibt favicon.ico und setzt einen Verweis je Seite;\n"
     ".B modern\n"
     "schreibt dazu icon.svg (wenn das Icon eines hat), apple-touch-icon.png (180 Bildpunkte),\n"
     "icon-192.png, icon-512.png, icon-maskable-512.png und manifest.webmanifest ins\n"
     "Hauptverzeichnis, alle aus einem Bild (eine Rückfrage für alle, die es ersetzt), und setzt\n"
     "je Seite einen Block mit den Verweisen auf sie.",
     S::kAny, nullptr, StoreSet},
    {"disable-foreign-icons", 0, true, "",
     "Icon-Verweise, die eine Seite selbst mitbringt, stilllegen\n"
     "(mit -r: wiederherstellen)",
     "", S::kAny, &O::disableForeignIcons},
    {"overwrite", 0, true, "", "ein vorhandenes favicon.ico ohne Rückfrage überschreiben", "",
     S::kRun, &O::overwrite},
    {"stop-on-error", 0, true, "", "beim ersten Fehler aufhören", "", S::kRun, &O::stopOnError},
    {"dry-run", 'n', true, "",
     "nichts schreiben, nur die Seiten nennen, die sich\n"
     "ändern würden",
     "", S::kRun, &O::dryRun},
    {"diff", 0, true, "",
     "jede Änderung als Unified Diff ausgeben (auf dem Terminal\n"
     "Steuerzeichen der Seiten maskiert wie im Protokoll)",
     "Jede Änderung als Unified Diff ausgeben. Auf dem Terminal stehen Steuerzeichen der Seiten\n"
     "maskiert wie im Protokoll; in eine Pipe oder Datei geht der Diff unverändert (für\n"
     ".BR patch ).",
     S::kRun, &O::diff},
    {"list", 0, true, "", "nur die gefundenen Seiten auflisten", "", S::kRun, &O::list, nullptr,
     "diff"},
    {"null", '0', true, "",
     "Pfade auf der Standardausgabe unverändert und je mit einem\n"
     "Null-Byte abgeschlossen ausgeben (für Skripte)",
     "", S::kAny, &O::null, nullptr, "diff"},
    {"check", 0, true, "",
     "nichts schreiben, für jede Seite sagen, was ein Lauf\n"
     "mit ihr täte und warum (mit -r: ein Lauf, der löscht)",
     "Nichts schreiben, für jede Seite sagen, was ein Lauf mit ihr täte und warum (mit\n"
     ".BR \\-r :\n"
     "ein Lauf, der löscht).",
     S::kAny, &O::check},
    {"format", 0, true, "F",
     "Ausgabe von --check: text (Tabelle) oder json (je Seite\n"
     "ein Eintrag; ist ein Pfad kein UTF-8, nennt \"path_hex\"\n"
     "seine Bytes genau, zwei Hex-Ziffern je Byte)",
     "Ausgabe von\n"
     ".BR \\-\\-check :\n"
     ".B text\n"
     "(Tabelle) oder\n"
     ".B json\n"
     "(je Seite ein Eintrag). Ist ein Pfad kein gültiges UTF-8, steht in\n"
     ".B path\n"
     "ein Ersatzzeichen für jedes fremde Byte und in\n"
     ".B path_hex\n"
     "der Pfad Byte für Byte, zwei Hex-Ziffern je Byte.",
     S::kCheck, nullptr, StoreFormat},
    {"extensions", 0, true, "L", "Seiten-Endungen, durch Kommas getrennt (statt options.ini)", "",
     S::kAny, nullptr, StoreExtensions},
    {"log", 0, true, "DATEI",
     "das Protokoll in DATEI schreiben, sonst in\n"
     "{LOG}",
     "Das Protokoll in DATEI schreiben; sonst in Application.log (siehe DATEIEN).\n"
     ".B \\-\\-help\n"
     "nennt die Datei, die gerade gilt.",
     S::kRun, nullptr, StoreLog, "no-log"},
    {"no-log", 0, true, "", "kein Protokoll schreiben", "", S::kAny, &O::noLog},
    {"quiet", 'q', true, "", "keine Fortschritts- und Statusmeldungen", "", S::kAny, &O::quiet},
    {"version", 0, true, "", "Version ausgeben", "", S::kAny, &O::version},
    {"help", 'h', false, "", "diese Hilfe ausgeben", "", S::kAny, &O::help},
};

std::string ReplaceAll(std::string text, std::string_view from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string Filled(std::string_view text, const std::string& logFile) {
  return ReplaceAll(ReplaceAll(std::string(text), "{N}", std::to_string(kIconCount)), "{LOG}",
                    logFile);
}

// "-r, --remove", "    --icon N"
std::string HelpName(const CliOptionSpec& option) {
  std::string name = option.shortName != 0 && option.shortListed
                         ? std::string{'-', option.shortName, ',', ' '}
                         : std::string(4, ' ');
  name += "--";
  name += option.name;
  if (!option.argument.empty()) {
    name += ' ';
    name += option.argument;
  }
  return name;
}

std::string ManEscaped(std::string_view text) { return ReplaceAll(std::string(text), "-", "\\-"); }

// ".BR \-r ", " \-\-remove", ".BI \-\-icon " N"", ".B \-\-overwrite"
std::string ManName(const CliOptionSpec& option) {
  const bool listShort = option.shortName != 0 && option.shortListed;
  std::string name = ManEscaped("--" + std::string(option.name));
  if (listShort) {
    name = ManEscaped(std::string{'-', option.shortName}) + " \", \" " + name;
  }
  if (!option.argument.empty()) {
    return ".BI " + (listShort ? "\"" + name + "\"" : name) + " \" " +
           std::string(option.argument) + "\"";
  }
  return (listShort ? ".BR " : ".B ") + name;
}

bool NamesOption(std::string_view names, std::string_view name) {
  for (std::size_t start = 0; start < names.size();) {
    std::size_t end = names.find(' ', start);
    end = end == std::string_view::npos ? names.size() : end;
    if (names.substr(start, end - start) == name) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

// "Nicht zusammen mit \-\-icon, \-\-icon\-file." on a line of its own; empty for none.
std::string ExcludedSentence(const CliOptionSpec& option) {
  std::string names;
  for (const CliOptionSpec& other : kOptions) {
    if (OptionsExclude(option, other)) {
      names += (names.empty() ? "" : ", ") + ManEscaped("--" + std::string(other.name));
    }
  }
  return names.empty() ? names : "\n.br\nNicht zusammen mit " + names + ".";
}

// The help text as the manual page's sentence: capital first letter, one line, full stop.
std::string ManSentence(std::string_view help) {
  std::string sentence = ReplaceAll(std::string(help), "\n", " ");
  if (!sentence.empty() && sentence[0] >= 'a' && sentence[0] <= 'z') {
    sentence[0] = static_cast<char>(sentence[0] - 'a' + 'A');
  }
  return sentence + ".";
}

}  // namespace

std::span<const CliOptionSpec> CliOptionTable() { return kOptions; }

bool OptionsExclude(const CliOptionSpec& first, const CliOptionSpec& second) {
  return NamesOption(first.excludes, second.name) || NamesOption(second.excludes, first.name);
}

std::string CliOptionsHelp(const std::string& logFile) {
  std::string help;
  for (const CliOptionSpec& option : kOptions) {
    std::string line = "  " + HelpName(option);
    if (line.size() >= kHelpColumn) {
      line += "\n";  // a name too long for the column stands on a line of its own
      line.resize(line.size() + kHelpColumn - 1, ' ');
    }
    line.resize(std::max(line.size(), kHelpColumn - 1), ' ');
    line += ' ';
    help += line +
            ReplaceAll(Filled(option.help, logFile), "\n", "\n" + std::string(kHelpColumn, ' ')) +
            "\n";
  }
  return help;
}

std::string CliOptionsManual() {
  std::string manual = ".SH OPTIONEN\n";
  for (const CliOptionSpec& option : kOptions) {
    manual += ".TP\n" + ManName(option) + "\n" +
              Filled(option.manual.empty() ? ManSentence(option.help) : option.manual, {}) +
              ExcludedSentence(option) + "\n";
  }
  return manual;
}

}  // namespace tervando
