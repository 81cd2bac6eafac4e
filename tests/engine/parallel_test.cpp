#include "engine/parallel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "engine/worker_pool.h"

namespace tervando {
namespace {

// Starts the first `startable` threads and then fails the way an exhausted system does.
ThreadStarter FailingAfter(int startable, std::atomic<int>& started) {
  return [startable, &started](std::function<void()> body) {
    if (started >= startable) {
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    ++started;
    return StartThread(std::move(body));
  };
}

TEST(ForEachInParallel, EveryItemOnceAlsoWhenThreadsCannotBeStarted) {
  const struct {
    std::size_t count;
    int threads;
    int startable;
    int expectedStarts;
  } cases[] = {
      {1000, 4, 8, 3}, {1000, 4, 1, 1}, {1000, 4, 0, 0}, {0, 4, 8, 0},
      {1, 8, 8, 0},    {5, 1, 8, 0},    {3, 8, 8, 2},
  };
  for (const auto& c : cases) {
    std::vector<std::atomic<int>> calls(c.count);
    std::atomic<int> started{0};
    ForEachInParallel(
        c.count, c.threads, [&calls](std::size_t i) { ++calls[i]; },
        FailingAfter(c.startable, started));
    EXPECT_EQ(started, c.expectedStarts) << c.count << " items, " << c.threads << " threads";
    for (std::size_t i = 0; i < c.count; ++i) {
      ASSERT_EQ(calls[i], 1) << "item " << i << " of " << c.count;
    }
  }
}

TEST(ForEachInParallel, AFailingItemIsThrownOnTheCallingThread) {
  std::atomic<int> done{0};
  EXPECT_THROW(ForEachInParallel(1000, 4,
                                 [&done](std::size_t i) {
                                   if (i == 10) {
                                     throw std::runtime_error("item 10");
                                   }
                                   ++done;
                                 }),
               std::runtime_error);
  EXPECT_LT(done, 1000);
}

TEST(WorkerPool, RunsEveryJobInOrderWithTheThreadsItGets) {
  for (const int startable : {4, 1, 0}) {
    std::atomic<int> started{0};
    std::vector<int> order;
    {
      // Threads start with the jobs, as many as the system gives: one for the first pool, what
      // is left (up to four) for the second.
      WorkerPool pool(1, FailingAfter(startable, started));
      for (int job = 0; job < 100; ++job) {
        pool.Submit([&order, job] { order.push_back(job); });
      }
      EXPECT_EQ(pool.Threads(), std::min(startable, 1));
      WorkerPool wide(4, FailingAfter(startable, started));
      for (int job = 0; job < 8; ++job) {
        wide.Submit([] {});
      }
      EXPECT_EQ(wide.Threads(), std::max(startable - 1, 0));
    }  // runs what is queued, then joins
    ASSERT_EQ(order.size(), 100u);
    for (int job = 0; job < 100; ++job) {
      EXPECT_EQ(order[static_cast<std::size_t>(job)], job);
    }
  }
}

}  // namespace
}  // namespace tervando
