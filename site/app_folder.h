#pragma once

#include <string>

#include "engine/paths.h"

namespace tervando {

// `path` with the separator appended unless it already ends with one ("" gives "/").
std::string WithTrailingBackslash(const std::string& path);

// The folder the running program file lies in, always ending with the separator.
std::string AppFolder();

}  // namespace tervando
