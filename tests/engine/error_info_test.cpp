#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

#include "engine/errors.h"
#include "engine/messages.h"

namespace tervando {
namespace {

// Each kind of failure, caught, in the run's form and in the favicon.ico write's.
TEST(ErrorInfo, BothFormsOfEachFailure) {
  const struct {
    std::function<void()> fail;
    std::string pageForm;
    std::string faviconForm;
  } rows[] = {
      {[] { throw FileError(ENOENT, "Datei kann nicht geöffnet werden", "/s/a.htm"); },
       "Datei kann nicht geöffnet werden: /s/a.htm: No such file or directory [2]",
       "Datei kann nicht geöffnet werden: /s/a.htm: No such file or directory (Code 2)"},
      {[] { throw std::system_error(make_error_code(EngineErrc::kIndexOutOfRange)); },
       "Index außerhalb des gültigen Bereichs [9]",
       "Index außerhalb des gültigen Bereichs (Code 9)"},
      {[] { throw std::system_error(std::error_code(77, EngineCategory())); },
       "Unbekannter Fehler 77 [77]", "Unbekannter Fehler 77 (Code 77)"},
      {[] { throw std::bad_alloc(); }, "Nicht genügend Arbeitsspeicher [12]",
       "Nicht genügend Arbeitsspeicher (Code 12)"},
      {[] { throw std::runtime_error("kaputt"); }, "kaputt [5]", "kaputt (Code 5)"},
      {[] { throw 1; }, "Unbekannter Fehler [5]", "Unbekannter Fehler (Code 5)"},
  };
  for (const auto& row : rows) {
    try {
      row.fail();
      ADD_FAILURE() << "did not throw: " << row.pageForm;
    } catch (...) {
      const ErrorInfo info = CurrentErrorInfo();
      EXPECT_EQ(PageErrorInfoText(info), row.pageForm);
      EXPECT_EQ(FaviconErrorInfoText(info), row.faviconForm);
    }
  }
}

}  // namespace
}  // namespace tervando
