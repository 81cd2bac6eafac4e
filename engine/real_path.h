#pragma once

#include <string>

namespace tervando {

// The absolute path of an existing file or folder with every link and "."/".." resolved (the
// system's realpath); empty when it can't be resolved, with errno saying why.
std::string RealPath(const std::string& path);

// The absolute path with every link and "."/".." resolved, also when its last part does not
// exist (a link that leads to a missing file resolves to where that file would be). Empty when
// the folder part can't be resolved.
std::string RealPathOf(const std::string& path);

// True when the real path of `path` lies inside the real path of `folder` (or is it).
bool IsInsideFolder(const std::string& path, const std::string& folder);

}  // namespace tervando
