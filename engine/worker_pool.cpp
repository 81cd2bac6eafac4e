#include "engine/worker_pool.h"

#include <utility>

namespace tervando {

WorkerPool::WorkerPool(int threads) : m_size(threads > 0 ? static_cast<std::size_t>(threads) : 0) {}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard lock(m_mutex);
    m_closing = true;
  }
  m_wake.notify_all();
  for (std::thread& thread : m_threads) {
    thread.join();
  }
}

void WorkerPool::Submit(std::function<void()> job) {
  if (m_size == 0) {
    job();
    return;
  }
  {
    std::lock_guard lock(m_mutex);
    m_jobs.push_back(std::move(job));
    // Threads start with the work: a run that hands nothing off starts (and joins) none.
    if (m_threads.size() < m_size) {
      m_threads.emplace_back([this] { Serve(); });
    }
  }
  m_wake.notify_one();
}

void WorkerPool::Serve() {
  while (true) {
    std::function<void()> job;
    {
      std::unique_lock lock(m_mutex);
      m_wake.wait(lock, [this] { return m_closing || !m_jobs.empty(); });
      if (m_jobs.empty()) {
        return;
      }
      job = std::move(m_jobs.front());
      m_jobs.pop_front();
    }
    job();
  }
}

}  // namespace tervando
