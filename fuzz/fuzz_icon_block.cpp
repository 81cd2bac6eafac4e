// The icon block against the step-by-step head edit: the classic set is that edit byte for byte
// on every page without a marked tag; on such pages every set and switch leaves a page that a
// second run does not change, that another set turns into that set's own result, and that the
// remove run turns back into what removing the classic reference gives.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

#include "engine/ascii.h"
#include "engine/icon_block.h"
#include "engine/paths.h"
#include "tests/reference/literal_head_editor.h"

namespace {

using tervando::ForeignIconLinks;
using tervando::IconBlockOptions;

const std::string kPrefix = tervando::BuildFaviconLinkPrefix();

const char* const kTokens[] = {
    "<head>",
    "</head>",
    "<HEAD>",
    "<head >",
    "<p>",
    "<",
    ">",
    " ",
    "\n",
    "=",
    "\"",
    "'",
    " < ",
    " > ",
    " >= ",
    "\x1b",
    "\x01",
    "<!--",
    "-->",
    "<script>",
    "</script>",
    "<style>",
    "\"./favicon.ico\">",
    "<link rel=icon href=a.ico>",
    "<LINK REL='Shortcut Icon' HREF=b>",
    "<link rel=\"stylesheet manifest\" rel=icon href=m>",
    "<link href=x rel=apple-touch-icon/>",
    "<link rel=\"icon\" title=\"a > b\" href=t>",
    "<link rel=",
    "<link ",
    "rel=mask-icon",
    "<meta charset=\"windows-1252\">",
    "<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">",
    "<title>                                                                                      "
    "                                                                                            "
    "                                                                  </title>",
};

// Tags of ours, and switched-off links, as a page may hold them from earlier runs.
const char* const kOurTokens[] = {
    " data-tervando>",
    "<link rel=\"icon\" type=\"image/svg+xml\" href=\"./icon.svg\" data-tervando>",
    "<link data-tervando rel=manifest href=x>",
    "<link data-tervando-off-rel=icon href=o>",
    "data-tervando-off-",
};

std::string BuildPage(FuzzedDataProvider& input, bool withOurs) {
  std::string page;
  const int pieces = input.ConsumeIntegralInRange(0, 48);
  for (int i = 0; i < pieces && input.remaining_bytes() > 0; ++i) {
    switch (input.ConsumeIntegralInRange(0, 4)) {
      case 0:
        page += input.ConsumeRandomLengthString(12);
        break;
      case 1:
        page += kPrefix;
        break;
      case 2:
        if (withOurs) {
          page += input.PickValueInArray(kOurTokens);
          break;
        }
        [[fallthrough]];
      default:
        page += input.PickValueInArray(kTokens);
        break;
    }
  }
  return page;
}

std::string Edited(const std::string& page, const std::string& path,
                   const IconBlockOptions& options, int depth) {
  return tervando::SetUnsetIconBlockInHtml(page, path, options, kPrefix, depth);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const int depth = input.ConsumeIntegralInRange(0, 3);
  std::string path(1, tervando::kPathSeparator);
  for (int i = input.ConsumeIntegralInRange(0, 4); i > 0; --i) {
    path += std::string("d") + tervando::kPathSeparator;
  }
  path += "page.htm";
  const bool withOurs = input.ConsumeIntegralInRange(0, 3) == 0;
  const std::string page = BuildPage(input, withOurs);
  if (page.empty()) {
    return 0;
  }
  const IconBlockOptions sets[] = {
      {false, {}, ForeignIconLinks::kKeep},
      {false, tervando::LinksOfSet(tervando::FaviconSet::kModern, true), ForeignIconLinks::kKeep},
      {false, tervando::LinksOfSet(tervando::FaviconSet::kModern, false), ForeignIconLinks::kKeep},
      {false, {}, ForeignIconLinks::kSwitchOff},
      {false, tervando::LinksOfSet(tervando::FaviconSet::kModern, true),
       ForeignIconLinks::kSwitchOff},
  };
  const IconBlockOptions remove{true, {}, ForeignIconLinks::kSwitchOn};
  if (tervando::IsWideText(page)) {
    // No byte-oriented text: never edited, whatever its code units spell.
    for (const IconBlockOptions& options : sets) {
      if (Edited(page, path, options, depth) != page) std::abort();
    }
    if (Edited(page, path, remove, depth) != page) std::abort();
    return 0;
  }
  if (withOurs || tervando::ContainsIgnoringCase(page, tervando::kBlockMarker)) {
    // Pages that already hold marked tags: any edit, without a fault.
    for (const IconBlockOptions& options : sets) {
      Edited(page, path, options, depth);
    }
    Edited(page, path, remove, depth);
    return 0;
  }
  for (const bool classicRemove : {false, true}) {
    const IconBlockOptions classic{classicRemove, {}, ForeignIconLinks::kKeep};
    if (Edited(page, path, classic, depth) !=
        tervando::literal::SetUnsetFaviconInHtml(page, path, classicRemove, kPrefix, depth)) {
      std::abort();
    }
  }
  const std::string classic =
      tervando::literal::SetUnsetFaviconInHtml(page, path, false, kPrefix, depth);
  const std::string removed =
      tervando::literal::SetUnsetFaviconInHtml(classic, path, true, kPrefix, depth);
  const IconBlockOptions& first = input.PickValueInArray(sets);
  const IconBlockOptions& second = input.PickValueInArray(sets);
  const std::string once = Edited(page, path, first, depth);
  if (Edited(once, path, first, depth) != once || Edited(once, path, remove, depth) != removed) {
    std::abort();
  }
  // A switched-off link stays off until a remove run or the switch back on.
  if ((first.foreign != ForeignIconLinks::kSwitchOff ||
       second.foreign == ForeignIconLinks::kSwitchOff) &&
      Edited(once, path, second, depth) != Edited(page, path, second, depth)) {
    std::abort();
  }
  return 0;
}
