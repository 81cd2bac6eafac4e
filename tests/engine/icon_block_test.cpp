#include "engine/icon_block.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/head_editor.h"
#include "tests/reference/literal_head_editor.h"

namespace tervando {
namespace {

const std::string kPrefix = BuildFaviconLinkPrefix();
constexpr int kRootDepth = 2;  // the web root /site/
const std::string kRootPage = "/site/index.htm";
const std::string kDeepPage = "/site/a/b/p.html";

const IconBlockLinks kModern = LinksOfSet(FaviconSet::kModern, true);
const std::string kModernTags =
    R"(<link rel="icon" type="image/svg+xml" href="./icon.svg" data-tervando>)"
    R"(<link rel="apple-touch-icon" href="./apple-touch-icon.png" data-tervando>)"
    R"(<link rel="manifest" href="./manifest.webmanifest" data-tervando>)";
const std::string kModernBlock =
    R"(<link rel="SHORTCUT ICON" href="./favicon.ico" sizes="32x32">)" + kModernTags;
// The block as earlier versions wrote it: browsers then preferred favicon.ico to the drawing.
const std::string kOldModernBlock =
    R"(<link rel="SHORTCUT ICON" href="./favicon.ico">)" + kModernTags;
// A page whose charset declaration ends near the end of the bytes the prescan reads.
const std::string kCharsetMeta =
    R"(<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">)";
const std::string kLateCharsetHead =
    "<head>\n<title>" + std::string(800, 'x') + "</title>" + kCharsetMeta;

std::string Edited(const std::string& page, const std::string& path,
                   const IconBlockOptions& options) {
  return SetUnsetIconBlockInHtml(page, path, options, kPrefix, kRootDepth);
}

IconBlockOptions Insert(IconBlockLinks links, ForeignIconLinks foreign = ForeignIconLinks::kKeep) {
  return {false, links, foreign};
}

const IconBlockOptions kRemove{true, {}, ForeignIconLinks::kSwitchOn};

// Pages of the kinds a site holds; `own` marks those without a reference of their own, which an
// insert and a remove must give back byte for byte.
struct CorpusPage {
  const char* name;
  std::string text;
  bool own;
  bool wide = false;
};

std::vector<CorpusPage> Corpus() {
  return {
      {"plain", "<html><head><title>T</title></head><body>x</body></html>", true},
      {"crlf, upper case", "<HTML>\r\n<HEAD>\r\n<TITLE>T</TITLE>\r\n</HEAD>\r\n</HTML>\r\n", true},
      {"foreign icons",
       "<head>\n<link rel=\"icon\" href=\"/i.png\">\n<LINK REL='Shortcut Icon' HREF=x.ico>\n"
       "<link rel=apple-touch-icon-precomposed href=a.png><link rel=\"mask-icon\" href=m.svg>\n"
       "<link rel=\"manifest\" href=\"/site.webmanifest\"/><link rel=\"stylesheet\" href=s.css>\n"
       "</head><body><link rel=icon href=body.ico></body>",
       true},
      {"scripts and comments",
       "<head><script>if (a < b && c >= d) document.write('<link rel=\"icon\" href=\"s.ico\">');"
       "</script><!-- <link rel=\"icon\" href=\"old.ico\"> --><style>a{}</style>"
       "<link rel=\"icon\" title=\"a > b\" href=\"t.ico\"></head>",
       true},
      {"old reference", "<head>\n<link rel=\"shortcut icon\" href=\"/favicon.ico\">\n</head>",
       false},
      {"our reference, a level off",
       "<head><link rel=\"SHORTCUT ICON\" href=\"../favicon.ico\"><link rel=icon href=x></head>",
       false},
      {"utf-8 and odd bytes", "<head><title>Grüße \xe2\x82\xac\xff</title>\x1b\x01</head>", true},
      {"no head", "<p>fragment <link rel=icon href=x></p>", true},
      {"head with attribute", "<head lang=de><link rel=icon href=x></head>", true},
      {"reference in the body", "<head><link rel=icon href=x></head>" + kPrefix + "\"y\">", true},
      // The old reference takes a comment's end with it: the link after it then lies in a comment.
      {"reference that ends a comment", "<!--" + kPrefix + "--><head><link rel=icon href=x></head>",
       false},
      {"old modern block", "<head>" + kOldModernBlock + "<title>T</title></head>", false},
      {"charset near the prescan's end", kLateCharsetHead + "\n</head><p>\xe4</p>", true},
      {"old block before a late charset",
       "<head>" + kOldModernBlock + kLateCharsetHead.substr(6) + "</head>", false},
      {"charset in a comment, then a late one",
       "<head><!-- <meta charset=utf-8> -->" + kLateCharsetHead.substr(6) + "</head>", true},
      // Code units that happen to spell tags: never edited (`wide`).
      {"utf-16 with its mark", "\xFF\xFE<head><link data-tervando-off-rel=icon href=x></head>",
       true, true},
  };
}

TEST(BuildIconBlock, ClassicIsTheReferenceAndModernFollowsIt) {
  struct Case {
    IconBlockLinks links;
    int levels;
    std::string block;
  };
  const std::vector<Case> cases = {
      {{}, 0, BuildFaviconReference(kPrefix, 0)},
      {{}, 2, BuildFaviconReference(kPrefix, 2)},
      {kModern, 0, kModernBlock},
      {LinksOfSet(FaviconSet::kModern, false), 1,
       R"(<link rel="SHORTCUT ICON" href="../favicon.ico">)"
       R"(<link rel="apple-touch-icon" href="../apple-touch-icon.png" data-tervando>)"
       R"(<link rel="manifest" href="../manifest.webmanifest" data-tervando>)"},
      {{true, false, false},
       -1,
       R"(<link rel="SHORTCUT ICON" href="favicon.ico" sizes="32x32">)"
       R"(<link rel="icon" type="image/svg+xml" href="icon.svg" data-tervando>)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildIconBlock(kPrefix, c.links, c.levels), c.block) << c.levels;
  }
  EXPECT_EQ(LinksOfSet(FaviconSet::kClassic, true), IconBlockLinks{});
}

// The classic set without the switch is the head editor, byte for byte, on pages of every kind.
TEST(FindIconPageEdit, ClassicSetIsTheHeadEditor) {
  std::vector<std::string> pages;
  for (const CorpusPage& page : Corpus()) {
    // Tags of ours are the block's to take away; the head editor knows nothing of them.
    if (page.wide || page.text.find(kBlockMarker) == std::string::npos) {
      pages.push_back(page.text);
    }
  }
  const std::vector<std::string> pieces = {" ",
                                           "<",
                                           ">",
                                           " < ",
                                           " >= ",
                                           "<head>",
                                           "</head>",
                                           "<HEAD>",
                                           kPrefix,
                                           "\"./favicon.ico\">",
                                           "<link rel=icon href=x>",
                                           "\x1b",
                                           "\x01",
                                           "<!--",
                                           "-->",
                                           "<script>",
                                           "</script>",
                                           "<head >"};
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int n = static_cast<int>(random() % 12) + 1; n > 0; --n) {
      text += pieces[random() % pieces.size()];
    }
    pages.push_back(text);
  }
  for (const std::string& page : pages) {
    for (const std::string& path : {kRootPage, kDeepPage}) {
      for (const bool remove : {false, true}) {
        const IconBlockOptions options{remove, {}, ForeignIconLinks::kKeep};
        // The programs never edit a wide text, which the literal routine knows nothing of.
        ASSERT_EQ(Edited(page, path, options),
                  IsWideText(page)
                      ? page
                      : literal::SetUnsetFaviconInHtml(page, path, remove, kPrefix, kRootDepth))
            << page << " remove " << remove;
      }
    }
  }
}

