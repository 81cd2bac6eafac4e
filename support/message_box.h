#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "engine/message.h"

namespace tervando {

// Every message box and question of the window program goes through ShowMessage, so tests can
// answer it by script instead of blocking on a real box.
using MessageHandler = std::function<MessageAnswer(const Message& message)>;

MessageAnswer ShowMessage(const Message& message);

// Replaces the real message box; an empty handler restores it.
void SetMessageHandler(MessageHandler handler);

// The box ShowMessage shows: title, icon, buttons and default button as the message says.
std::unique_ptr<QMessageBox> MakeMessageBox(const Message& message, QWidget* parent);

// The message texts break lines with single CR characters; the box's label wants LF.
QString MessageDisplayText(const std::string& text);

}  // namespace tervando
