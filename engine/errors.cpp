#include "engine/errors.h"

namespace tervando {

namespace {

class EngineErrorCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "tervando.engine"; }

  std::string message(int code) const override {
    switch (static_cast<EngineErrc>(code)) {
      case EngineErrc::kIndexOutOfRange:
        return "Index außerhalb des gültigen Bereichs";
    }
    return "Unbekannter Fehler " + std::to_string(code);
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
  return std::system_error(errnoValue, std::generic_category(), action + ": " + path);
}

}  // namespace tervando
