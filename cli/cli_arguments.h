#pragma once

#include <string>

namespace tervando {

// Says what is wrong with the call on stderr, with a pointer to --help; returns exit status 2.
int UsageError(const std::string& text);

// The folder as an absolute path without "." and ".." steps; empty when it is no folder that
// can be listed.
std::string ReadableFolder(const std::string& argument);

}  // namespace tervando
