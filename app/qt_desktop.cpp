#include "app/qt_desktop.h"

#include <QDesktopServices>

#include "app/browse_for_folder.h"
#include "app/edit_page.h"
#include "icons/choose_image_file.h"
#include "support/message_box.h"

namespace tervando {

MessageAnswer QtDesktop::ShowMessage(const Message& message) {
  return ShowMessageBox(message).answer;
}

MessageReply QtDesktop::AskWithCheckBox(const Message& message, const std::string& checkBox) {
  return ShowMessageBox(message, checkBox);
}

std::string QtDesktop::ChooseFolder(QWidget* owner, const std::string& prompt,
                                    const std::string& startFolder) {
  return BrowseForFolder(owner, prompt, startFolder);
}

std::string QtDesktop::ChooseImageFile(QWidget* owner) { return tervando::ChooseImageFile(owner); }

bool QtDesktop::EditPage(const std::string& path) { return tervando::EditPage(path); }

// The desktop decides how the opened window looks, so the show command is not passed on.
bool QtDesktop::OpenUrl(const QUrl& url, int /*show*/) { return QDesktopServices::openUrl(url); }

}  // namespace tervando
