#include "site/collation.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <string>
#include <thread>

#include "engine/ascii.h"
#include "engine/paths.h"

namespace tervando {

namespace {

// Below this many texts a second thread costs more than it saves.
constexpr std::size_t kParallelKeys = 20000;

// The C locale and its UTF-8 variants ("C.UTF-8") collate by code point, capitals first.
bool PlainCLocale() {
  const char* name = std::setlocale(LC_COLLATE, nullptr);
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
         std::strncmp(name, "C.", 2) == 0;
}

// How many leading bytes all texts share, cut back to the last separator among them.
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

// Appends the collation key of `text` to `arena`. strxfrm needs a terminated string.
void AppendKey(std::string& arena, std::string& scratch, std::string_view text, bool plainC) {
  if (plainC) {
    for (const char c : text) {
      arena += AsciiLower(c);
    }
    return;
  }
  scratch.assign(text);
  const std::size_t start = arena.size();
  std::size_t room = 8 * text.size() + 16;  // keys of the usual locales stay below this
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

struct Keyed {
  std::uint64_t head;  // the key's first eight bytes, big-endian: most comparisons end here
  const char* key;
  std::uint32_t length;
  std::uint32_t index;
};

std::uint64_t Head(std::string_view key) {
  std::uint64_t head = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    head = (head << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
  }
  return head;
}

// Keys of texts[begin, end) into one arena; the records point into it once it is complete.
struct KeyBatch {
  std::string arena;
  std::vector<std::size_t> ends;

  void Build(const std::vector<std::string_view>& texts, std::size_t begin, std::size_t end,
             std::size_t skip, bool plainC) {
    std::string scratch;
    ends.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
      AppendKey(arena, scratch, texts[i].substr(skip), plainC);
      ends.push_back(arena.size());
    }
  }

  void Records(std::size_t firstIndex, std::vector<Keyed>& out) const {
    std::size_t start = 0;
    for (std::size_t i = 0; i < ends.size(); ++i) {
      const std::string_view key(arena.data() + start, ends[i] - start);
      out.push_back({Head(key), key.data(), static_cast<std::uint32_t>(key.size()),
                     static_cast<std::uint32_t>(firstIndex + i)});
      start = ends[i];
    }
  }
};

}  // namespace

std::vector<std::uint32_t> CollatedOrder(const std::vector<std::string_view>& texts) {
  const bool plainC = PlainCLocale();
  const std::size_t skip = SharedFolderLength(texts);
  const std::size_t half = texts.size() >= kParallelKeys && std::thread::hardware_concurrency() > 1
                               ? texts.size() / 2
                               : texts.size();
  KeyBatch first;
  KeyBatch second;
  {
    std::jthread helper;
    if (half < texts.size()) {
      helper = std::jthread([&] { second.Build(texts, half, texts.size(), skip, plainC); });
    }
    first.Build(texts, 0, half, skip, plainC);
  }
  std::vector<Keyed> keyed;
  keyed.reserve(texts.size());
  first.Records(0, keyed);
  second.Records(half, keyed);

  std::sort(keyed.begin(), keyed.end(), [&texts](const Keyed& a, const Keyed& b) {
    if (a.head != b.head) {
      return a.head < b.head;
    }
    const int byKey = std::memcmp(a.key, b.key, std::min(a.length, b.length));
    if (byKey != 0 || a.length != b.length) {
      return byKey != 0 ? byKey < 0 : a.length < b.length;
    }
    return texts[a.index] < texts[b.index];
  });
  std::vector<std::uint32_t> order;
  order.reserve(keyed.size());
  for (const Keyed& k : keyed) {
    order.push_back(k.index);
  }
  return order;
}

int Collate(std::string_view a, std::string_view b) {
  const std::size_t skip = SharedFolderLength({a, b});
  int byKey = 0;
  if (PlainCLocale()) {
    const std::string lowerA = AsciiLowerCopy(a.substr(skip));
    const std::string lowerB = AsciiLowerCopy(b.substr(skip));
    byKey = lowerA.compare(lowerB);
  } else {
    byKey = std::strcoll(std::string(a.substr(skip)).c_str(), std::string(b.substr(skip)).c_str());
  }
  if (byKey != 0) {
    return byKey;
  }
  return a.compare(b);
}

}  // namespace tervando
