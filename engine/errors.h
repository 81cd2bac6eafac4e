#pragma once

#include <string>
#include <system_error>
#include <type_traits>

namespace tervando {

// Failures of the engine's own rules (not of the file system). The numbers are the ones the
// run shows in its error info, so they stay fixed.
enum class EngineErrc {
  kIndexOutOfRange = 9,  // e.g. an empty page, which has no segment to split
};

const std::error_category& EngineCategory();
std::error_code make_error_code(EngineErrc code);

// The exception a file operation throws: what failed (German, with the path) and errno.
// what() reads "<action>: <path>: <system reason>"; code() carries the errno value. A read-only
// file system (EROFS) and the file size limit (EFBIG) are named in place of the action: they
// say what to do about it, whichever step met them.
std::system_error FileError(int errnoValue, const std::string& action, const std::string& path);

// What a caught failure says about itself: its German description and its numeric code. The
// messages module renders it in the run's form and in the favicon.ico write's.
struct ErrorInfo {
  std::string text;
  int code = 0;
};
// Describes the exception being handled; call it only inside a catch block.
ErrorInfo CurrentErrorInfo();

}  // namespace tervando

template <>
struct std::is_error_code_enum<tervando::EngineErrc> : std::true_type {};
