#pragma once

#include <QUrl>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "support/desktop.h"

namespace tervando::testing {

// A desktop run by script: it records what the window asks of it and answers from queues and
// hooks, so no box or dialog ever blocks a test.
class ScriptedDesktop : public Desktop {
 public:
  struct Opened {
    QUrl url;
    int show = 0;
  };

  // Messages in the order shown. `onMessage` sees each first; the answer is the next of
  // `answers`, else what `answer` says, else the message's default button.
  std::vector<Message> messages;
  std::function<void(const Message&)> onMessage;
  std::deque<MessageAnswer> answers;
  std::function<MessageAnswer(const Message&)> answer;
  // The captions of the check boxes shown, and whether each is ticked, in order (else unticked).
  std::vector<std::string> checkBoxes;
  std::deque<bool> ticks;

  // Folder dialogs: their prompts and start folders; `onFolderDialog` runs while one is open;
  // `folder` is chosen (empty: cancelled).
  std::vector<std::string> folderPrompts;
  std::vector<std::string> folderStarts;
  std::function<void()> onFolderDialog;
  std::string folder;

  // Picture dialogs: how many opened; `imageFile` is chosen (empty: cancelled).
  int imageDialogs = 0;
  std::string imageFile;

  // Pages handed to the editor and addresses opened; `editorWorks` and `browserWorks` false
  // make them fail as on a desktop without such a program.
  std::vector<std::string> editedPages;
  std::vector<Opened> opened;
  bool editorWorks = true;
  bool browserWorks = true;

  MessageAnswer ShowMessage(const Message& message) override {
    messages.push_back(message);
    if (onMessage) onMessage(message);
    if (!answers.empty()) {
      const MessageAnswer next = answers.front();
      answers.pop_front();
      return next;
    }
    return answer ? answer(message) : message.defaultAnswer;
  }

  MessageReply AskWithCheckBox(const Message& message, const std::string& checkBox) override {
    checkBoxes.push_back(checkBox);
    const MessageAnswer chosen = ShowMessage(message);
    bool ticked = false;
    if (!ticks.empty()) {
      ticked = ticks.front();
      ticks.pop_front();
    }
    return {chosen, ticked};
  }

  std::string ChooseFolder(QWidget*, const std::string& prompt,
                           const std::string& startFolder) override {
    folderPrompts.push_back(prompt);
    folderStarts.push_back(startFolder);
    if (onFolderDialog) onFolderDialog();
    return folder;
  }

  std::string ChooseImageFile(QWidget*) override {
    ++imageDialogs;
    return imageFile;
  }

  bool EditPage(const std::string& path) override {
    editedPages.push_back(path);
    return editorWorks;
  }

  bool OpenUrl(const QUrl& url, int show) override {
    opened.push_back({url, show});
    return browserWorks;
  }
};

}  // namespace tervando::testing
