#pragma once

#include <QMessageBox>
#include <QString>
#include <memory>
#include <string>

#include "engine/message.h"

namespace tervando {

// Shows the message as a modal box in front of the program's window and returns the button
// chosen (and whether its check box was ticked); closing the box without one gives SafeAnswer.
// The window reaches it through Desktop.
MessageReply ShowMessageBox(const Message& message, const std::string& checkBox = {});

// How long a box takes no keys after it comes up (ms), so that a key typed just before it
// appeared does not answer it.
inline constexpr int kBoxSettleMs = 300;

// The box ShowMessageBox shows: title, icon, buttons and default button as the message says,
// and a check box when it has a caption; keys reaching it in its first kBoxSettleMs are dropped.
std::unique_ptr<QMessageBox> MakeMessageBox(const Message& message, QWidget* parent,
                                            const std::string& checkBox = {});

// The message texts break lines with single CR characters; the box's label wants LF.
QString MessageDisplayText(const std::string& text);

}  // namespace tervando
