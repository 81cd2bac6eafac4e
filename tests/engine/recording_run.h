#pragma once

#include <algorithm>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "engine/favicon_run.h"
#include "engine/messages.h"
#include "engine/run_events.h"
#include "engine/run_request.h"
#include "engine/start.h"
#include "site/page_list.h"

namespace tervando::test {

// The closing notice's counts, those that are not zero: "2 changed, 1 failed, stopped".
inline std::string CountsText(const RunCounts& counts) {
  std::string text;
  const auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
  const std::pair<int, const char*> numbers[] = {
      {counts.changed, "changed"},        {counts.unchanged, "unchanged"},
      {counts.failed, "failed"},          {counts.passedOver, "passed over"},
      {counts.notReached, "not reached"}, {counts.otherIcon, "other icon"},
      {counts.attention, "need a look"}};
  for (const auto& [number, name] : numbers) {
    if (number != 0) add(std::to_string(number) + " " + name);
  }
  if (counts.stopped) add("stopped");
  if (counts.remove) add("remove");
  return text;
}

// A notice as the record names it: the empty list, the closing one with its counts, or the
// others by their number.
inline std::string NoticeText(const Notice& notice) {
  if (notice.kind == NoticeKind::kEmptyList) return "empty list";
  if (notice.kind != NoticeKind::kFinished) {
    return "notice " + std::to_string(static_cast<int>(notice.kind));
  }
  const std::string counts = CountsText(notice.counts);
  return counts.empty() ? "finished" : "finished: " + counts;
}

// A front end for the core's seam: a page list the request is made of, a record of what the
// core tells (one event text per call, log lines and questions among them, in the order they
// came) and answers to its questions from a script (the message's default answer when the
// script is used up). The questions are kept as the window would show them. While the run
// works, `marks`, `removeNow`, `stop` and `stopRun` are the request's.
class RecordingRun : public RunEvents, public RunQuestions {
 public:
  std::vector<std::string> events;
  std::vector<std::string> logLines;
  std::vector<Message> questions;
  std::deque<MessageAnswer> answers;
  bool removeMode = false;
  // The pages handed over bottom row first, with the list's order apart, as tervando-cli does
  // (the mode is fixed then).
  bool asFound = false;
  std::shared_ptr<std::atomic<bool>> removeNow;  // the mode pair while the run works
  std::shared_ptr<RowMarks> marks;
  std::stop_source stop;     // "&Ende", closing the window
  std::stop_source stopRun;  // Esc
  std::function<void()> onProgress;
  std::function<void(const std::string& path)> onPageChanged;

  PageList& Pages() { return m_pages; }
  void InsertCheckedRowAtTop(const std::string& path) { m_pages.InsertMarkedAtTop(path); }

  // The request Start would get for the list as it is now.
  RunRequest Request(const SiteState& state) {
    RunRequest request;
    request.site = state;
    request.remove = removeMode;
    removeNow = std::make_shared<std::atomic<bool>>(removeMode);
    request.removeNow = removeNow;
    std::vector<bool> marked;
    for (int row = 0; row < m_pages.Count(); ++row) {
      request.pages.emplace_back(m_pages.Path(row));
      marked.push_back(m_pages.Marked(row));
    }
    if (asFound) {
      std::reverse(request.pages.begin(), request.pages.end());
      std::reverse(marked.begin(), marked.end());
      request.removeNow = nullptr;
      request.listOrder = [](const std::vector<std::string>& pages) {
        std::vector<std::uint32_t> order(pages.size());
        for (std::size_t row = 0; row < order.size(); ++row) {
          order[row] = static_cast<std::uint32_t>(order.size() - 1 - row);
        }
        return order;
      };
    }
    marks = std::make_shared<RowMarks>(marked);
    request.marks = marks;
    request.stop = stop.get_token();
    request.stopRun = stopRun.get_token();
    return request;
  }
  FaviconRunResult Run(const SiteState& state) {
    const RunRequest request = Request(state);
    return SetUnsetFaviconInFiles(request, *this, *this);
  }
  // "&Start" as the window does it: favicon.ico, the run, the check after it, the closing notice.
  StartResult RunStart(const SiteState& state) {
    RunRequest request = Request(state);
    return Start(request, *this, *this);
  }

  void Progress(int value, int maximum) override {
    if (maximum != m_maximum) {
      m_maximum = maximum;
      events.push_back("range 0 " + std::to_string(maximum));
    }
    events.push_back("value " + std::to_string(value));
    if (onProgress) onProgress();
  }
  void ShowStatus(const Status& status) override {
    events.push_back("status " + StatusText(status));
  }
  void Tell(const Notice& notice) override {
    Ask("tell " + NoticeText(notice), NoticeMessage(notice));
  }
  bool GoOnAfterFailure(const PageFailure& failure) override {
    return Ask("ask go on after " + failure.path, PageFailedMessage(failure)) == MessageAnswer::Ok;
  }
  bool ConfirmFaviconOverwrite() override {
    return Ask("ask overwrite favicon.ico", OverwriteFaviconMessage()) == MessageAnswer::Ok;
  }
  bool ConfirmSetOverwrite(const std::vector<std::string>& names) override {
    return Ask("ask overwrite the set", OverwriteSetFilesMessage(names)) == MessageAnswer::Ok;
  }
  bool RetryFaviconWrite(const ErrorInfo& errorInfo) override {
    return Ask("ask retry", FaviconWriteFailedMessage(errorInfo)) == MessageAnswer::Yes;
  }
  void PageChanged(int, const std::string& path, const std::string&) override {
    events.push_back("changed " + path);
    if (onPageChanged) onPageChanged(path);
  }
  void Log(const std::string& line) override {
    logLines.push_back(line);
    events.push_back("log " + line);
  }

  MessageAnswer Ask(const std::string& event, const Message& message) {
    questions.push_back(message);
    events.push_back(event);
    if (answers.empty()) return message.defaultAnswer;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

 private:
  PageList m_pages;
  int m_maximum = -1;
};

}  // namespace tervando::test
