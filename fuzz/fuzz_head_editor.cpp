// The head editor against the step-by-step edit (mask, split, search, edit, join, unmask),
// byte for byte, in both modes, for pages built from random bytes and the tokens that matter;
// and the page check, which must call exactly the changed pages "would change".
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

#include "engine/head_editor.h"
#include "engine/page_check.h"
#include "engine/paths.h"
#include "tests/reference/literal_head_editor.h"

namespace {

const std::string kPrefix = tervando::BuildFaviconLinkPrefix();

const char* const kTokens[] = {
    "<head>",
    "</head>",
    "<HEAD>",
    "</Head>",
    "<head >",
    "<p>",
    "<",
    ">",
    " ",
    "=",
    " < ",
    " > ",
    " <= ",
    " >= ",
    "\x1b",
    "\x01",
    "\x02",
    "\x03",
    "\x04",
    "\"./favicon.ico\">",
    "<LINK REL=\"shortcut icon\" href=",
    "<link rel=\"SHORTCUT ICON\" href=\"x\" title=\"a > b\">",
};

// Other prefixes take the reference's general tag walk.
const char* const kOtherPrefixes[] = {"", "<", "</", "head", " > ", "< ", "=", "<head>"};

std::string BuildPage(FuzzedDataProvider& input) {
  std::string page;
  const int pieces = input.ConsumeIntegralInRange(0, 64);
  for (int i = 0; i < pieces && input.remaining_bytes() > 0; ++i) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
      case 0:
        page += input.ConsumeRandomLengthString(16);
        break;
      case 1:
        page += kPrefix;
        break;
      default:
        page += input.PickValueInArray(kTokens);
        break;
    }
  }
  return page;
}

std::string BuildPagePath(FuzzedDataProvider& input) {
  std::string path(1, tervando::kPathSeparator);
  const int folders = input.ConsumeIntegralInRange(0, 6);
  for (int i = 0; i < folders; ++i) {
    path += input.ConsumeBool() ? "d" : "..";
    path += tervando::kPathSeparator;
  }
  return path + "page.htm";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool remove = input.ConsumeBool();
  const int depth = input.ConsumeIntegralInRange(-1, 7);
  const std::string path = BuildPagePath(input);
  const std::string prefix =
      input.ConsumeIntegralInRange(0, 7) == 0 ? input.PickValueInArray(kOtherPrefixes) : kPrefix;
  const std::string page = BuildPage(input);
  std::string expected;
  try {
    expected = tervando::literal::SetUnsetFaviconInHtml(page, path, remove, prefix, depth);
  } catch (const std::system_error&) {
    if (!page.empty()) std::abort();
    try {
      tervando::SetUnsetFaviconInHtml(page, path, remove, prefix, depth);
    } catch (const std::system_error&) {
      return 0;
    }
    std::abort();
  }
  // A page that is no byte-oriented text is never edited with a plain tag opener (the programs'
  // own prefix is one; so is "</").
  if (tervando::IsPlainTagOpener(prefix) && tervando::IsWideText(page)) expected = page;
  if (tervando::SetUnsetFaviconInHtml(page, path, remove, prefix, depth) != expected) std::abort();
  // The page file is written only when this says the edit changes something.
  const tervando::FaviconEdit edit =
      tervando::FindFaviconEditAnyPrefix(page, path, remove, prefix, depth);
  if (edit.LeavesUnchanged(page) != (expected == page)) std::abort();
  // The check names exactly these pages as the ones a run would change; the programs check
  // with their own prefix only.
  if (prefix != kPrefix) return 0;
  const tervando::PageCheck check = tervando::ClassifyPage(page, path, remove, prefix, depth);
  if ((check.pageClass == tervando::PageClass::kWouldChange) != (expected != page)) std::abort();
  return 0;
}
