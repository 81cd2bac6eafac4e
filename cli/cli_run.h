#pragma once

#include <string>
#include <vector>

namespace tervando {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// tervando-cli with its arguments (without the program name); returns the exit status.
int RunCli(const std::vector<std::string>& arguments);

}  // namespace tervando
