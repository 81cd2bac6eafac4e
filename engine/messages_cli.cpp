#include "engine/messages_cli.h"

namespace tervando {

std::string UnknownOptionText(const std::string& option) {
  return "Unbekannte Option " + option + ".";
}

std::string OptionTakesNoValueText(const std::string& option) {
  return "Option " + option + " nimmt keinen Wert.";
}

std::string OptionNeedsValueText(const std::string& option) {
  return "Option " + option + " braucht einen Wert.";
}

std::string CheckExcludesText(const std::string& option) {
  return "--check schließt " + option + " aus.";
}

std::string OnlyWithCheckText(const std::string& option) {
  return option + " gilt nur mit --check.";
}

std::string ExclusiveOptionsText(const std::string& first, const std::string& second) {
  return first + " und " + second + " schließen einander aus.";
}

}  // namespace tervando
