#include "cli/page_pipeline.h"

#include <chrono>
#include <system_error>
#include <utility>

namespace tervando {

namespace {

// How often a run waiting for a page looks whether the pipeline was stopped meanwhile.
constexpr std::chrono::milliseconds kStopCheck{20};

[[noreturn]] void ThrowNotBegun() {
  throw std::system_error(std::make_error_code(std::errc::interrupted), "Abgebrochen");
}

}  // namespace

PagePipeline::PagePipeline(std::vector<std::string> order, std::vector<std::uint64_t> sizes,
                           Work work, Limits limits, std::function<bool()> stopped)
    : m_order(std::move(order)),
      m_sizes(std::move(sizes)),
      m_work(std::move(work)),
      m_window(static_cast<std::size_t>(limits.window < 1 ? 1 : limits.window)),
      m_byteLimit(limits.bytes),
      m_stopped(std::move(stopped)),
      m_slots(m_order.size()) {
  for (int i = 0; i < limits.threads; ++i) {
    m_threads.emplace_back([this] { Serve(); });
  }
}

std::uint64_t PagePipeline::SizeOf(std::size_t index) const {
  return index < m_sizes.size() ? m_sizes[index] : 0;
}

PagePipeline::~PagePipeline() {
  {
    std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  m_changed.notify_all();
  for (std::thread& thread : m_threads) {
    thread.join();
  }
}

void PagePipeline::Serve() {
  while (true) {
    std::size_t index = 0;
    {
      std::unique_lock lock(m_mutex);
      m_changed.wait(lock, [this] {
        return m_stopping || m_next == m_order.size() ||
               (m_next < m_taken + m_window &&
                (m_bytesInWork == 0 || m_bytesInWork + SizeOf(m_next) <= m_byteLimit));
      });
      if (m_stopping || m_next == m_order.size() || Stopped()) {
        return;
      }
      index = m_next++;
      m_bytesInWork += SizeOf(index);
    }
    Slot slot;
    try {
      slot.outcome = m_work(m_order[index]);
    } catch (...) {
      slot.failure = std::current_exception();
    }
    slot.done = true;
    {
      std::lock_guard lock(m_mutex);
      m_slots[index] = std::move(slot);
      m_bytesInWork -= SizeOf(index);
    }
    m_changed.notify_all();
  }
}

PageOutcome PagePipeline::Take(const std::string& pagePath) {
  std::unique_lock lock(m_mutex);
  if (m_threads.empty() || m_taken == m_order.size() || m_order[m_taken] != pagePath) {
    lock.unlock();
    if (Stopped()) {
      ThrowNotBegun();
    }
    return m_work(pagePath);
  }
  const std::size_t index = m_taken;
  while (!m_slots[index].done) {
    if (index >= m_next && Stopped()) {
      ThrowNotBegun();
    }
    m_changed.wait_for(lock, kStopCheck);
  }
  Slot slot = std::move(m_slots[index]);
  ++m_taken;
  lock.unlock();
  m_changed.notify_all();
  if (slot.failure) {
    std::rethrow_exception(slot.failure);
  }
  return std::move(slot.outcome);
}

}  // namespace tervando
