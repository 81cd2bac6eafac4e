#pragma once

namespace tervando {

// While one of these lives, Ctrl-C (SIGINT), SIGTERM and SIGHUP do not end the program at
// once: they only raise a flag. A run uses it to finish the pages it has begun, log them, and
// stop before the next one, so the log names every page that was written.
class InterruptScope {
 public:
  InterruptScope();
  ~InterruptScope();
  InterruptScope(const InterruptScope&) = delete;
  InterruptScope& operator=(const InterruptScope&) = delete;
};

// True once an interrupt arrived inside an InterruptScope.
bool Interrupted();

}  // namespace tervando
