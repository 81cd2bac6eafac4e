#include "cli/cli_options.h"

#include <charconv>
#include <string>

#include "icons/icon_catalogue.h"
#include "support/write_log.h"

namespace tervando {

namespace {

bool ParseIconNumber(const std::string& text, int& number) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  return error == std::errc() && stop == end;
}

}  // namespace

std::string CliUsage() {
  return std::string(
             "Aufruf: tervando-cli [OPTIONEN] HAUPTVERZEICHNIS\n"
             "\n"
             "Setzt in jeder Web-Seite unter HAUPTVERZEICHNIS den Favicon-Verweis ein (oder\n"
             "frischt ihn auf) und legt favicon.ico in das Hauptverzeichnis.\n"
             "\n"
             "  -r, --remove        Favicon-Verweise löschen statt einsetzen\n"
             "      --icon N        Icon N (1-") +
         std::to_string(kIconCount) +
         ") des Katalogs als favicon.ico schreiben\n"
         "      --icon-file F   die Icon-Datei F als favicon.ico schreiben, oder ein Bild\n"
         "                      (PNG, JPEG, GIF, BMP, WebP, SVG) als Icon in 16, 32, 48\n"
         "                      und 256 Bildpunkten\n"
         "      --overwrite     ein vorhandenes favicon.ico ohne Rückfrage überschreiben\n"
         "      --stop-on-error beim ersten Fehler aufhören\n"
         "  -n, --dry-run       nichts schreiben, nur die Seiten nennen, die sich ändern würden\n"
         "      --diff          jede Änderung als Unified Diff ausgeben (auf dem Terminal\n"
         "                      Steuerzeichen der Seiten maskiert wie im Protokoll)\n"
         "      --list          nur die gefundenen Seiten auflisten\n"
         "  -0, --null          Pfade auf der Standardausgabe unverändert und je mit einem\n"
         "                      Null-Byte abgeschlossen ausgeben (für Skripte)\n"
         "      --check         nichts schreiben, für jede Seite sagen, was ein Lauf mit ihr\n"
         "                      täte und warum (mit -r: ein Lauf, der löscht)\n"
         "      --format F      Ausgabe von --check: text (Tabelle) oder json (je Seite\n"
         "                      ein Eintrag; ist ein Pfad kein UTF-8, nennt \"path_hex\"\n"
         "                      seine Bytes genau, zwei Hex-Ziffern je Byte)\n"
         "      --extensions L  Seiten-Endungen, durch Kommas getrennt (statt options.ini)\n"
         "      --log DATEI     das Protokoll in DATEI schreiben, sonst in\n"
         "                      " +
         DefaultLogFilePath() +
         "\n"
         "      --no-log        kein Protokoll schreiben\n"
         "  -q, --quiet         keine Fortschritts- und Statusmeldungen\n"
         "      --version       Version ausgeben\n"
         "      --help          diese Hilfe ausgeben\n"
         "\n"
         "Rückgabewert: 0 fertig, 1 eine Seite, favicon.ico oder das Protokoll ging\n"
         "nicht oder der Lauf wurde abgebrochen, 2 falscher Aufruf, kein lesbares\n"
         "Hauptverzeichnis oder ein anderer Lauf bearbeitet es gerade.\n"
         "Mit --check: 0 keine Seite braucht Aufmerksamkeit, 1 eine oder mehr\n"
         "(\"!\" in der Tabelle), 2 falscher Aufruf, kein lesbares Hauptverzeichnis\n"
         "oder die Ausgabe ließ sich nicht schreiben.\n";
}

