#pragma once

#include <string>
#include <string_view>

namespace tervando {

// A unified diff of two versions of one file, named `label` on both sides, with three lines
// of context. The favicon edit changes one tag, so the differing lines form one block: the
// diff is the common leading and trailing lines around one hunk. Empty when equal.
std::string UnifiedDiff(const std::string& label, std::string_view before, std::string_view after);

}  // namespace tervando
