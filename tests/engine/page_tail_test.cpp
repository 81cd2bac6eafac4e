#include "engine/page_tail.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#include "engine/head_editor.h"
#include "engine/icon_block.h"
#include "engine/page_file.h"

namespace tervando {
namespace {

const std::string kPrefix = BuildFaviconLinkPrefix();
constexpr std::size_t kFirstRead = 64 * 1024;  // the head's first read

class PageTailTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "page_tail_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_root = pattern + "/";
    m_depth = CountOccurrences("/", m_root, 0);
  }
  void TearDown() override { std::filesystem::remove_all(m_root); }

  // The page, with a hole of `hole` bytes at `holeAt` where one is asked for.
  std::string Write(const std::string& bytes, std::size_t holeAt = 0, off_t hole = 0) {
    const std::string path = m_root + "page.htm";
    std::filesystem::remove(path);
    std::ofstream(path, std::ios::binary) << (hole > 0 ? bytes.substr(0, holeAt) : bytes);
    if (hole > 0) {
      std::filesystem::resize_file(path, holeAt + static_cast<std::uintmax_t>(hole));
      std::ofstream(path, std::ios::binary | std::ios::app) << bytes.substr(holeAt);
    }
    return path;
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  // The page's edit with every page read up to its head; the plan is looked at before writing.
  void EditHeadFirst(const std::string& path, const IconBlockOptions& block,
                     const std::function<void(const PagePlan&)>& planned = {}) {
    SiteWalker walker(m_root);
    PageEditOptions options;
    options.wholeReadLimit = 0;
    PagePlan plan = PlanPageEdit(OpenPage(walker, path), block, kPrefix, m_depth, options);
    if (planned) {
      planned(plan);
    }
    PreparedPage prepared = WritePlannedEdit(std::move(plan), options);
    if (prepared.replace) {
      prepared.replace->Commit();
    }
  }

  std::string m_root;
  int m_depth = 0;
};

// The new page equals the whole page's edit, whatever part of it was left on the disk.
TEST_F(PageTailTest, PageEditedFromItsHeadEqualsTheWholePagesEdit) {
  const std::string head = "<html><head><title>T</title>\n";
  const std::string headEnd = "</head>";
  const std::string linked = R"(<link rel="icon" type="image/png" href="x.png">)";
  const std::string off = R"(<link data-tervando-off-rel="icon" href="y.png">)";
  const std::string pad(kFirstRead, 'p');
  const IconBlockOptions insert{};
  IconBlockOptions switchOff{};
  switchOff.foreign = ForeignIconLinks::kSwitchOff;
  IconBlockOptions remove{};
  remove.remove = true;
  remove.foreign = ForeignIconLinks::kSwitchOn;
  const struct {
    const char* name;
    std::string page;
    IconBlockOptions block;
    bool tailLeft;  // whether the tail stayed on the disk
  } rows[] = {
      {"nothing after the head", head + headEnd, insert, false},
      {"one byte of tail", head + headEnd + "x", insert, true},
      {"head end across the first read",
       head + pad.substr(0, kFirstRead - head.size() - 3) + headEnd + "<body>" + pad, insert, true},
      {"head end at the first read's end",
       head + pad.substr(0, kFirstRead - head.size() - headEnd.size()) + headEnd + pad, insert,
       true},
      {"head end just after it", head + pad.substr(0, kFirstRead - head.size()) + headEnd + pad,
       insert, true},
      {"a reference after the head: left as it is", head + headEnd + pad + kPrefix + "\"a\">",
       insert, false},
      {"a reference in the head, another in the tail",
       head + kPrefix + "\"old\">" + headEnd + pad + kPrefix + "\"a\">", remove, false},
      {"a foreign link in the tail stays", head + linked + headEnd + pad + linked, switchOff, true},
      {"a switched-off link in the tail is switched on", head + off + headEnd + pad + off, remove,
       false},
      {"remove without our reference", head + headEnd + pad, remove, true},
      {"no head end tag at all", head + pad + pad, insert, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = Write(row.page);
    const std::string expected =
        SetUnsetIconBlockInHtml(row.page, path, row.block, kPrefix, m_depth);
    EditHeadFirst(path, row.block, [&](const PagePlan& plan) {
      EXPECT_EQ(plan.tail.has_value(), row.tailLeft);
      EXPECT_EQ(plan.bytes.size() < row.page.size(), row.tailLeft);
    });
    EXPECT_EQ(Read(path), expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_root), {}), 1);
  }
}

// The tail is copied byte for byte for every length around the copy's chunk and wherever the
// new page puts it, holes and all.
TEST_F(PageTailTest, CopyTailTable) {
  constexpr std::size_t kChunk = 4096;
  std::string source;
  for (std::size_t i = 0; source.size() < 5 * kChunk; ++i) {
    source += std::to_string(i * 7919) + ",";
  }
  const std::string from = Write(source);
  const int in = ::open(from.c_str(), O_RDONLY);
  ASSERT_GE(in, 0);
  for (const off_t begin : {off_t{0}, off_t{1}, off_t{kChunk - 1}}) {
    for (const std::size_t length :
         {std::size_t{0}, std::size_t{1}, kChunk - 1, kChunk, kChunk + 1, 3 * kChunk + 5}) {
      for (const off_t at : {off_t{0}, off_t{3}, off_t{kChunk}}) {
        SCOPED_TRACE(std::to_string(begin) + "+" + std::to_string(length) + " at " +
                     std::to_string(at));
        const std::string to = m_root + "copy";
        const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_EQ(::pwrite(out, std::string(static_cast<std::size_t>(at), 'h').data(),
                           static_cast<std::size_t>(at), 0),
                  at);
        CopyTail(in, {begin, begin + static_cast<off_t>(length)}, out, at, to, kChunk);
        ::close(out);
        EXPECT_EQ(Read(to), std::string(static_cast<std::size_t>(at), 'h') +
                                source.substr(static_cast<std::size_t>(begin), length));
      }
    }
  }
  ::close(in);
}

// A sparse page keeps its holes, and the tail of a page that grows meanwhile is never
// committed: the page stays as the other program left it.
TEST_F(PageTailTest, SparsePageStaysSparseAndAGrowingOneIsKept) {
  constexpr off_t kHole = off_t{64} << 20;
  const std::string page = "<head></head><body>" + std::string(100000, 'b') + "</body>";
  const std::string path = Write(page, 13, kHole);
  std::string expected = SetUnsetIconBlockInHtml(page, path, {}, kPrefix, m_depth);
  expected.insert(expected.size() - page.size() + 13, static_cast<std::size_t>(kHole), '\0');
  EditHeadFirst(path, {});
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_LT(info.st_blocks * 512, off_t{4} << 20);
  EXPECT_EQ(Read(path), expected);

  const std::string grown = Write(page);
  try {
    EditHeadFirst(grown, {}, [&](const PagePlan&) { std::ofstream(grown, std::ios::app) << "+"; });
    ADD_FAILURE() << "replaced";
  } catch (const std::system_error& error) {
    EXPECT_EQ(error.code(), std::errc::resource_unavailable_try_again);
  }
  EXPECT_EQ(Read(grown), page + "+");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_root), {}), 1);
}

}  // namespace
}  // namespace tervando
