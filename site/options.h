#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tervando {

// The profile reader's buffer holds 32767 characters; a value keeps at most one less.
inline constexpr std::size_t kProfileValueLimit = 32766;
// A larger profile file is no profile file: its keys are not read.
inline constexpr std::size_t kProfileFileLimit = std::size_t{1} << 20;
inline constexpr char kDefaultExtensions[] = "htm,html,shtml,asp";

// Reads keys of profile (INI) files, keeping the last file named to it.
class ProfileReader {
 public:
  // The value of `key` in `section` of a profile (INI) file. A non-empty `fileName` becomes
  // this reader's current profile file, which later calls with an empty name read again.
  // Section and key match without regard to case; the value loses its surrounding blanks and
  // one pair of enclosing quotes. A missing file, section or key gives `defaultValue` without
  // trailing blanks; a key with an empty value gives the empty text. Only a regular file (also
  // behind symbolic links) of at most kProfileFileLimit bytes is read; anything else counts as
  // missing.
  std::string ReadProfileString(const std::string& section, const std::string& key,
                                const std::string& defaultValue, const std::string& fileName);

 private:
  std::string m_currentProfileFile;
};

// Every comma-separated entry, spaces around it removed, lower case, with a leading dot.
std::vector<std::string> ParseExtensions(std::string_view value);

// The options.ini to read: the one beside the program, which an installed copy uses only
// when it exists and otherwise reads from ConfigFolder.
std::string OptionsFileFor(const std::string& programFolder, bool installed);

// What options.ini says, read once at start-up by each program and handed to what needs it.
struct Options {
  std::string optionsFilePath;  // the options.ini read (or missing)
  std::vector<std::string> pageExtensions = ParseExtensions(kDefaultExtensions);
};

// Reads the page extensions from section "Include", key "Extensions" of `optionsFile`; without
// the file, section or key the default list applies.
Options ReadOptions(const std::string& optionsFile);
// The same for the program's own options.ini (OptionsFileFor).
Options ReadOptions();

}  // namespace tervando
