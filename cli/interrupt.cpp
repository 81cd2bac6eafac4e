#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

namespace tervando {

namespace {

std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RaiseInterruptFlag(int) { g_interrupted.store(true); }

}  // namespace

InterruptScope::InterruptScope() {
  for (const int signal : kSignals) {
    std::signal(signal, RaiseInterruptFlag);
  }
}

InterruptScope::~InterruptScope() {
  for (const int signal : kSignals) {
    std::signal(signal, SIG_DFL);
  }
}

bool Interrupted() { return g_interrupted.load(); }

}  // namespace tervando
