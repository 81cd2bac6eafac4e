#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "engine/run_events.h"

namespace tervando {

// Carries what the core tells and asks on the worker thread over to the window's thread, in
// order, as queued calls. Events are handed over in batches, at most every 50 ms; a question,
// and anything posted with Post, goes at once, with everything told before it. A question
// holds the worker until the window has answered it, or until `stop` is asked for, which gets
// the answer that changes nothing. Log lines go straight to `log` on the worker's thread; a
// notice waits until `waitForLog` says they are written, so a lost line is said before it.
class WorkRelay : public QObject, public RunEvents, public RunQuestions {
  Q_OBJECT

 public:
  // `events` and `questions` are called on the window's thread; `afterBatch` after each batch.
  WorkRelay(RunEvents& events, RunQuestions& questions, std::function<void()> afterBatch,
            std::function<void(const std::string&)> log, std::function<void()> waitForLog);

  // The stop the questions watch while they wait: the current work's.
  void WatchStop(std::stop_token stop) { m_stop = std::move(stop); }
  // `call` runs on the window's thread after everything told before it.
  void Post(std::function<void()> call);
  // Runs what has been handed over and not yet run (on the window's thread).
  void Deliver();

  // RunEvents, RunQuestions: called on the worker's thread.
  void Progress(int value, int maximum) override;
  void ShowStatus(const Status& status) override;
  void Tell(const Notice& notice) override;
  void LeftoversRemoved(int count) override;
  void Log(const std::string& line) override;
  void ShowPageChecks(const std::vector<std::pair<std::string, PageCheck>>& checks) override;
  bool GoOnAfterFailure(const PageFailure& failure) override;
  bool ConfirmFaviconOverwrite() override;
  bool ConfirmSetOverwrite(const std::vector<std::string>& names) override;
  bool RetryFaviconWrite(const ErrorInfo& errorInfo) override;

 private:
  void Queue(std::function<void()> call, bool now);
  bool Ask(std::function<bool()> question, bool safeAnswer);

  RunEvents& m_events;
  RunQuestions& m_questions;
  std::function<void()> m_afterBatch;
  std::function<void(const std::string&)> m_log;
  std::function<void()> m_waitForLog;
  std::stop_token m_stop;
  std::mutex m_mutex;
  std::vector<std::function<void()>> m_calls;  // guarded by m_mutex
  bool m_handedOver = false;                   // guarded by m_mutex: a delivery is on its way
  QTimer m_batchTimer;                         // the window's thread only
  QElapsedTimer m_sinceDelivery;               // the window's thread only
};

}  // namespace tervando
