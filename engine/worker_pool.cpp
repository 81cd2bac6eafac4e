#include "engine/worker_pool.h"

#include <utility>

namespace tervando {

WorkerPool::WorkerPool(int threads, const ThreadStarter& start)
    : m_size(threads > 0 ? static_cast<std::size_t>(threads) : 0), m_start(start) {}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard lock(m_mutex);
    m_closing = true;
  }
  m_wake.notify_all();
  m_threads.clear();  // joins
}

void WorkerPool::Submit(std::function<void()> job) {
  std::unique_lock lock(m_mutex);
  if (m_threads.size() < m_size) {
    try {
      m_threads.push_back(m_start([this] { Serve(); }));
    } catch (...) {
      m_size = m_threads.size();  // no further thread to be had: work with those there are
    }
  }
  if (m_threads.empty()) {
    lock.unlock();
    job();
    return;
  }
  m_jobs.push_back(std::move(job));
  lock.unlock();
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
