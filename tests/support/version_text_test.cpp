#include "support/version_text.h"

#include <gtest/gtest.h>

namespace tervando {
namespace {

struct VersionCase {
  int flags;
  int revision;
  const char* expected;
};

TEST(VersionText, FormsAndRevisionLetters) {
  const VersionCase cases[] = {
      {1, 202, "2.1.202"},  {0, 202, " (V2.1.202)"}, {256, 202, " (V2.1b)"}, {257, 202, "2.1b"},
      {256, 99, " (V2.1)"}, {257, 99, "2.1"},        {256, 100, " (V2.1a)"}, {257, 149, "2.1a"},
      {257, 150, "2.1b"},   {257, 250, "2.1b"},      {257, 251, "2.1c"},     {257, 349, "2.1c"},
      {257, 350, "2.1d"},   {257, 450, "2.1d"},      {257, 451, "2.1e"},     {2, 202, ""},
      {255, 202, ""},       {258, 202, ""},          {1, 7, "2.1.7"},
  };
  for (const VersionCase& c : cases) {
    EXPECT_EQ(VersionText(c.flags, 2, 1, c.revision), c.expected)
        << "flags " << c.flags << ", revision " << c.revision;
  }
}

TEST(VersionText, ThisProgramsVersion) {
  EXPECT_EQ(VersionText(1), "2.1.202");
  EXPECT_EQ(VersionText(0), " (V2.1.202)");
  EXPECT_EQ(VersionText(256), " (V2.1b)");
  EXPECT_EQ(VersionText(257), "2.1b");
}

}  // namespace
}  // namespace tervando
