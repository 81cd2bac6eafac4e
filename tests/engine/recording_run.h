#pragma once

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
#include "site/page_list.h"

namespace tervando::test {

// A front end for the core's seam: a page list the request is made of, a record of what the
// core tells (one event text per call) and answers to its questions from a script (the
// message's default answer when the script is used up). The questions are kept as the window
// would show them. While the run works, `marks` and `stop` are the request's.
class RecordingRun : public RunEvents, public RunQuestions {
 public:
  std::vector<std::string> events;
  std::vector<std::string> logLines;
  std::vector<std::string> changedPages;
  std::vector<Message> questions;
  std::deque<MessageAnswer> answers;
  bool removeMode = false;
  std::shared_ptr<std::atomic<bool>> removeNow;  // the mode pair while the run works
  std::shared_ptr<RowMarks> marks;
  std::stop_source stop;
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
    marks = std::make_shared<RowMarks>(marked);
    request.marks = marks;
    request.stop = stop.get_token();
    return request;
  }
  FaviconRunResult Run(const SiteState& state) {
    const RunRequest request = Request(state);
    return SetUnsetFaviconInFiles(request, *this, *this);
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
  void Tell(const Notice& notice) override { Ask(NoticeMessage(notice)); }
  bool GoOnAfterFailure(const PageFailure& failure) override {
    return Ask(PageFailedMessage(failure)) == MessageAnswer::Ok;
  }
  bool ConfirmFaviconOverwrite() override {
    return Ask(OverwriteFaviconMessage()) == MessageAnswer::Ok;
  }
  bool ConfirmSetOverwrite(const std::vector<std::string>& names) override {
    return Ask(OverwriteSetFilesMessage(names)) == MessageAnswer::Ok;
  }
  bool RetryFaviconWrite(const ErrorInfo& errorInfo) override {
    return Ask(FaviconWriteFailedMessage(errorInfo)) == MessageAnswer::Yes;
  }
  void PageChanged(int, const std::string& path, const std::string&) override {
    changedPages.push_back(path);
    if (onPageChanged) onPageChanged(path);
  }
  void Log(const std::string& line) override { logLines.push_back(line); }

  MessageAnswer Ask(const Message& message) {
    questions.push_back(message);
    events.push_back("ask");
    if (answers.empty()) return message.defaultAnswer;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  // Events whose text starts with `prefix`.
  std::vector<std::string> EventsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& event : events) {
      if (event.rfind(prefix, 0) == 0) found.push_back(event);
    }
    return found;
  }

 private:
  PageList m_pages;
  int m_maximum = -1;
};

}  // namespace tervando::test
