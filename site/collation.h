#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tervando {

// The order in which a person expects a list of paths: the user's collation (LC_COLLATE, set by
// the programs at start), or ASCII letters without regard to case in the C/POSIX locale (C.UTF-8 too); texts that
// collate alike are ordered by their bytes, so the order is total and the same on every run.
// A leading folder that all texts share never decides anything and is left out of the keys.

// The indices of `texts`, ascending. Each text's collation key is computed once.
std::vector<std::uint32_t> CollatedOrder(const std::vector<std::string_view>& texts);

// Less than, equal to or greater than zero as `a` goes before, with or after `b` in the order of
// CollatedOrder.
int Collate(std::string_view a, std::string_view b);

}  // namespace tervando
