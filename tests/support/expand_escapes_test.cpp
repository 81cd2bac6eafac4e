#include "support/expand_escapes.h"

#include <gtest/gtest.h>

namespace tervando {
namespace {

TEST(ExpandEscapes, Table) {
  const struct {
    std::string input;
    std::string expected;
  } cases[] = {
      {"a\\nb", "a\rb"},
      {"a\\Nb", "a\rb"},
      {"x\\\\y", "x\\y"},
      {"\\Hq\\h", "\"q\""},
      {"a\\zb", "azb"},
      {"end\\", "end"},
      {"C:\\temp", "C:\temp"},
      {"\\l\\L", "\n\n"},
      {"\\t\\T", "\t\t"},
      {"\\\\n", "\\n"},     // the escaped backslash does not escape the n
      {"\\\\\\n", "\\\r"},  // after an escaped character a backslash escapes again
      {"\\n\\n", "\r\r"},
      {"", ""},
      {"\\", ""},
      {"Gr\xC3\xBC\xC3\x9F"
       "e",
       "Gr\xC3\xBC\xC3\x9F"
       "e"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpandEscapes(c.input), c.expected) << "input: " << c.input;
  }
}

}  // namespace
}  // namespace tervando
