#include "cli/page_pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

namespace tervando {
namespace {

std::vector<std::string> Pages(int count) {
  std::vector<std::string> pages;
  for (int i = 0; i < count; ++i) {
    pages.push_back("/s/p" + std::to_string(i) + ".htm");
  }
  return pages;
}

TEST(PagePipeline, HandsOutcomesOutInOrderAndFailuresAtTheirPage) {
  const std::vector<std::string> pages = Pages(200);
  PagePipeline pipeline(pages, {},
                        [](const std::string& path) {
                          if (path == "/s/p17.htm") {
                            throw std::runtime_error("broken " + path);
                          }
                          return PageOutcome{path.size() % 2 == 0, "shown " + path};
                        },
                        {8, 16, 1 << 20});
  for (const std::string& path : pages) {
    if (path == "/s/p17.htm") {
      EXPECT_THROW(pipeline.Take(path), std::runtime_error);
      continue;
    }
    const PageOutcome outcome = pipeline.Take(path);
    EXPECT_EQ(outcome.shown, "shown " + path);
    EXPECT_EQ(outcome.changed, path.size() % 2 == 0);
  }
}

TEST(PagePipeline, WorksAtMostTheWindowAheadOfTheRun) {
  std::atomic<int> started{0};
  PagePipeline pipeline(Pages(100), {},
                        [&started](const std::string&) {
                          ++started;
                          return PageOutcome{};
                        },
                        {4, 6, 1 << 20});
  pipeline.Take("/s/p0.htm");
  pipeline.Take("/s/p1.htm");
  // Give the workers time to run as far ahead as they may.
  for (int i = 0; i < 2000 && started < 8; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(started.load(), 8);  // the two taken and six ahead
}

TEST(PagePipeline, WithoutThreadsEveryPageIsEditedWhenAskedFor) {
  std::vector<std::string> edited;
  PagePipeline pipeline(Pages(3), {},
                        [&edited](const std::string& path) {
                          edited.push_back(path);
                          return PageOutcome{true, {}};
                        },
                        {});
  EXPECT_TRUE(edited.empty());
  pipeline.Take("/s/p0.htm");
  EXPECT_EQ(edited, std::vector<std::string>{"/s/p0.htm"});
}

TEST(PagePipeline, AnUnexpectedPageIsEditedDirectly) {
  PagePipeline pipeline(Pages(3), {},
                        [](const std::string& path) {
                          return PageOutcome{true, path};
                        },
                        {2, 2, 1 << 20});
  EXPECT_EQ(pipeline.Take("/elsewhere.htm").shown, "/elsewhere.htm");
  EXPECT_EQ(pipeline.Take("/s/p0.htm").shown, "/s/p0.htm");
}

TEST(PagePipeline, StopsCleanlyWhenTheRunEndsEarly) {
  std::atomic<int> started{0};
  {
    PagePipeline pipeline(Pages(1000), {},
                          [&started](const std::string&) {
                            ++started;
                            return PageOutcome{};
                          },
                          {4, 8, 1 << 20});
    pipeline.Take("/s/p0.htm");
  }
  EXPECT_LE(started.load(), 9);
}

TEST(PagePipeline, PagesAboveTheByteLimitAreEditedAlone) {
  // Sizes 10, 10, 100, 10 against a limit of 25: the small ones may overlap, the big one
  // starts only when nothing else is in work, and nothing starts beside it.
  std::mutex mutex;
  int inWork = 0;
  int most = 0;
  bool bigInWork = false;
  bool bigShared = false;
  const std::vector<std::string> pages = Pages(4);
  PagePipeline pipeline(pages, {10, 10, 100, 10},
                        [&](const std::string& path) {
                          const bool big = path == "/s/p2.htm";
                          {
                            std::lock_guard lock(mutex);
                            if (bigInWork || (big && inWork > 0)) {
                              bigShared = true;
                            }
                            bigInWork = bigInWork || big;
                            most = std::max(most, ++inWork);
                          }
                          std::this_thread::sleep_for(std::chrono::milliseconds(20));
                          {
                            std::lock_guard lock(mutex);
                            --inWork;
                            if (big) {
                              bigInWork = false;
                            }
                          }
                          return PageOutcome{};
                        },
                        {4, 4, 25});
  for (const std::string& path : pages) {
    pipeline.Take(path);
  }
  EXPECT_FALSE(bigShared);
  EXPECT_LE(most, 2);
}

}  // namespace
}  // namespace tervando
