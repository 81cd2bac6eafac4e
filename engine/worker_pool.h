#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/parallel.h"

namespace tervando {

// A few threads that run jobs in the order they were handed in; each starts with a job, so a run
// that hands nothing off starts none. Used for the part of a run that waits for the disk
// (writing and flushing new page texts), so those waits overlap. Threads the system cannot give
// are done without; a pool without any runs each job in Submit.
class WorkerPool {
 public:
  explicit WorkerPool(int threads, const ThreadStarter& start = StartThread);
  ~WorkerPool();  // runs the jobs still queued, then joins
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  bool Empty() const { return m_size == 0; }
  int Threads() const { return static_cast<int>(m_threads.size()); }
  void Submit(std::function<void()> job);

 private:
  void Serve();

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<std::function<void()>> m_jobs;
  bool m_closing = false;
  std::size_t m_size;  // threads at most; less once the system gave no more
  ThreadStarter m_start;
  std::vector<std::jthread> m_threads;  // last, so it is joined before the queue goes
};

}  // namespace tervando
