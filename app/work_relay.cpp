#include "app/work_relay.h"

#include <chrono>
#include <future>
#include <memory>

#include "engine/interrupt.h"

namespace tervando {

namespace {
// The window shows new rows, status and progress at most this often: a person sees the same.
constexpr int kBatchMs = 50;
// How often a waiting question looks whether the program is asked to end.
constexpr std::chrono::milliseconds kStopCheck{20};
}  // namespace

WorkRelay::WorkRelay(RunEvents& events, RunQuestions& questions, std::function<void()> afterBatch,
                     std::function<void(const std::string&)> log, std::function<void()> waitForLog)
    : m_events(events),
      m_questions(questions),
      m_afterBatch(std::move(afterBatch)),
      m_log(std::move(log)),
      m_waitForLog(std::move(waitForLog)) {
  m_batchTimer.setSingleShot(true);
  connect(&m_batchTimer, &QTimer::timeout, this, &WorkRelay::Deliver);
  m_sinceDelivery.start();
}

void WorkRelay::Queue(std::function<void()> call, bool now) {
  bool handOver = false;
  {
    const std::lock_guard lock(m_mutex);
    m_calls.push_back(std::move(call));
    handOver = now || !m_handedOver;
    m_handedOver = true;
  }
  if (!handOver) {
    return;  // the delivery on its way takes it along
  }
  QMetaObject::invokeMethod(
      this,
      [this, now] {
        const qint64 wait = kBatchMs - m_sinceDelivery.elapsed();
        if (now || wait <= 0) {
          Deliver();
        } else if (!m_batchTimer.isActive()) {
          m_batchTimer.start(static_cast<int>(wait));
        }
      },
      Qt::QueuedConnection);
}

void WorkRelay::Post(std::function<void()> call) { Queue(std::move(call), true); }

void WorkRelay::Deliver() {
  std::vector<std::function<void()>> calls;
  {
    const std::lock_guard lock(m_mutex);
    calls.swap(m_calls);
    m_handedOver = false;
  }
  m_batchTimer.stop();
  m_sinceDelivery.start();
  for (const std::function<void()>& call : calls) {
    call();
  }
  if (!calls.empty() && m_afterBatch) {
    m_afterBatch();
  }
}

bool WorkRelay::Ask(std::function<bool()> question, bool safeAnswer) {
  auto answer = std::make_shared<std::promise<bool>>();
  std::future<bool> answered = answer->get_future();
  Post([answer, question = std::move(question)] { answer->set_value(question()); });
  while (answered.wait_for(kStopCheck) != std::future_status::ready) {
    if (m_stop.stop_requested() || Interrupted()) {
      return safeAnswer;  // the window is going: nothing more is asked
    }
  }
  return answered.get();
}

void WorkRelay::Progress(int value, int maximum) {
  Queue([this, value, maximum] { m_events.Progress(value, maximum); }, false);
}

void WorkRelay::ShowStatus(const Status& status) {
  Queue([this, status] { m_events.ShowStatus(status); }, false);
}

void WorkRelay::Tell(const Notice& notice) {
  m_waitForLog();
  Queue([this, notice] { m_events.Tell(notice); }, true);
}

void WorkRelay::LeftoversRemoved(int count) {
  Queue([this, count] { m_events.LeftoversRemoved(count); }, false);
}

void WorkRelay::Log(const std::string& line) { m_log(line); }

void WorkRelay::ShowPageChecks(const std::vector<std::pair<std::string, PageCheck>>& checks) {
  Queue([this, checks] { m_events.ShowPageChecks(checks); }, false);
}

bool WorkRelay::GoOnAfterFailure(const PageFailure& failure) {
  return Ask([this, failure] { return m_questions.GoOnAfterFailure(failure); }, false);
}

bool WorkRelay::ConfirmFaviconOverwrite() {
  return Ask([this] { return m_questions.ConfirmFaviconOverwrite(); }, false);
}

bool WorkRelay::ConfirmSetOverwrite(const std::vector<std::string>& names) {
  return Ask([this, names] { return m_questions.ConfirmSetOverwrite(names); }, false);
}

bool WorkRelay::RetryFaviconWrite(const ErrorInfo& errorInfo) {
  return Ask([this, errorInfo] { return m_questions.RetryFaviconWrite(errorInfo); }, false);
}

}  // namespace tervando
