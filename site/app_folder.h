#pragma once

#include <string>

#include "engine/paths.h"

namespace tervando {

// `path` with the separator appended unless it already ends with one ("" gives "/").
std::string WithTrailingSeparator(const std::string& path);

// The folder the running program file lies in, always ending with the separator.
std::string AppFolder();

// A copy is installed when the installed data folder (../share/tervando from the program
// folder) exists; a build or unpacked copy keeps everything beside the program instead.
bool IsInstalledIn(const std::string& programFolder);
bool Installed();  // for the running program, decided once

// The installed data folder seen from `programFolder`, ending with the separator.
std::string InstalledDataFolder(const std::string& programFolder);

// Where the help pages lie: the installed data folder, or the program folder.
std::string DataFolder();

// The program's own folder under an XDG base folder: $`variable`/tervando/, or
// $HOME/`homeFallback`/tervando/ when the variable is unset, empty or not absolute.
std::string UserFolder(const char* variable, const char* homeFallback);

// Where the log is written: the state folder when installed, else the program folder.
std::string LogFolder();
// Where an installed copy reads options.ini when none lies beside the program.
std::string ConfigFolder();

// Creates `folder` and its missing parents, each new one readable by the owner only.
// False when it still is no folder afterwards.
bool MakeFolders(const std::string& folder);

}  // namespace tervando
