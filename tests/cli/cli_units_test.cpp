#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_option_table.h"
#include "cli/cli_options.h"
#include "cli/manifest_icons.h"
#include "cli/path_text.h"
#include "cli/unified_diff.h"

namespace tervando {
namespace {

TEST(ManifestIconSources, Table) {
  using Sources = std::vector<std::string>;
  const struct {
    std::string json;
    std::optional<Sources> expected;
  } cases[] = {
      {R"({"name": "A", "icons": [{"src": "icon-192.png", "sizes": "192x192"}, {"src": "b"}]})",
       Sources{"icon-192.png", "b"}},
      {" {\"icons\":[{\"sizes\":1.5e3},7,{\"src\":null}]}\n", Sources{"", "", ""}},
      {R"({"icons": [{"src": "\u00e4\ud83d\ude00\/x"}], "other": {"icons": [{"src": "no"}]}})",
       Sources{"\xc3\xa4\xf0\x9f\x98\x80/x"}},
      {R"({"name": [true, false, null, -0, {}]})", Sources{}},
      {"", std::nullopt},
      {"[]", std::nullopt},
      {R"({"icons": []} x)", std::nullopt},
      {R"({"icons": [{"src": "a"},]})", std::nullopt},
      {R"({'icons': []})", std::nullopt},
      {R"({"a": 01})", std::nullopt},
      {"{\"a\": \"tab\there\"}", std::nullopt},
      {R"({"a": "\x"})", std::nullopt},
      {"{\"a\":" + std::string(300, '[') + std::string(300, ']') + "}", std::nullopt},
      {"{\"a\":" + std::string(200, '[') + std::string(200, ']') + "}", Sources{}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadManifestIconSources(c.json), c.expected) << c.json;
  }
}

TEST(UnifiedDiff, Table) {
  const struct {
    std::string before;
    std::string after;
    std::string expected;
  } cases[] = {
      {"same\n", "same\n", ""},
      {"a\n", "b\n", "--- f\t\n+++ f\t\n@@ -1 +1 @@\n-a\n+b\n"},
      {"1\n2\n3\n4\n5\nx\n6\n7\n8\n9\n", "1\n2\n3\n4\n5\ny\n6\n7\n8\n9\n",
       "--- f\t\n+++ f\t\n@@ -3,7 +3,7 @@\n 3\n 4\n 5\n-x\n+y\n 6\n 7\n 8\n"},
      {"a\nb", "a\nc",
       "--- f\t\n+++ f\t\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n"
       "+c\n\\ No newline at end of file\n"},
      {"", "a\n", "--- f\t\n+++ f\t\n@@ -0,0 +1 @@\n+a\n"},
      {"a\n", "a\nb\n", "--- f\t\n+++ f\t\n@@ -1 +1,2 @@\n a\n+b\n"},
      {"a\nb\n", "a\n", "--- f\t\n+++ f\t\n@@ -1,2 +1 @@\n a\n-b\n"},
      {"h\r\nx\r\n", "h\r\ny\r\n", "--- f\t\n+++ f\t\n@@ -1,2 +1,2 @@\n h\r\n-x\r\n+y\r\n"},
      {"x\nx\n", "x\nx\nx\n", "--- f\t\n+++ f\t\n@@ -1,2 +1,3 @@\n x\n x\n+x\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnifiedDiff("f", c.before, c.after), c.expected) << c.before << "|" << c.after;
  }
}

TEST(UnifiedDiff, NamesWithBlanksEndAtATabOddOnesAreQuoted) {
  auto header = [](const std::string& label) {
    const std::string diff = UnifiedDiff(label, "a\n", "b\n");
    return diff.substr(0, diff.find("@@"));
  };
  EXPECT_EQ(header("/s/odd name.htm"), "--- /s/odd name.htm\t\n+++ /s/odd name.htm\t\n");
  EXPECT_EQ(header("q\"b\\c\nd\x01"),
            "--- \"q\\\"b\\\\c\\nd\\001\"\t\n+++ \"q\\\"b\\\\c\\nd\\001\"\t\n");
}

TEST(PathText, NothingMisleadsATerminalOrBreaksJson) {
  const struct {
    std::string name;
    std::string terminal;
    std::string json;
    bool exact;
  } cases[] = {
      {"/s/odd name \xC3\xA4.htm", "/s/odd name \xC3\xA4.htm", "\"/s/odd name \xC3\xA4.htm\"",
       true},
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\"", true},
      // A bidi override and a line separator: escaped, and still exact in JSON.
      {"\xE2\x80\xAEgpj.exe\xE2\x80\xA8", "\\xE2\\x80\\xAEgpj.exe\\xE2\\x80\\xA8",
       "\"\\u202egpj.exe\\u2028\"", true},
      {"x\x1b[31m\n", "x\\x1B[31m\\n", "\"x\\u001b[31m\\u000a\"", true},
      {"q\"b\\s\x7f", "q\"b\\\\s\\x7F", "\"q\\\"b\\\\s\\u007f\"", true},
      {"\xC2\x9B", "\\xC2\\x9B", "\"\\u009b\"", true},  // C1 control, as UTF-8
      {"\xFF.htm", "\\xFF.htm", "\"\\ufffd.htm\"", false},
      {"\xC0\xAF", "\\xC0\\xAF", "\"\\ufffd\\ufffd\"", false},                  // overlong
      {"\xED\xA0\x80", "\\xED\\xA0\\x80", "\"\\ufffd\\ufffd\\ufffd\"", false},  // surrogate
      {"a\xE2\x82", "a\\xE2\\x82", "\"a\\ufffd\\ufffd\"", false},               // cut short
  };
  for (const auto& c : cases) {
    bool exact = !c.exact;
    EXPECT_EQ(TerminalLine(c.name), c.terminal) << c.json;
    EXPECT_EQ(JsonString(c.name, &exact), c.json);
    EXPECT_EQ(exact, c.exact) << c.json;
  }
  EXPECT_EQ(HexBytes(std::string("\x00/\xff", 3)), "002fff");
}

TEST(ParseCliOptions, FlagsValuesAndTheWebRoot) {
  const CliParse parse = ParseCliOptions({"--disable-foreign-icons", "--icon=300", "--overwrite",
                                          "--stop-on-error", "-n", "--diff", "--extensions",
                                          " .htm,php", "--log", "x.log", "-q", "/site"});
  ASSERT_EQ(parse.error, "");
  const CliOptions& o = parse.options;
  EXPECT_TRUE(o.disableForeignIcons && o.overwrite && o.stopOnError && o.dryRun && o.diff &&
              o.quiet);
  EXPECT_FALSE(o.list || o.noLog || o.help || o.version);
  EXPECT_EQ(o.icon, 300);
  EXPECT_EQ(o.extensions, " htm,php");  // the dot is optional
  EXPECT_EQ(o.logFile, "x.log");
  EXPECT_EQ(o.webRoot, "/site");
}

TEST(ParseCliOptions, DoubleDashEndsOptions) {
  const CliParse parse = ParseCliOptions({"--", "-site"});
  EXPECT_EQ(parse.error, "");
  EXPECT_EQ(parse.options.webRoot, "-site");
}

TEST(ParseCliOptions, Errors) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"a", "b"},
      {"--icon", "0", "/s"},
      {"--icon", "512", "/s"},
      {"--icon", "", "/s"},
      {"--icon"},
      {"--remove=yes", "/s"},
      {"--unknown", "/s"},
      {"--icon", "1", "--icon-file", "f.ico", "/s"},
      {"--log", "a", "--no-log", "/s"},
      {"--log=", "/s"},
      {"-0", "--diff", "/s"},
      {"--check", "--dry-run", "/s"},
      {"--check", "--icon", "3", "/s"},
      {"--check", "--format", "xml", "/s"},
      {"--format=json", "/s"},
  };
  for (const auto& arguments : bad) {
    EXPECT_NE(ParseCliOptions(arguments).error, "") << arguments.size();
  }
  // Options that contradict each other, named as given; the same value twice is no conflict.
  const std::pair<std::vector<std::string>, std::string> conflicts[] = {
      {{"--icon", "3", "--icon", "5", "/s"},
       "--icon \"3\" und --icon \"5\" widersprechen einander."},
      {{"--set", "classic", "--set=modern", "/s"},
       "--set \"classic\" und --set \"modern\" widersprechen einander."},
      {{"--remove", "--icon", "3", "/s"}, "--remove und --icon schließen einander aus."},
      {{"--icon-file", "a.png", "-r", "/s"}, "--icon-file und --remove schließen einander aus."},
      {{"--list", "--diff", "/s"}, "--list und --diff schließen einander aus."},
      {{"--list", "--check", "/s"}, "--check schließt --list aus."},
      {{"--icon", "3", "--icon", "03", "--set", "classic", "--set", "klassisch", "/s"}, ""},
      {{"--extensions", "htm", "--extensions", ".htm", "/s"}, ""},
  };
  for (const auto& [arguments, error] : conflicts) {
    EXPECT_EQ(ParseCliOptions(arguments).error, error);
  }
  EXPECT_EQ(ParseCliOptions({"--version"}).error, "");
  EXPECT_EQ(ParseCliOptions({"--help"}).error, "");
}

