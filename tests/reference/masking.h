#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/masking.h"

namespace tervando {

// Modes of the two text routines below.
inline constexpr int kHideMode = 0;     // HideUnhideJavaInHtml: operators -> markers
inline constexpr int kUnhideMode = 1;   // HideUnhideJavaInHtml: markers -> operators
inline constexpr int kSplitMode = 0;    // SplitUnsplitHtmlString: text -> segments
inline constexpr int kUnsplitMode = 1;  // SplitUnsplitHtmlString: segments -> text

// Mode 0 replaces every operator by its marker, mode 1 every marker by its operator: four
// passes in table order, each left to right without overlaps. Any other mode ends the program.
std::string HideUnhideJavaInHtml(const std::string& text, int mode);

// Mode 0 cuts the text at every '<' into segments (tag part: "<" up to and including the first
// '>' of the segment, or empty; text part: the rest) and replaces both arrays; an empty text
// throws std::system_error(EngineErrc::kIndexOutOfRange) and leaves the arrays as they were.
// Mode 1 joins tag part k and text part k for every k into the text; a text-part array shorter
// than the tag-part array throws the same error and leaves the text as it was.
// Both call `yield` (when given) every 32 segments, so a caller's window can repaint. Any other
// mode ends the program.
void SplitUnsplitHtmlString(std::string& text, std::vector<std::string>& tagParts,
                            std::vector<std::string>& textParts, int mode,
                            const std::function<void()>& yield = {});

}  // namespace tervando
