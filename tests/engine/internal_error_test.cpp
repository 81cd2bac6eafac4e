#include "engine/internal_error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace tervando {
namespace {

TEST(EndWithInternalErrorDeathTest, ShowsTheTextThroughTheHookThenEnds) {
  EXPECT_EXIT(
      {
        SetInternalErrorHook(
            [](const std::string& text) { std::fprintf(stderr, "box[%s]", text.c_str()); });
        EndWithInternalError("Fehler 1");
      },
      testing::ExitedWithCode(EXIT_FAILURE), "^box\\[Fehler 1\\]$");
}

TEST(EndWithInternalErrorDeathTest, NothingAfterTheMessageRuns) {
  const std::string marker = testing::TempDir() + "internal_error_marker";
  std::remove(marker.c_str());
  EXPECT_EXIT(
      {
        EndWithInternalError("x");
        std::ofstream(marker) << "ran on";
      },
      testing::ExitedWithCode(EXIT_FAILURE), "x");
  EXPECT_FALSE(std::ifstream(marker).good());
}

}  // namespace
}  // namespace tervando
