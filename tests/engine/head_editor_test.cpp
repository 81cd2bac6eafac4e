#include "engine/head_editor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "engine/errors.h"
#include "tests/reference/literal_head_editor.h"

namespace tervando {
namespace {

const std::string kPrefix = BuildFaviconLinkPrefix();
constexpr int kRootDepth = 2;  // the web root /site/
const std::string kAtRoot = R"(<link rel="SHORTCUT ICON" href="./favicon.ico">)";
const std::string kOneDown = R"(<link rel="SHORTCUT ICON" href="../favicon.ico">)";
const std::string kTwoDown = R"(<link rel="SHORTCUT ICON" href="../../favicon.ico">)";
const std::string kAbove = R"(<link rel="SHORTCUT ICON" href="favicon.ico">)";

TEST(BuildFaviconLinkPrefix, IsTheThirtyOneCharacterTagStart) {
  EXPECT_EQ(kPrefix, "<link rel=\"SHORTCUT ICON\" href=");
  EXPECT_EQ(kPrefix.size(), 31u);
}

struct EditCase {
  const char* name;
  std::string page;
  bool remove;
  std::string text;
  std::string expected;
};

TEST(SetUnsetFaviconInHtml, EditsOnlyTheOneLinkTag) {
  const std::string oldLink =
      R"(<LINK rel="shortcut icon" href="/favicon.ico" type="image/x-icon">)";
  const std::vector<EditCase> cases = {
      {"root page insert", "/site/index.htm", false, "<html><head><title>T</title></head></html>",
       "<html><head>" + kAtRoot + "<title>T</title></head></html>"},
      {"two levels down", "/site/a/b/page.html", false, "<head></head>",
       "<head>" + kTwoDown + "</head>"},
      {"one level down", "/site/a/page.html", false, "<head></head>",
       "<head>" + kOneDown + "</head>"},
      {"page above the root", "/index.htm", false, "<head></head>", "<head>" + kAbove + "</head>"},
      {"right reference stays", "/site/index.htm", false, "<head>" + kAtRoot + "</head>",
       "<head>" + kAtRoot + "</head>"},
      {"stale depth refreshed", "/site/index.htm", false, "<head>" + kTwoDown + "</head>",
       "<head>" + kAtRoot + "</head>"},
      {"head tags in any case", "/site/i.htm", false, "<HEAD>\n</Head>",
       "<HEAD>" + kAtRoot + "\n</Head>"},
      {"head tag with attribute", "/site/i.htm", false, "<head profile=x></head>",
       "<head profile=x></head>"},
      {"head tag with blank", "/site/i.htm", false, "<head ></head>", "<head ></head>"},
      {"no head end tag", "/site/i.htm", false, "<head><title>", "<head><title>"},
      {"head end before head", "/site/i.htm", false, "</head><head>", "</head><head>"},
      {"old reference replaced", "/site/i.htm", false, "<head>\n" + oldLink + "\n</head>",
       "<head>\n" + kAtRoot + "\n</head>"},
      {"old reference removed", "/site/i.htm", true, "<head>\n" + oldLink + "\n</head>",
       "<head>\n\n</head>"},
      {"other attribute order not found", "/site/i.htm", false,
       R"(<head><link href="/favicon.ico" rel="shortcut icon"></head>)",
       "<head>" + kAtRoot + R"(<link href="/favicon.ico" rel="shortcut icon"></head>)"},
      {"single quotes not found", "/site/i.htm", true,
       "<head><link rel='SHORTCUT ICON' href='x'></head>",
       "<head><link rel='SHORTCUT ICON' href='x'></head>"},
      {"rel icon alone not found", "/site/i.htm", true,
       R"(<head><link rel="icon" href="x"></head>)", R"(<head><link rel="icon" href="x"></head>)"},
      {"two blanks not found", "/site/i.htm", false,
       R"(<head><link rel="SHORTCUT ICON"  href="x"></head>)",
       "<head>" + kAtRoot + R"(<link rel="SHORTCUT ICON"  href="x"></head>)"},
      {"only the first of two replaced", "/site/i.htm", false,
       "<head>" + kTwoDown + kOneDown + "</head>", "<head>" + kAtRoot + kOneDown + "</head>"},
      {"only the first of two removed", "/site/i.htm", true,
       "<head>" + kTwoDown + kOneDown + "</head>", "<head>" + kOneDown + "</head>"},
      {"first reference in body: insert", "/site/i.htm", false, "<head></head><body>" + kAtRoot,
       "<head></head><body>" + kAtRoot},
      {"first reference in body: remove", "/site/i.htm", true, "<head></head><body>" + kAtRoot,
       "<head></head><body>" + kAtRoot},
      {"reference before head replaced", "/site/i.htm", false, kTwoDown + "<head></head>",
       kAtRoot + "<head></head>"},
      {"reference before head removed", "/site/i.htm", true, kTwoDown + "<head></head>",
       "<head></head>"},
      {"nothing to remove", "/site/i.htm", true, "<head></head>", "<head></head>"},
      {"script with blanks", "/site/i.htm", false,
       "<head><script>if (a < b && c >= d) x = a > b;</script></head>",
       "<head>" + kAtRoot + "<script>if (a < b && c >= d) x = a > b;</script></head>"},
      {"script without blanks", "/site/i.htm", false, "<head><script>if (a<b) x=1;</script></head>",
       "<head>" + kAtRoot + "<script>if (a<b) x=1;</script></head>"},
      {"utf-8 and other bytes", "/site/i.htm", false,
       "<head><title>Grüße \xe2\x82\xac \xff\xfe</title></head>\r\n",
       "<head>" + kAtRoot + "<title>Grüße \xe2\x82\xac \xff\xfe</title></head>\r\n"},
      {"masked blank before head end", "/site/i.htm", false, "<head></head > <body>",
       "<head></head > <body>"},
      {"operator inside a tag before the reference", "/site/i.htm", false,
       R"(<head><meta content="a > b">)" + kTwoDown + "</head>",
       R"(<head><meta content="a > b">)" + kAtRoot + "</head>"},
      {"operator inside the reference", "/site/i.htm", true,
       R"(<head><link rel="SHORTCUT ICON" href="x" title="a > b"></head>)", "<head></head>"},
      {"page without any tag", "/site/i.htm", false, "text only", "text only"},
      {"UTF-16 code units that spell a head", "/site/i.htm", false, "\xFF\xFE<head></head>",
       "\xFF\xFE<head></head>"},
      {"UTF-16 BE with a reference", "/site/i.htm", true, "\xFE\xFF<head>" + kTwoDown + "</head>",
       "\xFE\xFF<head>" + kTwoDown + "</head>"},
      {"UTF-16 without a mark", "/site/i.htm", false, std::string("<\0h\0<head></head>", 17),
       std::string("<\0h\0<head></head>", 17)},
  };
  for (const EditCase& c : cases) {
    EXPECT_EQ(SetUnsetFaviconInHtml(c.text, c.page, c.remove, kPrefix, kRootDepth), c.expected)
        << c.name;
  }
}

TEST(SetUnsetFaviconInHtml, KeepsEscapePairsThePageAlreadyHeld) {
  const std::vector<EditCase> cases = {
      {"pairs elsewhere", "/site/i.htm", false, "\x1b\x01<head>\x1b\x04</head>\x1b\x02\x1b\x03",
       "\x1b\x01<head>" + kAtRoot + "\x1b\x04</head>\x1b\x02\x1b\x03"},
      {"removed tag between escape and 1", "/site/i.htm", true,
       "<head>\x1b" + kAtRoot + "\x01</head>", "<head>\x1b\x01</head>"},
      {"pair next to an operator", "/site/i.htm", false, "<head>\x1b\x01 < </head>",
       "<head>" + kAtRoot + "\x1b\x01 < </head>"},
  };
  for (const EditCase& c : cases) {
    EXPECT_EQ(SetUnsetFaviconInHtml(c.text, c.page, c.remove, kPrefix, kRootDepth), c.expected)
        << c.name;
  }
}

TEST(SetUnsetFaviconInHtml, EmptyPageFailsWithIndexOutOfRange) {
  try {
    SetUnsetFaviconInHtml("", "/site/i.htm", false, kPrefix, kRootDepth);
    ADD_FAILURE() << "no failure";
  } catch (const std::system_error& error) {
    EXPECT_EQ(error.code(), make_error_code(EngineErrc::kIndexOutOfRange));
  }
}

// Random pages built from the pieces that matter, against the step-by-step edit.
TEST(SetUnsetFaviconInHtml, AgreesWithTheStepByStepEdit) {
  const std::vector<std::string> pieces = {" ",
                                           "<",
                                           ">",
                                           "=",
                                           " < ",
                                           " > ",
                                           " <= ",
                                           " >= ",
                                           "<head>",
                                           "</head>",
                                           "<HEAD>",
                                           "</Head>",
                                           kPrefix,
                                           "<LINK REL=\"shortcut icon\" href=",
                                           "\"./favicon.ico\">",
                                           "a",
                                           "\x1b",
                                           "\x01",
                                           "\x03",
                                           "<head >",
                                           "<p>",
                                           R"(<link rel="SHORTCUT ICON" href="x" title="a > b">)"};
  const std::vector<std::string> prefixes = {kPrefix, "", "<", "head", " > ", "</", "< ", "="};
  std::mt19937 random(20261207);
  int changed = 0;
  for (int round = 0; round < 100000; ++round) {
    std::string text;
    for (int n = static_cast<int>(random() % 14) + 1; n > 0; --n) {
      text += pieces[random() % pieces.size()];
    }
    std::string page = "/site/";
    for (int n = static_cast<int>(random() % 4); n > 0; --n) {
      page += "d/";
    }
    page += "p.htm";
    const bool remove = random() % 2 == 0;
    const int depth = static_cast<int>(random() % 5);
    const std::string& prefix = round % 4 == 0 ? prefixes[random() % prefixes.size()] : kPrefix;
    const std::string expected = literal::SetUnsetFaviconInHtml(text, page, remove, prefix, depth);
    ASSERT_EQ(SetUnsetFaviconInHtml(text, page, remove, prefix, depth), expected)
        << "text: " << text << " prefix: " << prefix << " remove: " << remove;
    changed += expected != text;
  }
  EXPECT_GT(changed, 5000);  // the pages exercise the edit, not only the unchanged path
}

// Long pages with the tags at every offset around the 64-byte blocks the search works in.
TEST(SetUnsetFaviconInHtml, AgreesWithTheStepByStepEditOnLongPages) {
  const std::string filler = "<p>Text mit <b>Tags</b> und a < b.</p>\n";
  std::string body;
  while (body.size() < 3000) {
    body += filler;
  }
  for (std::size_t shift = 0; shift < 140; ++shift) {
    const std::string pad(shift, 'x');
    const std::vector<std::string> pages = {
        pad + "<head>" + body + "</head>" + body,
        pad + "<HEAD>" + pad + kTwoDown + body + "</head>" + body,
        pad + "<head>" + body + "</head>" + pad + kOneDown + body,
        body + pad + "<head></head>" + pad + kOneDown,
        pad + "<head>" + body + "</head>" + pad + "<link rel=\"shortcut icon\" href=",
    };
    for (const std::string& page : pages) {
      for (const bool remove : {false, true}) {
        ASSERT_EQ(SetUnsetFaviconInHtml(page, "/site/i.htm", remove, kPrefix, kRootDepth),
                  literal::SetUnsetFaviconInHtml(page, "/site/i.htm", remove, kPrefix, kRootDepth))
            << "shift " << shift << " remove " << remove;
      }
    }
  }
}

TEST(FindInStringArray, FindsTheFirstMatchOrMinusOne) {
  const std::vector<std::string> items = {"", "<HEAD>", "<head>", "<body class=head>", "x"};
  EXPECT_EQ(FindInStringArray("<head>", items, false, true), 1);
  EXPECT_EQ(FindInStringArray("<head>", items, true, true), 2);
  EXPECT_EQ(FindInStringArray("HEAD", items, false, false), 1);
  EXPECT_EQ(FindInStringArray("head>", items, true, false), 2);
  EXPECT_EQ(FindInStringArray("class=HEAD", items, false, false), 3);
  EXPECT_EQ(FindInStringArray("<title>", items, false, false), -1);
  EXPECT_EQ(FindInStringArray("<head", items, false, true), -1);
  EXPECT_EQ(FindInStringArray("", items, false, false), 0);
  EXPECT_EQ(FindInStringArray("x", {}, false, false), -1);
}

TEST(CountOccurrences, CountsOverlappingPositions) {
  struct Case {
    std::string needle;
    std::string haystack;
    int mode;
    int count;
  };
  const std::vector<Case> cases = {
      {"/", "/site/", 0, 2},  {"/", "/site/a/b/page.html", 0, 4},
      {"aa", "aaa", 0, 2},    {"", "abc", 0, 0},
      {"abcd", "abc", 0, 0},  {"A", "aAa", 0, 1},
      {"A", "aAa", 1, 3},     {"/", "", 0, 0},
      {"ab", "ababab", 0, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountOccurrences(c.needle, c.haystack, c.mode), c.count)
        << c.needle << " in " << c.haystack;
  }
}

}  // namespace
}  // namespace tervando
