#include "site/options.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <utility>

#include "engine/ascii.h"
#include "engine/unique_fd.h"
#include "site/app_folder.h"

namespace tervando {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

std::string_view WithoutEnclosingQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value.remove_prefix(1);
    value.remove_suffix(1);
  }
  return value;
}

std::string CutToLimit(std::string_view text) {
  return std::string(text.substr(0, kProfileValueLimit));
}

// The next line of `text` from `pos`, without its line break (LF or CR LF).
std::string_view NextLine(std::string_view text, std::size_t& pos) {
  std::size_t end = text.find('\n', pos);
  if (end == std::string_view::npos) {
    end = text.size();
  }
  std::string_view line = text.substr(pos, end - pos);
  pos = end + 1;
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  return line;
}

// The whole file when it is a regular file, or a symbolic link to one, of at most
// kProfileFileLimit bytes. Anything else counts as no file: a folder cannot be read, a FIFO
// would hold up start-up and a device such as /dev/zero never ends.
std::optional<std::string> ReadProfileFile(const std::string& path) {
  struct stat info {};
  if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  // Without waiting, should a FIFO have taken the file's place since the look.
  const UniqueFd file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  const int fd = file.Get();
  if (fd < 0) {
    return std::nullopt;
  }
  std::optional<std::string> content;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::uint64_t>(info.st_size) <= kProfileFileLimit) {
    std::string bytes;
    char buffer[65536];
    bool failed = false;
    // Read to the end, but never more than the limit should the file grow meanwhile.
    while (bytes.size() <= kProfileFileLimit) {
      const ssize_t got = read(fd, buffer, sizeof buffer);
      if (got > 0) {
        bytes.append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0) {
        break;
      } else if (errno != EINTR) {
        failed = true;
        break;
      }
    }
    if (!failed && bytes.size() <= kProfileFileLimit) {
      content = std::move(bytes);
    }
  }
  return content;
}

}  // namespace

std::string ProfileReader::ReadProfileString(const std::string& section, const std::string& key,
                                             const std::string& defaultValue,
                                             const std::string& fileName) {
  if (!fileName.empty()) {
    m_currentProfileFile = fileName;
  }
  std::string fallback = CutToLimit(defaultValue);
  while (!fallback.empty() && IsBlank(fallback.back())) {
    fallback.pop_back();
  }

  const std::optional<std::string> content = ReadProfileFile(m_currentProfileFile);
  if (!content) {
    return fallback;
  }
  std::string_view text = *content;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    text.remove_prefix(3);
  }

  bool inSection = false;
  for (std::size_t pos = 0; pos <= text.size();) {
    const std::string_view line = TrimBlanks(NextLine(text, pos));
    if (line.empty() || line.front() == ';') {
      continue;
    }
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      inSection = close != std::string_view::npos &&
                  EqualsIgnoringCase(TrimBlanks(line.substr(1, close - 1)), TrimBlanks(section));
      continue;
    }
    if (!inSection) {
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      continue;
    }
    if (!EqualsIgnoringCase(TrimBlanks(line.substr(0, equals)), TrimBlanks(key))) {
      continue;
    }
    return CutToLimit(WithoutEnclosingQuotes(TrimBlanks(line.substr(equals + 1))));
  }
  return fallback;
}

std::vector<std::string> ParseExtensions(std::string_view value) {
  std::vector<std::string> extensions;
  if (value.empty()) {
    return extensions;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = value.find(',', start);
    std::string_view part =
        value.substr(start, comma == std::string_view::npos ? value.npos : comma - start);
    while (!part.empty() && part.front() == ' ') {
      part.remove_prefix(1);
    }
    while (!part.empty() && part.back() == ' ') {
      part.remove_suffix(1);
    }
    std::string entry = ".";
    for (char c : part) {
      entry += AsciiLower(c);
    }
    extensions.push_back(std::move(entry));
    if (comma == std::string_view::npos) {
      break;
    }
    start = comma + 1;
  }
  return extensions;
}

std::string OptionsFileFor(const std::string& programFolder, bool installed) {
  std::string beside = programFolder + "options.ini";
  std::error_code error;
  if (!installed || std::filesystem::is_regular_file(beside, error)) {
    return beside;
  }
  return ConfigFolder() + "options.ini";
}

Options ReadOptions(const std::string& optionsFile) {
  Options options;
  options.optionsFilePath = optionsFile;
  options.pageExtensions = ParseExtensions(
      ProfileReader().ReadProfileString("Include", "Extensions", kDefaultExtensions, optionsFile));
  return options;
}

Options ReadOptions() { return ReadOptions(OptionsFileFor(AppFolder(), Installed())); }

}  // namespace tervando
