#pragma once

#include <string>

namespace tervando {

// Every message box and question of the program is described by one of these and
// answered by whoever hosts the core: the window shows a QMessageBox, the CLI asks on
// the terminal, tests answer by script. The title is always the program title.
inline constexpr char kProgramTitle[] = "Tervando";

enum class MessageIcon { None, Information, Exclamation, Critical };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct Message {
  std::string text;  // UTF-8; line breaks are single CR characters
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  MessageAnswer defaultAnswer = MessageAnswer::Ok;
};

// The answer to a message with a check box: the button chosen and whether the box was ticked.
struct MessageReply {
  MessageAnswer answer = MessageAnswer::Ok;
  bool ticked = false;
};

// The answer that changes nothing more: Cancel or No where the box offers it. Taken when a box
// is closed without a button, or when the program is ending while a question is pending.
inline MessageAnswer SafeAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return MessageAnswer::Cancel;
    case MessageButtons::YesNo:
      return MessageAnswer::No;
    case MessageButtons::Ok:
      break;
  }
  return MessageAnswer::Ok;
}

}  // namespace tervando
