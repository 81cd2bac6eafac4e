#pragma once

#include <deque>
#include <string>
#include <vector>

#include "site/page_list_host.h"

namespace tervando::test {

// A host that records what the core asks of it, one event text per call, and answers the
// questions from a script (the message's default answer when the script is used up).
class FakeHost : public PageListHost {
 public:
  std::vector<std::string> events;
  std::vector<std::string> logLines;
  std::vector<Message> questions;
  std::deque<MessageAnswer> answers;
  bool removeMode = false;

  bool RemoveMode() const override { return removeMode; }
  void SetProgressRange(int minimum, int maximum) override {
    events.push_back("range " + std::to_string(minimum) + " " + std::to_string(maximum));
  }
  void SetProgressValue(int value) override { events.push_back("value " + std::to_string(value)); }
  void SetStatusText(const std::string& text) override { events.push_back("status " + text); }
  void SetStatusCount(int count) override { events.push_back("count " + std::to_string(count)); }
  void SetBusy(bool busy) override { events.push_back(busy ? "busy on" : "busy off"); }
  void ShowWebRoot(const std::string& webRoot) override { events.push_back("root " + webRoot); }
  void SetSortingEnabled(bool enabled) override {
    events.push_back(enabled ? "sorting on" : "sorting off");
    PageListHost::SetSortingEnabled(enabled);
  }
  MessageAnswer Ask(const Message& message) override {
    questions.push_back(message);
    events.push_back("ask");
    if (answers.empty()) return message.defaultAnswer;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Log(const std::string& line) override { logLines.push_back(line); }

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
