#include "engine/parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <utility>
#include <vector>

namespace tervando {

std::jthread StartThread(std::function<void()> body) { return std::jthread(std::move(body)); }

void ForEachInParallel(std::size_t count, int threads, const std::function<void(std::size_t)>& work,
                       const ThreadStarter& start) {
  std::atomic<std::size_t> next{0};
  std::mutex failureMutex;
  std::exception_ptr failure;
  const auto serve = [&] {
    for (std::size_t i = next++; i < count; i = next++) {
      try {
        work(i);
      } catch (...) {
        const std::lock_guard lock(failureMutex);
        if (!failure) {
          failure = std::current_exception();
        }
        next = count;  // hands out nothing more
      }
    }
  };
  const std::size_t helpers =
      threads > 1 && count > 1 ? std::min(count, static_cast<std::size_t>(threads)) - 1 : 0;
  {
    std::vector<std::jthread> running;
    try {
      running.reserve(helpers);
      for (std::size_t t = 0; t < helpers; ++t) {
        running.push_back(start(serve));
      }
    } catch (...) {
      // No further thread to be had: those started and this one share the items.
    }
    serve();
  }  // joins the helpers
  if (failure) {
    std::rethrow_exception(failure);
  }
}

}  // namespace tervando
