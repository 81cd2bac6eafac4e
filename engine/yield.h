#pragma once

#include <functional>

namespace tervando {

// Long loops of the core hand control to the window's message loop at fixed strides so the
// window repaints. The window installs its hook at start-up; without one a yield does nothing.
void SetYieldHook(std::function<void()> hook);
void YieldToMessageLoop();

}  // namespace tervando
