#pragma once

#include <string>

namespace tervando {

// Replaces backslash escapes: \t tab, \n carriage return, \l line feed, \h double quote
// (letters in either case); any other escaped character stands for itself, and a backslash
// at the very end is dropped.
std::string ExpandEscapes(const std::string& text);

}  // namespace tervando
