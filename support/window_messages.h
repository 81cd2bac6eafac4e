#pragma once

#include <QString>
#include <string>

#include "engine/message.h"

namespace tervando {

// The window program's own texts (the core's are in engine/messages.*).

inline constexpr char kHelpNotFound[] = "Die Online-Hilfe konnte leider nicht gefunden werden ...";

// What the desktop was asked to open when it could not.
enum class OpenTarget { kHelpPage, kWebAddress, kPageInEditor };
Message OpenFailedMessage(OpenTarget target, const std::string& what);

// A folder named on the command line that is none.
Message NoFolderMessage(const std::string& path);

// How far the run has come, with German thousands separators: "1.234 von 10.000".
QString RunProgressText(int done, int total);

}  // namespace tervando
