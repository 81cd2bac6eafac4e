#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tervando {

// A few threads that run jobs in the order they were handed in; each starts with a job. Used for
// the part of a run that waits for the disk (writing and flushing new page texts), so those waits
// overlap.
class WorkerPool {
 public:
  explicit WorkerPool(int threads);
  ~WorkerPool();  // runs the jobs still queued, then joins
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  bool Empty() const { return m_size == 0; }
  void Submit(std::function<void()> job);

 private:
  void Serve();

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<std::function<void()>> m_jobs;
  bool m_closing = false;
  std::size_t m_size;  // threads at most, started one per job handed in
  std::vector<std::thread> m_threads;
};

}  // namespace tervando
