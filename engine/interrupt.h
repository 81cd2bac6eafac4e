#pragma once

#include "engine/unique_fd.h"

namespace tervando {

// While one of these lives, Ctrl-C (SIGINT), SIGTERM and SIGHUP do not end the program at
// once: they only raise a flag. A run uses it to finish the pages it has begun, log them and
// the closing count, and stop before the next one, so the log names every page written and no
// temporary file is left.
class InterruptScope {
 public:
  InterruptScope();
  ~InterruptScope();
  InterruptScope(const InterruptScope&) = delete;
  InterruptScope& operator=(const InterruptScope&) = delete;

  // A descriptor that becomes readable when an interrupt arrives, for an event loop to watch.
  int NotifyDescriptor() const { return m_readEnd.Get(); }

 private:
  UniqueFd m_readEnd;
  UniqueFd m_writeEnd;  // written by the signal handler
};

// True once an interrupt arrived inside an InterruptScope.
bool Interrupted();

}  // namespace tervando
