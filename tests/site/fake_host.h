#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/messages.h"
#include "site/page_list_host.h"

namespace tervando::test {

// A host that records what the core tells it, one event text per call, and answers the
// questions from a script (the message's default answer when the script is used up). The
// questions are kept as the window would show them.
class FakeHost : public PageListHost {
 public:
  std::vector<std::string> events;
  std::vector<std::string> logLines;
  std::vector<std::string> changedPages;
  std::vector<Message> questions;
  std::deque<MessageAnswer> answers;
  bool removeMode = false;
  bool stopRequested = false;
  std::function<void()> onYield;
  std::function<void(const std::string& path)> onPageChanged;

  bool RemoveMode() const override { return removeMode; }
  void SetProgressRange(int minimum, int maximum) override {
    events.push_back("range " + std::to_string(minimum) + " " + std::to_string(maximum));
  }
  void SetProgressValue(int value) override { events.push_back("value " + std::to_string(value)); }
  void ShowStatus(const Status& status) override {
    events.push_back("status " + StatusText(status));
  }
  void SetStatusCount(int count) override { events.push_back("count " + std::to_string(count)); }
  void SetBusy(bool busy) override { events.push_back(busy ? "busy on" : "busy off"); }
  void ShowWebRoot(const std::string& webRoot) override { events.push_back("root " + webRoot); }
  void SetSortingEnabled(bool enabled) override {
    events.push_back(enabled ? "sorting on" : "sorting off");
    PageListHost::SetSortingEnabled(enabled);
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
  void Yield() override {
    if (onYield) onYield();
  }
  bool StopRequested() const override { return stopRequested; }

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
};

}  // namespace tervando::test