// Every road between the sets and the switch ends at exact bytes, and a second run changes
// nothing.
TEST(FindIconPageEdit, RoundTripsEndAtTheExactBytes) {
  const IconBlockLinks noSvg = LinksOfSet(FaviconSet::kModern, false);
  const std::vector<IconBlockOptions> inserts = {
      Insert({}),
      Insert(kModern),
      Insert(noSvg),
      Insert({}, ForeignIconLinks::kSwitchOff),
      Insert(kModern, ForeignIconLinks::kSwitchOff),
  };
  for (const CorpusPage& page : Corpus()) {
    for (const std::string& path : {kRootPage, kDeepPage}) {
      const std::string classic = Edited(page.text, path, Insert({}));
      // What removing leaves behind is what it always left: the head editor's result.
      const std::string removed =
          FindFaviconEdit(classic, path, true, kPrefix, kRootDepth).AppliedTo(classic);
      if (page.own) {
        EXPECT_EQ(removed, page.text) << page.name;
      }
      for (const IconBlockOptions& insert : inserts) {
        const std::string once = Edited(page.text, path, insert);
        if (page.wide) {
          EXPECT_EQ(once, page.text) << page.name;
          EXPECT_EQ(Edited(page.text, path, kRemove), page.text) << page.name;
        }
        EXPECT_EQ(Edited(once, path, insert), once) << page.name;
        EXPECT_EQ(Edited(once, path, kRemove), removed) << page.name;
        EXPECT_EQ(Edited(once, path, {false, {}, ForeignIconLinks::kSwitchOn}), classic)
            << page.name;
        for (const IconBlockOptions& other : inserts) {
          // Switching sets moves between the exact forms; a switched-off link stays off.
          if (other.foreign == ForeignIconLinks::kSwitchOff ||
              insert.foreign != ForeignIconLinks::kSwitchOff) {
            EXPECT_EQ(Edited(once, path, other), Edited(page.text, path, other)) << page.name;
          }
        }
      }
    }
  }
}

