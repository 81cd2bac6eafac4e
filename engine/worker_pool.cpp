#include "engine/worker_pool.h"

#include <utility>

namespace tervando {

WorkerPool::WorkerPool(int threads, const ThreadStarter& start) {
  try {
    m_threads.reserve(threads > 0 ? static_cast<std::size_t>(threads) : 0);
    for (int i = 0; i < threads; ++i) {
      m_threads.push_back(start([this] { Serve(); }));
    }
  } catch (...) {
    // No further thread to be had: the pool works with those it has, or on the caller's.
  }
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard lock(m_mutex);
    m_closing = true;
  }
  m_wake.notify_all();
  m_threads.clear();  // joins
}

void WorkerPool::Submit(std::function<void()> job) {
  if (m_threads.empty()) {
    job();
    return;
  }
  {
    std::lock_guard lock(m_mutex);
    m_jobs.push_back(std::move(job));
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
