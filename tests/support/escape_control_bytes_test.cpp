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
       "\\xC2\\x9B2J"},                                         // C1 control CSI in UTF-8
      {"\xC2\xA9 \xC2\x7F \xC2", "\xC2\xA9 \\xC2\\x7F \\xC2"},  // a lone lead byte is no UTF-8
      // Bidi controls turn the reading order of what follows: "exe.gpj" would read "jpg.exe".
      {"a\xE2\x80\xAE"
       "exe.gpj",
       "a\\xE2\\x80\\xAEexe.gpj"},
      {"\xE2\x80\xAA\xE2\x80\xAD\xE2\x81\xA6x\xE2\x81\xA9",
       "\\xE2\\x80\\xAA\\xE2\\x80\\xAD\\xE2\\x81\\xA6x\\xE2\\x81\\xA9"},
      {"a\xE2\x80\xA8"
       "b\xE2\x80\xA9"
       "c",
       "a\\xE2\\x80\\xA8b\\xE2\\x80\\xA9c"},  // line and paragraph separator
      // Their neighbours stay: U+2027, U+202F, U+2065, and the euro sign.
      {"\xE2\x80\xA7\xE2\x80\xAF\xE2\x81\xA5\xE2\x82\xAC",
       "\xE2\x80\xA7\xE2\x80\xAF\xE2\x81\xA5\xE2\x82\xAC"},
      // No UTF-8: a stray byte, an overlong slash, a surrogate, a cut sequence.
      {"bad\xFF.htm \xC0\xAF \xED\xA0\x80 \xE2\x82",
       "bad\\xFF.htm \\xC0\\xAF \\xED\\xA0\\x80 \\xE2\\x82"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeControlBytes(c.text), c.expected) << c.expected;
  }
}

}  // namespace
}  // namespace tervando
