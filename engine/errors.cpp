#include "engine/errors.h"

#include <cerrno>
#include <new>

#include "engine/messages_files.h"

namespace tervando {

namespace {

class EngineErrorCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "tervando.engine"; }

  std::string message(int code) const override {
    switch (static_cast<EngineErrc>(code)) {
      case EngineErrc::kIndexOutOfRange:
        return kIndexOutOfRangeText;
    }
    return UnknownErrorCodeText(code);
  }
};

}  // namespace

const std::error_category& EngineCategory() {
  static const EngineErrorCategory category;
  return category;
}

std::error_code make_error_code(EngineErrc code) {
  return {static_cast<int>(code), EngineCategory()};
}

std::system_error FileError(int errnoValue, const std::string& action, const std::string& path) {
  const std::string& what = errnoValue == EROFS   ? kReadOnlyFileSystemText
                            : errnoValue == EFBIG ? kFileSizeLimitText
                                                  : action;
  return std::system_error(errnoValue, std::generic_category(), what + ": " + path);
}

ErrorInfo CurrentErrorInfo() {
  try {
    throw;
  } catch (const std::system_error& error) {
    return {error.what(), error.code().value()};
  } catch (const std::bad_alloc&) {
    return {kOutOfMemoryText, ENOMEM};
  } catch (const std::exception& error) {
    return {error.what(), EIO};
  } catch (...) {
    return {kUnknownFailureText, EIO};
  }
}

}  // namespace tervando