CliParse ParseCliOptions(const std::vector<std::string>& arguments) {
  CliParse parse;
  CliOptions& o = parse.options;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  bool format = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string argument = arguments[i];
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      positional.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    std::optional<std::string> inlineValue;
    if (argument.rfind("--", 0) == 0) {
      const std::size_t equals = argument.find('=');
      if (equals != std::string::npos) {
        inlineValue = argument.substr(equals + 1);
        argument.resize(equals);
      }
    }
    auto value = [&](std::string& target) {
      if (inlineValue) {
        target = *inlineValue;
      } else if (i + 1 < arguments.size()) {
        target = arguments[++i];
      } else {
        parse.error = "Option " + argument + " braucht einen Wert.";
        return false;
      }
      return true;
    };
    auto flag = [&](bool& target) {
      if (inlineValue) {
        parse.error = "Option " + argument + " nimmt keinen Wert.";
        return;
      }
      target = true;
    };
    std::string text;
    if (argument == "-r" || argument == "--remove") {
      flag(o.remove);
    } else if (argument == "--overwrite") {
      flag(o.overwrite);
    } else if (argument == "--stop-on-error") {
      flag(o.stopOnError);
    } else if (argument == "-n" || argument == "--dry-run") {
      flag(o.dryRun);
    } else if (argument == "--diff") {
      flag(o.diff);
    } else if (argument == "--list") {
      flag(o.list);
    } else if (argument == "-0" || argument == "--null") {
      flag(o.null);
    } else if (argument == "--check") {
      flag(o.check);
    } else if (argument == "--format") {
      if (value(text)) {
        if (text == "json" || text == "text") {
          o.json = text == "json";
          format = true;
        } else {
          parse.error = "--format erwartet text oder json, nicht \"" + text + "\".";
        }
      }
    } else if (argument == "-q" || argument == "--quiet") {
      flag(o.quiet);
    } else if (argument == "--no-log") {
      flag(o.noLog);
    } else if (argument == "-h" || argument == "--help") {
      flag(o.help);
    } else if (argument == "--version") {
      flag(o.version);
    } else if (argument == "--icon-file") {
      if (value(text)) {
        o.iconFile = text;
      }
    } else if (argument == "--icon") {
      int number = 0;
      if (value(text)) {
        if (ParseIconNumber(text, number) && number >= 1 && number <= kIconCount) {
          o.icon = number;
        } else {
          parse.error = "--icon erwartet eine Zahl von 1 bis " + std::to_string(kIconCount) +
                        ", nicht \"" + text + "\".";
        }
      }
    } else if (argument == "--extensions") {
      if (value(text)) {
        o.extensions = text;
      }
    } else if (argument == "--log") {
      if (value(text)) {
        if (text.empty()) {
          parse.error = "--log braucht einen Dateinamen.";
        } else {
          o.logFile = text;
        }
      }
    } else {
      parse.error = "Unbekannte Option " + argument + ".";
    }
    if (!parse.error.empty()) {
      return parse;
    }
  }
  if (o.help || o.version) {
    return parse;
  }
  const char* notWithCheck = o.list          ? "--list"
                             : o.dryRun      ? "--dry-run"
                             : o.diff        ? "--diff"
                             : o.icon        ? "--icon"
                             : o.iconFile    ? "--icon-file"
                             : o.overwrite   ? "--overwrite"
                             : o.stopOnError ? "--stop-on-error"
                             : o.logFile     ? "--log"
                                             : nullptr;
  if (o.check && notWithCheck != nullptr) {
    // The check writes nothing and has its own output.
    parse.error = std::string("--check schließt ") + notWithCheck + " aus.";
  } else if (format && !o.check) {
    parse.error = "--format gilt nur mit --check.";
  } else if (o.icon && o.iconFile) {
    parse.error = "--icon und --icon-file schließen einander aus.";
  } else if (o.null && o.diff) {
    parse.error = "--null und --diff schließen einander aus.";
  } else if (o.logFile && o.noLog) {
    parse.error = "--log und --no-log schließen einander aus.";
  } else if (positional.size() != 1) {
    parse.error = positional.empty() ? "Das Hauptverzeichnis fehlt."
                                     : "Nur ein Hauptverzeichnis ist erlaubt.";
  } else {
    o.webRoot = positional.front();
  }
  return parse;
}

}  // namespace tervando
