#include "engine/yield.h"

#include <utility>

namespace tervando {

namespace {
std::function<void()>& YieldHook() {
  static std::function<void()> hook;
  return hook;
}
}  // namespace

void SetYieldHook(std::function<void()> hook) { YieldHook() = std::move(hook); }

void YieldToMessageLoop() {
  if (const auto& hook = YieldHook()) hook();
}

}  // namespace tervando
