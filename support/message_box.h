#pragma once

#include <QMessageBox>
#include <QString>
#include <memory>
#include <string>

#include "engine/message.h"

namespace tervando {

// Shows the message as a modal box in front of the program's window and returns the button
// chosen; closing the box without one gives SafeAnswer. The window reaches it through Desktop.
MessageAnswer ShowMessageBox(const Message& message);

// The box ShowMessageBox shows: title, icon, buttons and default button as the message says.
std::unique_ptr<QMessageBox> MakeMessageBox(const Message& message, QWidget* parent);

// The message texts break lines with single CR characters; the box's label wants LF.
QString MessageDisplayText(const std::string& text);

}  // namespace tervando
