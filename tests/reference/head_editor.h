#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/head_editor.h"

namespace tervando {

// Index of the first item equal to (wholeMatch) or containing the needle; -1 when none does.
// Without caseSensitive, ASCII letters compare without regard to case.
int FindInStringArray(const std::string& needle, const std::vector<std::string>& items,
                      bool caseSensitive, bool wholeMatch);

// The favicon edit for any prefix: the engine's FindFaviconEdit for a plain tag opener (the one
// prefix the programs use), otherwise the page's tags walked one by one as the split cuts them.
FaviconEdit FindFaviconEditAnyPrefix(std::string_view text, std::string_view pagePath, bool remove,
                                     const std::string& faviconLinkPrefix, int webRootDepth);

// Returns the page text with its favicon reference inserted, refreshed or (remove) emptied,
// for any prefix, as FindFaviconEditAnyPrefix finds the edit. An empty text throws
// std::system_error(EngineErrc::kIndexOutOfRange).
std::string SetUnsetFaviconInHtml(const std::string& text, const std::string& pagePath, bool remove,
                                  const std::string& faviconLinkPrefix, int webRootDepth);

}  // namespace tervando
