#pragma once

#include <cstddef>
#include <functional>
#include <thread>

namespace tervando {

// Starts a thread running `body`. Throws (std::system_error) when the system has no thread to
// give; the callers below catch that and carry on with the threads they have.
using ThreadStarter = std::function<std::jthread(std::function<void()>)>;
std::jthread StartThread(std::function<void()> body);

// Calls `work(i)` once for every i in [0, count), on the calling thread and up to `threads` - 1
// helper threads, and returns when every call is done. The items are handed out one at a time,
// so a helper that cannot be started leaves its share to the threads that run: the result is
// the same, it only takes longer, down to the calling thread alone. The first exception thrown
// by `work` stops the handing out and is thrown here once all threads have ended.
void ForEachInParallel(std::size_t count, int threads, const std::function<void(std::size_t)>& work,
                       const ThreadStarter& start = StartThread);

}  // namespace tervando