// Each option of the table in the mode it does not belong to, what the manual says an option
// excludes, and --help within 80 columns.
TEST(CliOptionTable, SectionsAreEnforcedAndHelpFitsEightyColumns) {
  for (const CliOptionSpec& option : CliOptionTable()) {
    const std::string name = "--" + std::string(option.name);
    std::vector<std::string> call = {name};
    if (!option.argument.empty()) {
      call.push_back(option.name == "icon" ? "3" : option.name == "format" ? "json" : "x");
    }
    call.push_back("/s");
    if (option.section == CliSection::kRun) {
      call.insert(call.begin(), "--check");
      EXPECT_EQ(ParseCliOptions(call).error, "--check schließt " + name + " aus.");
    } else if (option.section == CliSection::kCheck) {
      EXPECT_EQ(ParseCliOptions(call).error, name + " gilt nur mit --check.");
    }
  }
  // The manual names what each option excludes, at both options.
  for (const char* sentence :
       {"\\-\\-icon, \\-\\-icon\\-file.", "\\-\\-remove, \\-\\-icon\\-file."}) {
    EXPECT_NE(CliOptionsManual().find(std::string("Nicht zusammen mit ") + sentence),
              std::string::npos);
  }
  std::istringstream help(CliUsage());
  for (std::string line; std::getline(help, line);) {
    const auto columns = std::count_if(line.begin(), line.end(), [](char c) {
      return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    EXPECT_LE(columns, 80) << line;
  }
}

}  // namespace
}  // namespace tervando
