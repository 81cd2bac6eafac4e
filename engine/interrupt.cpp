#include "engine/interrupt.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

namespace tervando {

namespace {

std::atomic<bool> g_interrupted{false};
std::atomic<int> g_notify{-1};
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RaiseInterruptFlag(int) {
  g_interrupted.store(true);
  const int fd = g_notify.load();
  if (fd >= 0) {
    const char byte = 1;
    (void)!::write(fd, &byte, 1);  // async-signal-safe; a full pipe already says enough
  }
}

}  // namespace

InterruptScope::InterruptScope() {
  g_interrupted.store(false);  // each scope starts afresh (a window opened anew, a test)
  int ends[2] = {-1, -1};
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
    m_readEnd = UniqueFd(ends[0]);
    m_writeEnd = UniqueFd(ends[1]);
    g_notify.store(m_writeEnd.Get());
  }
  struct sigaction action {};
  action.sa_handler = RaiseInterruptFlag;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSignals) {
    ::sigaction(signal, &action, nullptr);
  }
}

InterruptScope::~InterruptScope() {
  for (const int signal : kSignals) {
    std::signal(signal, SIG_DFL);
  }
  g_notify.store(-1);  // before the pipe closes with the members
}

bool Interrupted() { return g_interrupted.load(); }

}  // namespace tervando
