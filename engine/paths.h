#pragma once

namespace tervando {

// The separator between folder names: the web root ends with it and page depth counts it.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace tervando
