#include "tests/reference/masking.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "engine/errors.h"

namespace tervando {
namespace {

struct MaskCase {
  std::string text;
  std::string masked;
};

TEST(HideUnhideJavaInHtml, MasksOperatorsInTableOrderWithoutOverlap) {
  const std::vector<MaskCase> cases = {
      {"", ""},
      {"if (a < b && c >= d)",
       "if (a\x1b\x01"
       "b && c\x1b\x04"
       "d)"},
      {"if (a<b)", "if (a<b)"},
      {"a < < b", "a\x1b\x01< b"},
      {" > <= >= ", "\x1b\x02<=\x1b\x04"},
      {"x <= y", "x\x1b\x03y"},
      {"x => y", "x => y"},
      {" < ", "\x1b\x01"},
      {"  <  ", " \x1b\x01 "},
      {" > < ", " >\x1b\x01"},  // the " < " pass runs first and takes the shared blank
      {"<head> < </head>", "<head>\x1b\x01</head>"},
      {"a\tb < c\n",
       "a\tb\x1b\x01"
       "c\n"},
  };
  for (const MaskCase& c : cases) {
    EXPECT_EQ(HideUnhideJavaInHtml(c.text, kHideMode), c.masked) << c.text;
    EXPECT_EQ(HideUnhideJavaInHtml(c.masked, kUnhideMode), c.text) << c.text;
  }
}

TEST(HideUnhideJavaInHtml, LeavesTheCallersTextAlone) {
  const std::string text = "a < b";
  const std::string masked = HideUnhideJavaInHtml(text, kHideMode);
  EXPECT_EQ(text, "a < b");
  EXPECT_EQ(masked,
            "a\x1b\x01"
            "b");
}

TEST(HideUnhideJavaInHtml, UnmaskTurnsEveryMarkerBackEvenUnpaired) {
  EXPECT_EQ(HideUnhideJavaInHtml("\x1b\x04\x1b\x1b\x02\x1b", kUnhideMode), " >= \x1b > \x1b");
}

TEST(HideUnhideJavaInHtmlDeathTest, UnknownModeEndsTheProgramWithItsMessage) {
  EXPECT_EXIT(HideUnhideJavaInHtml("x", 2), testing::ExitedWithCode(EXIT_FAILURE),
              "^HideUnhideJavaInHtml: Unknown Mode 2\n$");
  EXPECT_EXIT(HideUnhideJavaInHtml("x", -7), testing::ExitedWithCode(EXIT_FAILURE),
              "^HideUnhideJavaInHtml: Unknown Mode -7\n$");
}

struct SplitCase {
  std::string text;
  std::vector<std::string> tags;
  std::vector<std::string> texts;
};

TEST(SplitUnsplitHtmlString, CutsAtEveryLessThanAndJoinsBack) {
  const std::vector<SplitCase> cases = {
      {"plain text > here", {""}, {"plain text > here"}},
      {"<html><head>", {"", "<html>", "<head>"}, {"", "", ""}},
      {"<b><i>", {"", "<b>", "<i>"}, {"", "", ""}},
      {"x<y>z>w", {"", "<y>"}, {"x", "z>w"}},
      {"<!-- <p> -->", {"", "", "<p>"}, {"", "<!-- ", " -->"}},
      {"abc<", {"", ""}, {"abc", "<"}},
      {"<", {"", ""}, {"", "<"}},
      {"<<>", {"", "", "<>"}, {"", "<", ""}},
      {"if (a<b) {x}", {"", ""}, {"if (a", "<b) {x}"}},
      {">", {""}, {">"}},
      {"a<b>c<d>e", {"", "<b>", "<d>"}, {"a", "c", "e"}},
      {std::string("\0<\xff>\0", 5), {"", "<\xff>"}, {std::string(1, '\0'), std::string(1, '\0')}},
  };
  for (const SplitCase& c : cases) {
    std::string text = c.text;
    std::vector<std::string> tags = {"old"};
    std::vector<std::string> texts = {"old", "older"};
    SplitUnsplitHtmlString(text, tags, texts, kSplitMode);
    EXPECT_EQ(tags, c.tags) << c.text;
    EXPECT_EQ(texts, c.texts) << c.text;
    EXPECT_EQ(text, c.text);
    std::string joined = "stale";
    SplitUnsplitHtmlString(joined, tags, texts, kUnsplitMode);
    EXPECT_EQ(joined, c.text);
  }
}

TEST(SplitUnsplitHtmlString, EmptyTextFailsWithIndexOutOfRangeAndKeepsTheArrays) {
  std::string text;
  std::vector<std::string> tags = {"<a>"};
  std::vector<std::string> texts = {"x"};
  try {
    SplitUnsplitHtmlString(text, tags, texts, kSplitMode);
    ADD_FAILURE() << "no failure";
  } catch (const std::system_error& error) {
    EXPECT_EQ(error.code(), make_error_code(EngineErrc::kIndexOutOfRange));
    EXPECT_EQ(error.code().value(), 9);
    EXPECT_STREQ(error.what(), "Index außerhalb des gültigen Bereichs");
  }
  EXPECT_EQ(tags, std::vector<std::string>{"<a>"});
  EXPECT_EQ(texts, std::vector<std::string>{"x"});
}

TEST(SplitUnsplitHtmlString, JoinNeedsATextPartForEveryTagPart) {
  std::string text = "kept";
  std::vector<std::string> tags = {"", "<a>"};
  std::vector<std::string> texts = {"x"};
  EXPECT_THROW(SplitUnsplitHtmlString(text, tags, texts, kUnsplitMode), std::system_error);
  EXPECT_EQ(text, "kept");
  std::vector<std::string> none;
  SplitUnsplitHtmlString(text, none, texts, kUnsplitMode);
  EXPECT_EQ(text, "");
}

TEST(SplitUnsplitHtmlString, YieldsOnceEveryThirtyTwoSegments) {
  int yields = 0;
  const std::function<void()> yield = [&yields] { ++yields; };
  std::string text;
  for (int i = 0; i < 64; ++i) {
    text += "<p>";  // 65 segments: 0, 32 and 64 yield
  }
  std::vector<std::string> tags;
  std::vector<std::string> texts;
  SplitUnsplitHtmlString(text, tags, texts, kSplitMode, yield);
  EXPECT_EQ(yields, 3);
  yields = 0;
  SplitUnsplitHtmlString(text, tags, texts, kUnsplitMode, yield);
  EXPECT_EQ(yields, 3);
}

TEST(SplitUnsplitHtmlStringDeathTest, UnknownModeEndsTheProgramWithItsMessage) {
  std::string text = "x";
  std::vector<std::string> tags;
  std::vector<std::string> texts;
  EXPECT_EXIT(SplitUnsplitHtmlString(text, tags, texts, 3), testing::ExitedWithCode(EXIT_FAILURE),
              "^SplitUnsplitHtmlString: Unknown Mode 3\n$");
  EXPECT_EXIT(SplitUnsplitHtmlString(text, tags, texts, -1), testing::ExitedWithCode(EXIT_FAILURE),
              "^SplitUnsplitHtmlString: Unknown Mode -1\n$");
}

}  // namespace
}  // namespace tervando
