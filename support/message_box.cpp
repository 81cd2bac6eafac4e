#include "support/message_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMessageBox>

namespace tervando {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Critical:
      return QMessageBox::Critical;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton BoxButton(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::Ok:
      return QMessageBox::Ok;
    case MessageAnswer::Cancel:
      return QMessageBox::Cancel;
    case MessageAnswer::Yes:
      return QMessageBox::Yes;
    case MessageAnswer::No:
      return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

QMessageBox::StandardButtons BoxButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

// The box belongs in front of the program's window, also while the window manager has not yet
// made the freshly shown main window the active one.
QWidget* BoxOwner() {
  if (QWidget* active = QApplication::activeWindow()) {
    return active;
  }
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->windowType() == Qt::Window) {
      return window;
    }
  }
  return nullptr;
}

// Drops the key presses (and their releases) that reach the box before it has been on screen
// for kBoxSettleMs: they were typed for the window, not as an answer.
class EarlyKeysDropped : public QObject {
 public:
  explicit EarlyKeysDropped(QMessageBox& box) : QObject(&box), m_box(box) {
    QCoreApplication::instance()->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Show:
        if (watched == &m_box && !m_shown.isValid()) {
          m_shown.start();
        }
        break;
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
        if (auto* widget = qobject_cast<QWidget*>(watched);
            widget && widget->window() == &m_box &&
            (!m_shown.isValid() || m_shown.elapsed() < kBoxSettleMs)) {
          return true;
        }
        break;
      default:
        break;
    }
    return false;
  }

 private:
  QMessageBox& m_box;
  QElapsedTimer m_shown;
};

}  // namespace

MessageReply ShowMessageBox(const Message& message, const std::string& checkBox) {
  const std::unique_ptr<QMessageBox> box = MakeMessageBox(message, BoxOwner(), checkBox);
  const int button = box->exec();
  const bool ticked = box->checkBox() && box->checkBox()->isChecked();
  switch (button) {
    case QMessageBox::Ok:
      return {MessageAnswer::Ok, ticked};
    case QMessageBox::Cancel:
      return {MessageAnswer::Cancel, ticked};
    case QMessageBox::Yes:
      return {MessageAnswer::Yes, ticked};
    case QMessageBox::No:
      return {MessageAnswer::No, ticked};
    default:
      return {SafeAnswer(message.buttons), false};
  }
}

std::unique_ptr<QMessageBox> MakeMessageBox(const Message& message, QWidget* parent,
                                            const std::string& checkBox) {
  auto box = std::make_unique<QMessageBox>(BoxIcon(message.icon), QString::fromUtf8(kProgramTitle),
                                           MessageDisplayText(message.text),
                                           BoxButtons(message.buttons), parent);
  box->setTextFormat(Qt::PlainText);
  box->setDefaultButton(BoxButton(message.defaultAnswer));
  if (!checkBox.empty()) {
    box->setCheckBox(new QCheckBox(QString::fromStdString(checkBox), box.get()));
  }
  new EarlyKeysDropped(*box);
  return box;
}

QString MessageDisplayText(const std::string& text) {
  QString shown = QString::fromUtf8(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

}  // namespace tervando
