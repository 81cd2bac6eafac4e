#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tervando {

// The order in which a person expects a list of paths: folder by folder, each name by the
// user's collation (LC_COLLATE, set by the programs at start), or by ASCII letters without
// regard to case in the C/POSIX locale (C.UTF-8 too). A folder's pages stay together, right
// after the folder's name would come; paths that collate alike are ordered by their bytes, so
// the order is total and the same on every run.

// The indices of `texts`, ascending. The collation key of each distinct name is computed once.
std::vector<std::uint32_t> CollatedOrder(const std::vector<std::string_view>& texts);

// Less than, equal to or greater than zero as `a` goes before, with or after `b` in the order of
// CollatedOrder.
int Collate(std::string_view a, std::string_view b);

}  // namespace tervando
