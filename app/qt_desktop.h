#pragma once

#include "support/desktop.h"

namespace tervando {

// The desktop the program runs on: Qt's message boxes and file dialogs, the default text
// editor, and the default program for addresses.
class QtDesktop : public Desktop {
 public:
  MessageAnswer ShowMessage(const Message& message) override;
  MessageReply AskWithCheckBox(const Message& message, const std::string& checkBox) override;
  std::string ChooseFolder(QWidget* owner, const std::string& prompt,
                           const std::string& startFolder) override;
  std::string ChooseImageFile(QWidget* owner) override;
  bool EditPage(const std::string& path) override;
  bool OpenUrl(const QUrl& url, int show) override;
};

}  // namespace tervando
