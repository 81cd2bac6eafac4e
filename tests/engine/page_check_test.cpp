#include "engine/page_check.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "engine/head_editor.h"
#include "tests/reference/literal_head_editor.h"
#include "tests/reference/masking.h"

namespace tervando {

void PrintTo(const PageCheck& check, std::ostream* out) {
  *out << PageClassKey(check.pageClass) << " line " << check.line << " other icon line "
       << check.otherIconLine << " base line " << check.baseLine;
}

namespace {

using C = PageClass;

const std::string kPrefix = BuildFaviconLinkPrefix();
constexpr int kRootDepth = 2;  // the web root /site/
const std::string kAtRoot = R"(<link rel="SHORTCUT ICON" href="./favicon.ico">)";
const std::string kTwoDown = R"(<link rel="SHORTCUT ICON" href="../../favicon.ico">)";

struct ClassCase {
  const char* name;
  std::string text;
  PageClass expected;
  int line;
  bool remove = false;
  bool faviconThere = true;
  std::string page = "/site/i.htm";
  int otherIconLine = 0;
  bool modern = false;  // judged for a run with the modern set
  int baseLine = 0;
  int charsetLine = 0;
};

TEST(ClassifyPage, OneClassPerPageWithTheLineOfItsTag) {
  const std::string icon = R"(<link rel="icon" href="/x.png">)";
  const std::string modern = BuildIconBlock(kPrefix, LinksOfSet(FaviconSet::kModern, true), 0);
  const std::string oldModern = kAtRoot + modern.substr(modern.find("<link", 1));
  // A charset declaration that ends at byte 1000 of the page without our tags.
  const std::string lateCharset =
      "<title>" + std::string(923, 'x') + "</title>" +
      "<meta http-equiv=Content-Type content=\"text/html; charset=cp1252\">";
  const std::vector<ClassCase> cases = {
      {"empty page", "", C::kEmpty, 0},
      {"reference to insert", "<html>\n<head></head>", C::kWouldChange, 2},
      {"stale reference", "<head>\r\n" + kTwoDown + "</head>", C::kWouldChange, 2},
      {"lines end at a lone CR too", "a\rb\r\n<head></head>", C::kWouldChange, 3},
      {"in place", "<html>\n<head>\n" + kAtRoot + "\n</head>", C::kUpToDate, 3},
      {"deeper page in place", "<head>" + kTwoDown + "</head>", C::kUpToDate, 1, false, true,
       "/site/a/b/i.htm"},
      {"UTF-16 LE", std::string("\xFF\xFE<\0h\0e\0a\0d\0>\0", 14), C::kUnicodeBom, 0},
      {"UTF-16 BE", std::string("\xFE\xFF\0<\0h", 6), C::kUnicodeBom, 0},
      {"UTF-32 BE", std::string("\0\0\xFE\xFF\0\0\0<", 8), C::kUnicodeBom, 0},
      {"UTF-16 LE whose code units spell a head", "\xFF\xFE<head></head>", C::kUnicodeBom, 0},
      {"UTF-32 LE", std::string("\xFF\xFE\0\0<head></head>", 17), C::kUnicodeBom, 0},
      {"UTF-16 LE without a mark", std::string("<\0h\0e\0a\0d\0>\0<head></head>", 25),
       C::kUnicodeBom, 0},
      {"NUL only after the head end", std::string("<head></head>\0", 14), C::kWouldChange, 1},
      {"UTF-8 byte order mark", "\xEF\xBB\xBF<head></head>", C::kWouldChange, 1},
      {"fragment", "<p>Teil</p>", C::kNoHead, 0},
      {"header is no head", "<header>x</header></head>", C::kNoHead, 0},
      {"head with attribute", "<html>\n<head lang=\"de\">\n</head>", C::kHeadAttributes, 2},
      {"head with blank", "<head ></head>", C::kHeadAttributes, 1},
      {"head with tab and slash", "x\n<HEAD\tprofile=x><head/>", C::kHeadAttributes, 2},
      {"no head end tag", "<head><title>", C::kNoHeadEnd, 1},
      {"head end before head", "</head>\n<head>", C::kNoHeadEnd, 2},
      {"head end with blank", "<head></head >", C::kNoHeadEnd, 1},
      {"reference in the body", "<head></head>\n<body>" + kAtRoot, C::kReferenceAfterHead, 2},
      {"icon link after ours", "<head>" + kAtRoot + "\n" + icon + "\n</head>", C::kOtherIcon, 2},
      {"the last of two counts", "<head>" + kAtRoot + icon + "\n" + icon + "</head>", C::kOtherIcon,
       2},
      {"shortcut icon, single quotes, attribute order",
       "<head>" + kAtRoot + "\n<LINK href='a.ico' REL='Shortcut  Icon'></head>", C::kOtherIcon, 2},
      {"same file named otherwise",
       "<head>" + kAtRoot + "<link rel=icon href=favicon.ico?v=2 type=image/x-icon></head>",
       C::kUpToDate, 1},
      {"absolute address in the head",
       "<head>" + kAtRoot + "\n<link rel=icon href=\"http://x/favicon.ico\"></head>", C::kOtherIcon,
       2},
      {"apple-touch-icon is no icon relation",
       "<head>" + kAtRoot + "<link rel=\"apple-touch-icon\" href=\"t.png\"></head>", C::kUpToDate,
       1},
      {"icon link without href", "<head>" + kAtRoot + "<link rel=\"icon\"></head>", C::kUpToDate,
       1},
      {"icon link before ours", icon + "<head>" + kAtRoot + "</head>", C::kUpToDate, 1},
      {"icon link after the head", "<head>" + kAtRoot + "</head>" + icon, C::kUpToDate, 1},
      {"icon link the run would leave after ours", "<head>\n" + icon + "\n</head>", C::kWouldChange,
       1, false, true, "/site/i.htm", 2},
      {"icon link before the reference replaced", "<head>" + icon + "\n" + kTwoDown + "</head>",
       C::kWouldChange, 2},
      {"favicon.ico missing", "<head>\n" + kAtRoot + "</head>", C::kFaviconMissing, 2, false,
       false},
      {"other icon before missing favicon.ico", "<head>" + kAtRoot + icon + "</head>",
       C::kOtherIcon, 1, false, false},
      {"remove: reference there", "<head>\n" + kAtRoot + "</head>", C::kWouldChange, 2, true},
      {"remove: nothing to remove", "<head></head>", C::kUpToDate, 0, true},
      {"remove: fragment", "<p>Teil</p>", C::kUpToDate, 0, true},
      {"remove: UTF-16", std::string("\xFF\xFE<\0", 4), C::kUnicodeBom, 0, true},
      {"remove: reference in the body", "<head></head>\n" + kAtRoot, C::kReferenceAfterHead, 2,
       true},
      {"remove: reference kept by a head with attributes", "<head lang=de>" + kAtRoot + "</head>",
       C::kHeadAttributes, 1, true},
      {"remove: other icons are the page's own", "<head>" + kAtRoot + icon + "</head>",
       C::kWouldChange, 1, true, false},
      {"modern block in place: its tags are ours, not competing", "<head>\n" + modern + "</head>",
       C::kUpToDate, 2, false, true, "/site/i.htm", 0, true},
      {"modern block, a file of it missing", "<head>" + modern + "</head>", C::kFaviconMissing, 1,
       false, false, "/site/i.htm", 0, true},
      {"modern block, classic run", "<head>" + modern + "</head>", C::kWouldChange, 1},
      {"classic reference, modern run", "<head>" + kAtRoot + "</head>", C::kWouldChange, 1, false,
       true, "/site/i.htm", 0, true},
      {"modern: the page's own .ico without sizes beats icon.svg, also before ours",
       "<head><link rel=icon href=/old.ico>\n" + modern + "</head>", C::kOtherIcon, 1, false, true,
       "/site/i.htm", 0, true},
      {"modern: its own PNG after ours does not", "<head>" + modern + "\n" + icon + "</head>",
       C::kUpToDate, 1, false, true, "/site/i.htm", 0, true},
      {"modern: the block without sizes is refreshed", "<head>" + oldModern + "</head>",
       C::kWouldChange, 1, false, true, "/site/i.htm", 0, true},
      {"our reference pushes the charset past 1024 bytes", "<head>\n" + lateCharset + "</head>",
       C::kWouldChange, 1, false, true, "/site/i.htm", 0, false, 0, 2},
      {"a page left so says it too", "<head>" + kAtRoot + "\n" + lateCharset + "</head>",
       C::kUpToDate, 1, false, true, "/site/i.htm", 0, false, 0, 2},
      {"modern: the reference alone pushes it, the tags follow the declaration",
       "<head>\n" + lateCharset + "</head>", C::kWouldChange, 1, false, true, "/site/i.htm", 0,
       true, 0, 2},
      {"a switched-off link competes no more",
       "<head>" + kAtRoot + "<link data-tervando-off-rel=icon href=x.png></head>", C::kUpToDate, 1},
      {"base href named", "<head>\n<base href=\"http://x/\">" + kAtRoot + "</head>", C::kUpToDate,
       2, false, true, "/site/i.htm", 0, false, 2},
      {"base without href, or after the head, is not",
       "<head><base target=_top>" + kAtRoot + "</head><base href=x>", C::kUpToDate, 1},
  };
  for (const ClassCase& c : cases) {
    std::vector<std::string> asked;
    const FaviconExists exists = [&](const std::string& path) {
      asked.push_back(path);
      return c.faviconThere;
    };
    IconBlockOptions block;
    block.remove = c.remove;
    block.links = LinksOfSet(c.modern ? FaviconSet::kModern : FaviconSet::kClassic, true);
    EXPECT_EQ(ClassifyPage(c.text, c.page, block, kPrefix, kRootDepth, exists),
              (PageCheck{c.expected, c.line, c.otherIconLine, c.baseLine, c.charsetLine}))
        << c.name;
    for (const std::string& path : asked) {
      EXPECT_EQ(path.rfind("/site/", 0), 0u) << c.name;
      EXPECT_EQ(c.modern || path == "/site/favicon.ico", true) << c.name;
    }
  }
}

TEST(FaviconTargetOf, ClimbsOneFolderPerLevel) {
  EXPECT_EQ(FaviconTargetOf("/site/i.htm", kRootDepth), "/site/favicon.ico");
  EXPECT_EQ(FaviconTargetOf("/site/a/b/i.htm", kRootDepth), "/site/favicon.ico");
  EXPECT_EQ(FaviconTargetOf("/i.htm", kRootDepth), "/favicon.ico");  // above the root: beside it
}

// The tags the step-by-step edit finds: the first "<head>", reference and "</head>" as indices
// of the split page, and whether it changes the page.
struct LiteralView {
  int head;
  int link;
  int end;
  bool changes;
};

LiteralView LookStepByStep(const std::string& text, const std::string& page, bool remove) {
  std::string masked =
      HideUnhideJavaInHtml(literal::ReplaceEvery(text, "\x1b", "\x1b\x05"), kHideMode);
  std::vector<std::string> tags;
  std::vector<std::string> texts;
  SplitUnsplitHtmlString(masked, tags, texts, kSplitMode);
  return {FindInStringArray("<head>", tags, false, true),
          FindInStringArray(kPrefix, tags, false, false),
          FindInStringArray("</head>", tags, false, true),
          literal::SetUnsetFaviconInHtml(text, page, remove, kPrefix, kRootDepth) != text};
}

// Random pages: "would change" exactly when the edit changes the page, and every reason given
// for leaving a page alone is what the step-by-step edit saw.
TEST(ClassifyPage, AgreesWithTheStepByStepEdit) {
  const std::vector<std::string> pieces = {" ",
                                           "\n",
                                           "\r",
                                           "a",
                                           "<",
                                           ">",
                                           " < ",
                                           " >= ",
                                           "\x1b",
                                           "\x01",
                                           "<p>",
                                           "<head>",
                                           "</head>",
                                           "<HEAD>",
                                           "<head lang=de>",
                                           "<head >",
                                           "</head >",
                                           kPrefix,
                                           "\"./favicon.ico\">",
                                           "\"../favicon.ico\">",
                                           kAtRoot,
                                           "<link rel=\"icon\" href=\"x.png\">",
                                           "<link rel=icon href=./favicon.ico>",
                                           R"(<link rel="SHORTCUT ICON" href="x" title="a > b">)",
                                           "\xFF\xFE"};
  std::mt19937 random(20261208);
  std::array<int, kPageClassCount> seen{};
  for (int round = 0; round < 60000; ++round) {
    const auto some = [&](int most) {
      std::string part;
      for (int n = static_cast<int>(random() % static_cast<unsigned>(most + 1)); n > 0; --n) {
        part += pieces[random() % pieces.size()];
      }
      return part;
    };
    const bool deeper = random() % 3 == 0;
    const std::string page = deeper ? "/site/d/p.htm" : "/site/p.htm";
    // Half the pages are a head around the right reference with random pieces in between,
    // so the reasons that need one come up as often as the rest.
    const std::string text = random() % 2 == 0 ? some(9) + pieces[random() % pieces.size()]
                                               : some(2) + "<head>" + some(2) +
                                                     BuildFaviconReference(kPrefix, deeper) +
                                                     some(2) + "</head>" + some(2);
    const bool remove = random() % 2 == 0;
    const bool faviconThere = random() % 4 != 0;
    const PageCheck check = ClassifyPage(text, page, remove, kPrefix, kRootDepth,
                                         [&](const std::string&) { return faviconThere; });
    const LiteralView literal = LookStepByStep(text, page, remove);
    const auto context = [&] { return "text: " + text + " remove: " + std::to_string(remove); };
    ++seen[static_cast<std::size_t>(check.pageClass)];
    const bool wide = text.starts_with("\xFF\xFE");
    ASSERT_EQ(check.pageClass == C::kWouldChange, literal.changes && !wide) << context();
    ASSERT_EQ(check.pageClass == C::kUnicodeBom, wide) << context();
    if (literal.changes && !remove && !wide) {
      // What it says of the page after the run, it says of the edited page.
      const std::string after =
          literal::SetUnsetFaviconInHtml(text, page, false, kPrefix, kRootDepth);
      EXPECT_EQ(ClassifyPage(after, page, false, kPrefix, kRootDepth).pageClass == C::kOtherIcon,
                check.otherIconLine > 0)
          << context();
    }
    const bool headSection = literal.head >= 0 && literal.head < literal.end;
    switch (check.pageClass) {
      case C::kNoHead:
      case C::kHeadAttributes:
        EXPECT_EQ(literal.head, -1) << context();
        break;
      case C::kNoHeadEnd:
        EXPECT_TRUE(literal.head >= 0 && !headSection) << context();
        break;
      case C::kReferenceAfterHead:
        EXPECT_TRUE(headSection && literal.link >= literal.end) << context();
        break;
      case C::kOtherIcon:
      case C::kFaviconMissing:
        EXPECT_TRUE(!remove && headSection && literal.link >= 0 && literal.link < literal.end)
            << context();
        EXPECT_TRUE(check.pageClass == C::kOtherIcon || !faviconThere) << context();
        break;
      case C::kUpToDate:
        EXPECT_TRUE(remove ? literal.link == -1
                           : headSection && literal.link >= 0 && literal.link < literal.end)
            << context();
        break;
      case C::kUnicodeBom:
        EXPECT_TRUE(text.starts_with("\xFF\xFE")) << context();
        break;
      default:
        break;
    }
  }
  for (const PageClass c :
       {C::kWouldChange, C::kUnicodeBom, C::kNoHead, C::kHeadAttributes, C::kNoHeadEnd,
        C::kReferenceAfterHead, C::kOtherIcon, C::kFaviconMissing, C::kUpToDate}) {
    EXPECT_GT(seen[static_cast<std::size_t>(c)], 100) << PageClassKey(c);
  }
}

}  // namespace
}  // namespace tervando
