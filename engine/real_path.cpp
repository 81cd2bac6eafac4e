#include "engine/real_path.h"

#include <cstdlib>

namespace tervando {

std::string RealPath(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) {
    return {};
  }
  std::string result(real);
  std::free(real);
  return result;
}

}  // namespace tervando