TEST(FindIconPageEdit, WritesTheBlockWhereTheReferenceGoes) {
  struct Case {
    const char* name;
    std::string page;
    IconBlockOptions options;
    std::string expected;
    int foreignLinks;
  };
  const std::string svg =
      R"(<link rel="icon" type="image/svg+xml" href="./icon.svg" data-tervando>)";
  const std::string off = "data-tervando-off-";
  const std::vector<Case> cases = {
      {"after the head tag", "<head>\n</head>", Insert(kModern),
       "<head>" + kModernBlock + "\n</head>", 0},
      {"in place of the old reference", "<head>\n<link rel=\"shortcut icon\" href=/f.ico>\n</head>",
       Insert(kModern), "<head>\n" + kModernBlock + "\n</head>", 0},
      {"a block spread by a formatter is one block",
       "<head>\n  <link rel=\"SHORTCUT ICON\" href=\"../favicon.ico\">\n  " + svg + "\n  " +
           "<LINK data-tervando rel=manifest href=x>\n</head>",
       Insert({}), "<head>\n  <link rel=\"SHORTCUT ICON\" href=\"./favicon.ico\">\n</head>", 0},
      {"stray marked tags go, the page's own stay",
       "<head>" + svg + "<link rel=icon href=mine.svg><title>T</title>" + svg + "</head>" + svg,
       Insert(kModern),
       "<head>" + kModernBlock + "<link rel=icon href=mine.svg><title>T</title></head>" + svg, 0},
      {"foreign links switched off, quoting and case kept",
       "<head><LINK REL='Shortcut Icon' HREF=x.ico><link rel=\"stylesheet apple-touch-icon\" "
       "rel=icon href=a.png></head>",
       Insert({}, ForeignIconLinks::kSwitchOff),
       "<head>" + BuildFaviconReference(kPrefix, 0) + "<LINK " + off +
           "REL='Shortcut Icon' "
           "HREF=x.ico><link " +
           off + "rel=\"stylesheet apple-touch-icon\" " + off + "rel=icon href=a.png></head>",
       2},
      {"scripts, comments, operators, the body and other links stay",
       "<head><script>w('<link rel=\"icon\" href=s>')</script><!-- <link rel=icon href=c> -->"
       "<link rel=\"icon\" title=\"a > b\" href=t><link rel=stylesheet href=s><link href=i rel>"
       "</head><link rel=icon href=b>",
       Insert({}, ForeignIconLinks::kSwitchOff),
       "<head>" + BuildFaviconReference(kPrefix, 0) +
           "<script>w('<link rel=\"icon\" href=s>')</script><!-- <link rel=icon href=c> -->"
           "<link rel=\"icon\" title=\"a > b\" href=t><link rel=stylesheet href=s><link href=i rel>"
           "</head><link rel=icon href=b>",
       0},
      {"the tags follow a charset declaration they would push out of reach",
       kLateCharsetHead + "</head>", Insert(kModern),
       "<head>" + BuildBlockReference(kPrefix, kModern, 0) + kLateCharsetHead.substr(6) +
           kModernTags + "</head>",
       0},
      {"and are moved there from the old block",
       "<head>" + kOldModernBlock + kLateCharsetHead.substr(6) + "</head>", Insert(kModern),
       "<head>" + BuildBlockReference(kPrefix, kModern, 0) + kLateCharsetHead.substr(6) +
           kModernTags + "</head>",
       0},
      {"a declaration that stays in reach keeps the block whole",
       "<head><meta charset=utf-8></head>", Insert(kModern),
       "<head>" + kModernBlock + "<meta charset=utf-8></head>", 0},
      {"no head: nothing switched off", "<link rel=icon href=x>",
       Insert({}, ForeignIconLinks::kSwitchOff), "<link rel=icon href=x>", 0},
      {"switched back on anywhere, also without a head", "<p><link " + off + "rel=icon href=x>",
       kRemove, "<p><link rel=icon href=x>", 1},
  };
  for (const Case& c : cases) {
    const IconPageEdit edit = FindIconPageEdit(c.page, kRootPage, c.options, kPrefix, kRootDepth);
    EXPECT_EQ(edit.AppliedTo(c.page), c.expected) << c.name;
    EXPECT_EQ(edit.LeavesUnchanged(c.page), c.expected == c.page) << c.name;
    EXPECT_EQ(edit.foreignLinks, c.foreignLinks) << c.name;
  }
}

}  // namespace
}  // namespace tervando
