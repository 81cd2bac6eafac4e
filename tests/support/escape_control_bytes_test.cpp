#include "support/escape_control_bytes.h"

#include <gtest/gtest.h>

namespace tervando {
namespace {

TEST(EscapeControlBytes, Table) {
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"/site/odd name \xC3\xA4.htm", "/site/odd name \xC3\xA4.htm"},
      {"", ""},
      {"x\r\nFehler bei Datei forged\r\n9: f.htm", "x\\r\\nFehler bei Datei forged\\r\\n9: f.htm"},
      {"a\tb", "a\\tb"},
      {"\x1B[31mred\x1B[0m", "\\x1B[31mred\\x1B[0m"},
      {std::string("a\0b", 3), "a\\x00b"},
      {"\x01\x1F\x7F", "\\x01\\x1F\\x7F"},
      {"C:\\web\\n", "C:\\\\web\\\\n"},  // a backslash never starts a false escape
      {"\xC2\x9B"
       "2J",
       "\\xC2\\x9B2J"},  // C1 control CSI in UTF-8
      {"\xC2\xA9 \xC2\x7F \xC2", "\xC2\xA9 \xC2\\x7F \xC2"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeControlBytes(c.text), c.expected) << c.expected;
  }
}

}  // namespace
}  // namespace tervando
