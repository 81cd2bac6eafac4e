#pragma once

#include <string>

namespace tervando {

// The absolute path of an existing file or folder with every link and "."/".." resolved (the
// system's realpath); empty when it can't be resolved, with errno saying why.
std::string RealPath(const std::string& path);

}  // namespace tervando
