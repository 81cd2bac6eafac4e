#include "site/collation.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <string>
#include <thread>
#include <unordered_map>

#include "engine/ascii.h"
#include "engine/parallel.h"
#include "engine/paths.h"

namespace tervando {

namespace {

// Below this many names a second thread costs more than it saves.
constexpr std::size_t kParallelKeys = 20000;

// The C locale and its UTF-8 variants ("C.UTF-8") collate by code point, capitals first.
bool PlainCLocale() {
  const char* name = std::setlocale(LC_COLLATE, nullptr);
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
         std::strncmp(name, "C.", 2) == 0;
}

// How many leading bytes all texts share, cut back to the last separator among them: those
// folders never decide anything.
std::size_t SharedFolderLength(const std::vector<std::string_view>& texts) {
  if (texts.empty()) {
    return 0;
  }
  std::string_view shared = texts.front();
  for (const std::string_view text : texts) {
    const auto differ = std::mismatch(shared.begin(), shared.end(), text.begin(), text.end());
    shared = shared.substr(0, static_cast<std::size_t>(differ.first - shared.begin()));
  }
  const std::size_t separator = shared.rfind(kPathSeparator);
  return separator == std::string_view::npos ? 0 : separator + 1;
}

// Calls `name` for each name of `path` between separators.
template <typename Name>
void ForEachName(std::string_view path, Name name) {
  for (;;) {
    const std::size_t separator = path.find(kPathSeparator);
    name(path.substr(0, separator));
    if (separator == std::string_view::npos) {
      return;
    }
    path.remove_prefix(separator + 1);
  }
}

// The collation key of `name`, appended to `arena`. strxfrm needs a terminated string.
void AppendKey(std::string& arena, std::string& scratch, std::string_view name, bool plainC) {
  if (plainC) {
    for (const char c : name) {
      arena += AsciiLower(c);
    }
    return;
  }
  scratch.assign(name);
  const std::size_t start = arena.size();
  std::size_t room = 8 * name.size() + 16;  // keys of the usual locales stay below this
  for (;;) {
    arena.resize(start + room);
    const std::size_t length = std::strxfrm(arena.data() + start, scratch.c_str(), room);
    if (length < room) {
      arena.resize(start + length);
      return;
    }
    room = length + 1;
  }
}

struct Keys {
  std::string arena;
  std::vector<std::size_t> ends;

  void Build(const std::vector<std::string_view>& names, std::size_t begin, std::size_t end,
             bool plainC) {
    std::string scratch;
    ends.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
      AppendKey(arena, scratch, names[i], plainC);
      ends.push_back(arena.size());
    }
  }
  std::string_view Key(std::size_t i) const {
    const std::size_t start = i == 0 ? 0 : ends[i - 1];
    return {arena.data() + start, ends[i] - start};
  }
};

// Ranks of the distinct names: equal ranks for names that collate alike.
std::vector<std::uint32_t> RankNames(const std::vector<std::string_view>& names, bool plainC) {
  const std::size_t half = names.size() >= kParallelKeys && std::thread::hardware_concurrency() > 1
                               ? names.size() / 2
                               : names.size();
  Keys first;
  Keys second;
  ForEachInParallel(half < names.size() ? 2 : 1, 2, [&](std::size_t part) {
    if (part == 0) {
      first.Build(names, 0, half, plainC);
    } else {
      second.Build(names, half, names.size(), plainC);
    }
  });
  struct Keyed {
    std::string_view key;
    std::uint32_t name;
  };
  std::vector<Keyed> byKey(names.size());
  for (std::uint32_t i = 0; i < byKey.size(); ++i) {
    byKey[i] = {i < half ? first.Key(i) : second.Key(i - half), i};
  }
  std::sort(byKey.begin(), byKey.end(),
            [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
  std::vector<std::uint32_t> rank(names.size());
  std::uint32_t current = 0;
  for (std::size_t i = 0; i < byKey.size(); ++i) {
    if (i > 0 && byKey[i - 1].key != byKey[i].key) {
      ++current;
    }
    rank[byKey[i].name] = current;
  }
  return rank;
}

struct Row {
  std::uint64_t head;  // the first two ranks (plus one; 0 for none): most comparisons end here
  std::uint32_t begin;
  std::uint32_t count;
  std::uint32_t index;
};

int CollateName(std::string_view a, std::string_view b, bool plainC) {
  if (plainC) {
    return AsciiLowerCopy(a).compare(AsciiLowerCopy(b));
  }
  return std::strcoll(std::string(a).c_str(), std::string(b).c_str());
}

}  // namespace

std::vector<std::uint32_t> CollatedOrder(const std::vector<std::string_view>& texts) {
  const bool plainC = PlainCLocale();
  const std::size_t skip = SharedFolderLength(texts);

  // Each path as the ids of its names; most names (folders, "index.html") recur.
  std::unordered_map<std::string_view, std::uint32_t> ids;
  std::vector<std::string_view> names;
  std::vector<std::uint32_t> flat;
  std::vector<Row> rows;
  rows.reserve(texts.size());
  for (std::uint32_t index = 0; index < texts.size(); ++index) {
    const auto begin = static_cast<std::uint32_t>(flat.size());
    ForEachName(texts[index].substr(skip), [&](std::string_view name) {
      const auto [at, added] = ids.try_emplace(name, static_cast<std::uint32_t>(names.size()));
      if (added) {
        names.push_back(name);
      }
      flat.push_back(at->second);
    });
    rows.push_back({0, begin, static_cast<std::uint32_t>(flat.size()) - begin, index});
  }
  ids = {};
  const std::vector<std::uint32_t> rank = RankNames(names, plainC);
  for (std::uint32_t& id : flat) {
    id = rank[id];
  }
  for (Row& row : rows) {
    const std::uint64_t second = row.count > 1 ? flat[row.begin + 1] + std::uint64_t{1} : 0;
    row.head = ((flat[row.begin] + std::uint64_t{1}) << 32) | second;
  }

  std::sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
    if (a.head != b.head) {
      return a.head < b.head;
    }
    const auto aRanks = flat.begin() + a.begin;
    const auto bRanks = flat.begin() + b.begin;
    const auto differ = std::mismatch(aRanks, aRanks + a.count, bRanks, bRanks + b.count);
    if (differ.first != aRanks + a.count && differ.second != bRanks + b.count) {
      return *differ.first < *differ.second;
    }
    if (a.count != b.count) {
      return a.count < b.count;
    }
    return texts[a.index] < texts[b.index];
  });
  std::vector<std::uint32_t> order;
  order.reserve(rows.size());
  for (const Row& row : rows) {
    order.push_back(row.index);
  }
  return order;
}

int Collate(std::string_view a, std::string_view b) {
  const bool plainC = PlainCLocale();
  const std::size_t skip = SharedFolderLength({a, b});
  std::vector<std::string_view> aNames;
  std::vector<std::string_view> bNames;
  ForEachName(a.substr(skip), [&](std::string_view name) { aNames.push_back(name); });
  ForEachName(b.substr(skip), [&](std::string_view name) { bNames.push_back(name); });
  for (std::size_t i = 0; i < aNames.size() && i < bNames.size(); ++i) {
    const int byName = CollateName(aNames[i], bNames[i], plainC);
    if (byName != 0) {
      return byName;
    }
  }
  if (aNames.size() != bNames.size()) {
    return aNames.size() < bNames.size() ? -1 : 1;
  }
  return a.compare(b);
}

}  // namespace tervando
