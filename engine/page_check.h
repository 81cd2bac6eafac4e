#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "engine/icon_block.h"

namespace tervando {

// What a run would do to one page, and why it would leave it alone. Every page gets exactly
// one class; where several fit, the one listed first wins:
//
//   kUnreadable      the page can't be read (never returned by ClassifyPage, which gets bytes;
//                    the caller sets it): the run reports the page as failed
//   kEmpty           the page has no bytes: the run reports it as failed
//   kWouldChange     the run would change the page: exactly when FindFaviconEdit does not leave
//                    it unchanged, whatever else the page shows (an icon link that would follow
//                    ours after an insert is named in PageCheck::otherIconLine)
//   kUnicodeBom      a wide text (IsWideText): a UTF-16 or UTF-32 byte order mark, or a NUL
//                    byte up to the first "</head>"; its code units are no 8-bit text that the
//                    head tags match, so such a page is never edited, in either mode
//   (remove mode: a page that holds no tag with the reference prefix anywhere is kUpToDate here,
//   whatever its head looks like, since there is nothing of ours to remove)
//   kNoHead          neither "<head>" nor a head tag with attributes anywhere (a fragment or an
//                    include, say)
//   kHeadAttributes  no plain "<head>" (any letter case), but a head tag with an attribute, a
//                    blank or a slash, such as <head lang="de"> or <head >
//   kNoHeadEnd       a "<head>", but no "</head>" after it (none at all, or the first one before)
//   kReferenceAfterHead  the first tag holding the prefix lies at or after the first "</head>":
//                    the run neither inserts nor removes anything
//   kOtherIcon       insert mode, our reference in place, but after it and before "</head>" a
//                    <link> with an icon relation (a rel token "icon", as in "icon" or "shortcut
//                    icon"; "apple-touch-icon" and "mask-icon" are other tokens) points at another
//                    file: browsers take the last icon link of the head, so they show that one.
//                    Where our block links icon.svg, browsers prefer the drawing to any icon link
//                    but one to an .ico file without `sizes`, wherever in the head it stands:
//                    such a link of the page's own counts instead.
//                    An href names our file when, taken from the page's folder without its query
//                    or fragment, it leads to the favicon.ico our reference names; an address
//                    with a scheme or from the server's root always counts as another file
//   kFaviconMissing  insert mode, our reference in place, but the favicon.ico it points at is
//                    not there. The check looks at the disk as it is; an insert run first writes
//                    favicon.ico into the root (the chosen icon, or the default one when the root
//                    has none), so the next run mends this
//   kUpToDate        insert mode: the reference is in place; remove mode: nothing to remove
//
// The page-wide problems come before the site-wide one (kFaviconMissing), so a missing
// favicon.ico hides no page's own problem.
enum class PageClass {
  kUnreadable,
  kEmpty,
  kWouldChange,
  kUnicodeBom,
  kNoHead,
  kHeadAttributes,
  kNoHeadEnd,
  kReferenceAfterHead,
  kOtherIcon,
  kFaviconMissing,
  kUpToDate,
};
inline constexpr int kPageClassCount = static_cast<int>(PageClass::kUpToDate) + 1;

struct PageCheck {
  PageClass pageClass = PageClass::kUpToDate;
  // 1-based line of the tag concerned, 0 when no tag is: the tag the run would change (or the
  // head tag it would insert after), the head tag with attributes, the "<head>" without end,
  // the reference after the head, the last competing icon link, or our reference in place.
  // A line ends at LF, CR LF or a lone CR.
  int line = 0;
  // For a page an insert run would change: the line of the icon link that would then follow
  // ours and that browsers would show instead (as for kOtherIcon); 0 when there is none.
  int otherIconLine = 0;
  // The line of a <base href> in the head: relative links, ours too, then resolve from the
  // address it names, not from the page's folder; 0 when there is none.
  int baseLine = 0;
  // Insert mode: the line of the page's charset declaration when the page as the run leaves it
  // has it past kCharsetPrescanBytes but would have it within them without our tags; 0 else.
  int charsetLine = 0;

  bool operator==(const PageCheck&) const = default;
};

// True for the classes a user should look at: the run would change the page or fail on it, or
// the page will not show our icon after a run. Up to date pages and pages without any head
// tag (fragments, which have no icon of their own) need none.
bool NeedsAttention(PageClass pageClass);

// A short ASCII name for scripts, such as "would-change".
std::string_view PageClassKey(PageClass pageClass);

// Whether a file of ours exists at this path (favicon.ico, and with the modern set each file the
// block links); asked only for pages whose reference is in place.
using FaviconExists = std::function<bool(const std::string& path)>;

// The class of one page read whole as `text`, for an insert run or (remove) a remove run, with
// the same path, prefix and depth the run would use. Without `faviconExists` the favicon.ico
// is taken to be there. Reads nothing from the disk itself.
PageCheck ClassifyPage(std::string_view text, std::string_view pagePath, bool remove,
                       const std::string& faviconLinkPrefix, int webRootDepth,
                       const FaviconExists& faviconExists = {});

// The same for the run a set and option would make (block.remove as `remove`): "would change"
// exactly when FindIconPageEdit does not leave the page unchanged. Tags of our block (they carry
// the marker) never count as competing icon links; with the modern set each file the block links
// must exist, as favicon.ico must.
PageCheck ClassifyPage(std::string_view text, std::string_view pagePath,
                       const IconBlockOptions& block, const std::string& faviconLinkPrefix,
                       int webRootDepth, const FaviconExists& faviconExists = {});

// The file `name` of the web root as a link built for this page reaches it, beside the page.
std::string RootFileTargetOf(std::string_view pagePath, int webRootDepth, std::string_view name);

// The favicon.ico that the reference built for this page points at, as a path beside the
// page's own: its folder climbed by one level per "../".
std::string FaviconTargetOf(std::string_view pagePath, int webRootDepth);

}  // namespace tervando
