#include "site/page_list.h"

#include <algorithm>
#include <functional>

namespace tervando {

std::size_t PageList::SlotHash::operator()(std::uint32_t slot) const {
  return std::hash<std::string_view>{}((*rows)[slot].path);
}

std::size_t PageList::SlotHash::operator()(std::string_view path) const {
  return std::hash<std::string_view>{}(path);
}

bool PageList::SlotEqual::operator()(std::uint32_t a, std::uint32_t b) const {
  return (*rows)[a].path == (*rows)[b].path;
}

bool PageList::SlotEqual::operator()(std::string_view path, std::uint32_t slot) const {
  return path == (*rows)[slot].path;
}

bool PageList::SlotEqual::operator()(std::uint32_t slot, std::string_view path) const {
  return path == (*rows)[slot].path;
}

PageList::PageList() : m_index(0, SlotHash{&m_rows}, SlotEqual{&m_rows}) {}

void PageList::MarkAll(bool marked) {
  for (Row& row : m_rows) {
    row.marked = marked;
  }
}

bool PageList::Contains(std::string_view path) const { return m_index.find(path) != m_index.end(); }

int PageList::InsertMarkedAtTop(const std::string& path) {
  if (Contains(path)) {
    return -1;
  }
  if (!m_sortingEnabled) {
    m_rows.push_back(Row{path, true});
    m_index.insert(static_cast<std::uint32_t>(m_rows.size() - 1));
    return 0;
  }
  // Slots run bottom to top: find the first slot whose row lies above the new one.
  const auto place = std::partition_point(m_rows.begin(), m_rows.end(),
                                          [&](const Row& row) { return !Above(row.path, path); });
  const auto slot = static_cast<std::size_t>(place - m_rows.begin());
  m_rows.insert(place, Row{path, true});
  if (slot + 1 == m_rows.size()) {
    m_index.insert(static_cast<std::uint32_t>(slot));
  } else {
    RebuildIndex();  // the slots above the new row moved
  }
  return static_cast<int>(m_rows.size() - 1 - slot);
}

void PageList::Clear() {
  m_index.clear();
  m_rows.clear();
}

void PageList::SetSortingEnabled(bool enabled) {
  m_sortingEnabled = enabled;
  if (enabled) {
    Sort();
  }
}

void PageList::SetSortOrder(SortOrder order) {
  m_order = order;
  if (m_sortingEnabled) {
    Sort();
  }
}

bool PageList::Above(const std::string& a, const std::string& b) const {
  // std::string compares with char_traits<char>, which orders bytes as unsigned values.
  return m_order == SortOrder::Ascending ? a < b : b < a;
}

void PageList::Sort() {
  // The top row is the last slot, so the slots run in the opposite order.
  std::sort(m_rows.begin(), m_rows.end(),
            [this](const Row& a, const Row& b) { return Above(b.path, a.path); });
  RebuildIndex();
}

void PageList::RebuildIndex() {
  m_index.clear();
  m_index.reserve(m_rows.size());
  for (std::size_t slot = 0; slot < m_rows.size(); ++slot) {
    m_index.insert(static_cast<std::uint32_t>(slot));
  }
}

}  // namespace tervando
