#include "engine/internal_error.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace tervando {

namespace {
InternalErrorHook& Hook() {
  static InternalErrorHook hook;
  return hook;
}
}  // namespace

void SetInternalErrorHook(InternalErrorHook hook) { Hook() = std::move(hook); }

void EndWithInternalError(const std::string& text) {
  if (const auto& hook = Hook()) {
    hook(text);
  } else {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
  std::fflush(stderr);
  // _Exit: no destructors or exit handlers run, so no half-done work is written after this.
  std::_Exit(EXIT_FAILURE);
}

}  // namespace tervando
