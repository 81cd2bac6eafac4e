#pragma once

#include <QUrl>
#include <string>

#include "engine/message.h"

class QWidget;

namespace tervando {

// Everything the window program asks of the desktop it runs on: message boxes, the folder and
// picture dialogs, the text editor and the default program for addresses. The window and its
// dialogs reach the desktop only through this, so tests can run them with a scripted one.
class Desktop {
 public:
  virtual ~Desktop() = default;

  // Shows a message box or question (see MakeMessageBox) and returns the button chosen.
  virtual MessageAnswer ShowMessage(const Message& message) = 0;
  // The same with an unticked check box of this caption under the text: also whether it was
  // ticked when the box was answered.
  virtual MessageReply AskWithCheckBox(const Message& message, const std::string& checkBox) = 0;

  // The folder dialog, opened in `startFolder` (the home folder while empty). Returns the chosen
  // folder, or the empty text when the user cancels.
  virtual std::string ChooseFolder(QWidget* owner, const std::string& prompt,
                                   const std::string& startFolder) = 0;

  // The file dialog for the user's own picture. Returns the chosen file's path, or the empty
  // text when the user cancels.
  virtual std::string ChooseImageFile(QWidget* owner) = 0;

  // Opens a page in the default editor for plain text; false when no editor could be started.
  virtual bool EditPage(const std::string& path) = 0;

  // Hands a web address or help page to the default program and returns at once; false when
  // the desktop has no program for it. `show` is kShowNormal or kShowMaximized.
  virtual bool OpenUrl(const QUrl& url, int show) = 0;
};

}  // namespace tervando
