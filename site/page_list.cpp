#include "site/page_list.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "site/collation.h"

namespace tervando {

namespace {

constexpr std::size_t kBlockBytes = std::size_t{1} << 16;
constexpr std::uint64_t kEmpty = 0;

std::uint32_t HashOf(std::string_view path) {
  const std::size_t full = std::hash<std::string_view>{}(path);
  return static_cast<std::uint32_t>(full ^ (static_cast<std::uint64_t>(full) >> 32));
}

}  // namespace

void PageList::MarkAll(bool marked) {
  for (PageEntry& entry : m_entries) {
    entry.marked = marked;
  }
}

std::size_t PageList::Probe(std::string_view path, std::uint32_t hash) const {
  const std::size_t mask = m_index.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint64_t held = m_index[slot];
    if (held == kEmpty) {
      return slot;
    }
    if (static_cast<std::uint32_t>(held >> 32) == hash &&
        m_entries[static_cast<std::uint32_t>(held) - 1].Path() == path) {
      return slot;
    }
  }
}

int PageList::Find(std::string_view path) const {
  if (m_index.empty()) {
    return -1;
  }
  const std::uint64_t held = m_index[Probe(path, HashOf(path))];
  return held == kEmpty ? -1 : RowOfId(static_cast<std::uint32_t>(held) - 1);
}

void PageList::GrowIndex() {
  std::vector<std::uint64_t> old(std::max<std::size_t>(1024, 2 * m_index.size()), kEmpty);
  old.swap(m_index);
  const std::size_t mask = m_index.size() - 1;
  for (const std::uint64_t held : old) {
    if (held != kEmpty) {
      std::size_t slot = static_cast<std::uint32_t>(held >> 32) & mask;
      while (m_index[slot] != kEmpty) {
        slot = (slot + 1) & mask;
      }
      m_index[slot] = held;
    }
  }
}

const char* PageList::Store(std::string_view path) {
  const std::size_t need = path.size() + 1;
  if (need > m_blockRoom) {
    const std::size_t size = std::max(kBlockBytes, need);
    m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
    m_blockEnd = m_blocks.back().get();
    m_blockRoom = size;
  }
  char* stored = m_blockEnd;
  std::memcpy(stored, path.data(), path.size());
  stored[path.size()] = '\0';
  m_blockEnd += need;
  m_blockRoom -= need;
  return stored;
}

bool PageList::Above(std::string_view a, std::string_view b) const {
  const int order = Collate(a, b);
  return m_order == SortOrder::Ascending ? order < 0 : order > 0;
}

int PageList::PlaceFor(std::string_view path) const {
  if (!m_sortingEnabled) {
    return 0;
  }
  // Rows from the top: the first row that the new path belongs above.
  int low = 0;
  int high = Count();
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (Above(path, Path(middle))) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

int PageList::InsertMarkedAtTop(std::string_view path) {
  // Keep the table at most 70% full, so probes stay short.
  if (10 * (m_entries.size() + 1) > 7 * m_index.size()) {
    GrowIndex();
  }
  const std::uint32_t hash = HashOf(path);
  const std::size_t indexSlot = Probe(path, hash);
  if (m_index[indexSlot] != kEmpty) {
    return -1;
  }
  const int row = PlaceFor(path);
  const auto id = static_cast<std::uint32_t>(m_entries.size());
  m_entries.push_back({Store(path), static_cast<std::uint32_t>(path.size()), true});
  m_index[indexSlot] = (static_cast<std::uint64_t>(hash) << 32) | (id + 1);
  const std::size_t slot = m_rows.size() - static_cast<std::size_t>(row);
  m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(slot), id);
  m_slotOf.push_back(0);
  NumberSlots(slot);
  if (!m_sortingEnabled) {
    m_arranged = Arranged::Unsorted;
  }
  return row;
}

void PageList::Clear() {
  m_entries = {};
  m_blocks.clear();
  m_blocks.shrink_to_fit();
  m_blockRoom = 0;
  m_blockEnd = nullptr;
  m_index = {};
  m_rows = {};
  m_slotOf = {};
  m_arranged = m_order == SortOrder::Ascending ? Arranged::Ascending : Arranged::Descending;
}

void PageList::SetSortingEnabled(bool enabled) {
  m_sortingEnabled = enabled;
  if (enabled) {
    Arrange();
  }
}

void PageList::SetSortOrder(SortOrder order) {
  m_order = order;
  if (m_sortingEnabled) {
    Arrange();
  }
}

void PageList::Arrange() {
  const Arranged wanted =
      m_order == SortOrder::Ascending ? Arranged::Ascending : Arranged::Descending;
  if (m_arranged == wanted) {
    return;
  }
  if (m_arranged != Arranged::Unsorted) {
    // The order is total, so the other direction is exactly the reverse.
    std::reverse(m_rows.begin(), m_rows.end());
    m_arranged = wanted;
    NumberSlots(0);
  } else {
    ArrangeBy(CollatedOrder(PathsById()));
  }
}

void PageList::ArrangeBy(std::vector<std::uint32_t> collated) {
  m_rows = std::move(collated);  // first in the order, bottom slot
  if (m_order == SortOrder::Ascending) {
    std::reverse(m_rows.begin(), m_rows.end());  // the top row is the last slot
  }
  m_arranged = m_order == SortOrder::Ascending ? Arranged::Ascending : Arranged::Descending;
  NumberSlots(0);
}

std::vector<std::string_view> PageList::PathsById() const {
  std::vector<std::string_view> paths;
  paths.reserve(m_entries.size());
  for (const PageEntry& entry : m_entries) {
    paths.push_back(entry.Path());
  }
  return paths;
}

void PageList::SetSortingEnabled(std::vector<std::uint32_t> collated) {
  m_sortingEnabled = true;
  // An order collated elsewhere is used when it still covers every row.
  if (NeedsCollation() && collated.size() == m_entries.size()) {
    ArrangeBy(std::move(collated));
  } else {
    Arrange();
  }
}

void PageList::NumberSlots(std::size_t from) {
  for (std::size_t slot = from; slot < m_rows.size(); ++slot) {
    m_slotOf[m_rows[slot]] = static_cast<std::uint32_t>(slot);
  }
}

}  // namespace tervando
