#include "engine/page_check.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include "engine/ascii.h"
#include "engine/byte_scan.h"
#include "engine/head_editor.h"
#include "engine/paths.h"
#include "engine/tag_scanner.h"

namespace tervando {

namespace {

constexpr std::string_view kHeadTag = "<head>";
constexpr std::string_view kHeadEndTag = "</head>";

// The blanks HTML allows between a tag's name and attributes.

bool IsSeparator(char c) { return c == '/' || c == kPathSeparator; }

// "<head" followed by a blank, an attribute or a slash: a head tag, but not the plain one.
bool IsHeadTagWithAttributes(std::string_view tag) {
  return tag.size() > kHeadTag.size() && StartsWithIgnoringCase(tag, "<head") &&
         (IsHtmlBlank(tag[5]) || tag[5] == '/');
}

int LineAt(std::string_view text, std::size_t offset) {
  std::size_t breaks = 0;
  for (std::size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
      ++breaks;
    }
  }
  return static_cast<int>(std::min<std::size_t>(breaks + 1, INT_MAX));
}

// The path with "." and ".." steps taken and separators made one; a ".." above the start of a
// relative path stays.
std::string NormalPath(std::string_view path) {
  std::vector<std::string_view> steps;
  std::size_t at = 0;
  while (at < path.size()) {
    std::size_t stop = at;
    while (stop < path.size() && !IsSeparator(path[stop])) {
      ++stop;
    }
    const std::string_view step = path.substr(at, stop - at);
    if (step == "..") {
      if (!steps.empty() && steps.back() != "..") {
        steps.pop_back();
      } else if (path.empty() || !IsSeparator(path[0])) {
        steps.push_back(step);
      }
    } else if (!step.empty() && step != ".") {
      steps.push_back(step);
    }
    at = stop + 1;
  }
  std::string normal = !path.empty() && IsSeparator(path[0]) ? std::string(1, kPathSeparator) : "";
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (i > 0) {
      normal += kPathSeparator;
    }
    normal += steps[i];
  }
  return normal;
}

std::string_view FolderOf(std::string_view pagePath) {
  const std::size_t last = pagePath.rfind(kPathSeparator);
  return last == std::string_view::npos ? std::string_view() : pagePath.substr(0, last + 1);
}

// What an href names as a file path beside the page; nothing for an href that is no relative
// path (a scheme such as http:, a path from the server's root, an empty one).
std::optional<std::string> ResolveHref(std::string_view folder, std::string_view href) {
  while (!href.empty() && IsHtmlBlank(href.front())) {
    href.remove_prefix(1);
  }
  while (!href.empty() && IsHtmlBlank(href.back())) {
    href.remove_suffix(1);
  }
  href = href.substr(0, href.find_first_of("?#"));
  const std::size_t colon = href.find(':');
  if (href.empty() || IsSeparator(href.front()) ||
      (colon != std::string_view::npos && colon < href.find('/'))) {
    return std::nullopt;
  }
  return NormalPath(std::string(folder) + std::string(href));
}

struct LinkAttributes {
  std::optional<std::string_view> rel;
  std::optional<std::string_view> href;
  bool marked = false;  // carries our block's marker
  bool sized = false;   // carries a sizes attribute
};

// The rel and href of a <link> tag, read as HTML reads attributes: names in any letter case,
// values in double or single quotes or bare, the first of a repeated attribute counting.
std::optional<LinkAttributes> ReadLinkTag(std::string_view tag) {
  const std::optional<std::vector<LinkAttribute>> attributes = ReadLinkAttributes(tag);
  if (!attributes) {
    return std::nullopt;
  }
  LinkAttributes link;
  for (const LinkAttribute& attribute : *attributes) {
    if (EqualsIgnoringCase(attribute.nameText, kBlockMarker)) {
      link.marked = true;
    } else if (!link.rel && EqualsIgnoringCase(attribute.nameText, "rel")) {
      link.rel = attribute.value;
    } else if (!link.href && EqualsIgnoringCase(attribute.nameText, "href")) {
      link.href = attribute.value;
    } else if (EqualsIgnoringCase(attribute.nameText, "sizes")) {
      link.sized = true;
    }
  }
  return link;
}

bool HasIconToken(std::string_view rel) {
  constexpr std::string_view kIcon[] = {"icon"};
  return ListHoldsTokenIgnoringCase(rel, kIcon);
}

// A link with an icon relation that is not one of our block's.
std::optional<LinkAttributes> IconLink(std::string_view tag) {
  std::optional<LinkAttributes> link = ReadLinkTag(tag);
  // A tag of our block is ours, whatever it links.
  if (!link || link->marked || !link->rel || !link->href || !HasIconToken(*link->rel)) {
    return std::nullopt;
  }
  return link;
}

// An icon link to an .ico file without sizes: browsers prefer it to an SVG icon.
bool BeatsSvgIcon(const LinkAttributes& link) {
  std::string_view path = link.href->substr(0, link.href->find_first_of("?#"));
  while (!path.empty() && IsHtmlBlank(path.back())) {
    path.remove_suffix(1);
  }
  return !link.sized && EndsWithIgnoringCase(path, ".ico");
}

// Line of the icon link browsers would show instead of ours: with `svgLinked` the first that
// beats our icon.svg anywhere in the head, else the last pointing elsewhere among the tags from
// `from` (a tag boundary) up to the first "</head>"; 0 when there is none.
int OtherIconAfter(std::string_view text, std::size_t from, std::string_view pagePath,
                   int webRootDepth, bool svgLinked) {
  std::optional<std::string> ourTarget;
  std::optional<std::size_t> last;
  TagScanner scanner(text);
  scanner.SeekTo(svgLinked ? 0 : from);
  TagScanner::Tag tag;
  while (scanner.Next(tag)) {
    const std::string_view bytes = text.substr(tag.begin, tag.end - tag.begin);
    if (!tag.holdsOperator && EqualsIgnoringCase(bytes, kHeadEndTag)) {
      break;
    }
    const std::optional<LinkAttributes> link = IconLink(bytes);
    if (link && svgLinked) {
      if (BeatsSvgIcon(*link)) {
        return LineAt(text, tag.begin);
      }
    } else if (link) {
      const std::optional<std::string_view> href = link->href;
      if (!ourTarget) {
        ourTarget = FaviconTargetOf(pagePath, webRootDepth);
      }
      if (ResolveHref(FolderOf(pagePath), *href) != *ourTarget) {
        last = tag.begin;  // browsers take the last one
      }
    }
  }
  return last ? LineAt(text, *last) : 0;
}

// The line of the charset declaration of `after` (the page as the run leaves it) when our tags
// push it past the bytes the prescan reads; 0 else.
int PushedCharsetLine(std::string_view after, std::string_view pagePath,
                      const std::string& faviconLinkPrefix, int webRootDepth) {
  const std::optional<std::size_t> end = CharsetDeclarationEnd(after);
  if (!end || *end <= kCharsetPrescanBytes) {
    return 0;
  }
  IconBlockOptions remove;
  remove.remove = true;
  const std::string bare =
      SetUnsetIconBlockInHtml(after, pagePath, remove, faviconLinkPrefix, webRootDepth);
  const std::optional<std::size_t> bareEnd = CharsetDeclarationEnd(bare);
  return bareEnd && *bareEnd <= kCharsetPrescanBytes ? LineAt(after, *end - 1) : 0;
}

// The line of the first <base> tag with an href before the head end tag, or 0.
int BaseLine(std::string_view text) {
  if (FindNoCase(text, 0, text.size(), "<base") == std::string_view::npos) {
    return 0;
  }
  TagScanner scanner(text);
  TagScanner::Tag tag;
  while (scanner.Next(tag)) {
    const std::string_view bytes = text.substr(tag.begin, tag.end - tag.begin);
    if (tag.holdsOperator) {
      continue;
    }
    if (EqualsIgnoringCase(bytes, kHeadEndTag)) {
      return 0;
    }
    if (bytes.size() > 6 && StartsWithIgnoringCase(bytes, "<base") &&
        (IsHtmlBlank(bytes[5]) || bytes[5] == '/') && ContainsIgnoringCase(bytes, "href")) {
      return LineAt(text, tag.begin);
    }
  }
  return 0;
}

// The files our block links besides favicon.ico.
std::vector<std::string_view> BlockFiles(const IconBlockLinks& links) {
  std::vector<std::string_view> files;
  if (links.svgIcon) {
    files.push_back(kSvgIconFileName);
  }
  if (links.appleTouchIcon) {
    files.push_back(kAppleTouchIconFileName);
  }
  if (links.manifest) {
    files.push_back(kManifestFileName);
  }
  return files;
}

// A page the run would change: the line of the first changed tag, and in insert mode what the
// page as the run leaves it still shows against our icon.
PageCheck WouldChangeCheck(std::string_view text, const IconPageEdit& pageEdit,
                           std::string_view pagePath, const IconBlockOptions& block,
                           const std::string& faviconLinkPrefix, int webRootDepth) {
  const auto first =
      std::find_if(pageEdit.edits.begin(), pageEdit.edits.end(),
                   [text](const FaviconEdit& edit) { return !edit.LeavesUnchanged(text); });
  PageCheck check{PageClass::kWouldChange, LineAt(text, first->offset)};
  if (!block.remove) {
    // Looked for in the page as the run leaves it: the links it switches off no longer count.
    // Our tags add no line break, so the lines stay.
    const std::string after = pageEdit.AppliedTo(text);
    const FaviconEdit ours =
        FindFaviconEdit(after, pagePath, false, faviconLinkPrefix, webRootDepth);
    check.otherIconLine = OtherIconAfter(after, ours.offset + ours.removed, pagePath, webRootDepth,
                                         block.links.svgIcon);
    check.charsetLine = PushedCharsetLine(after, pagePath, faviconLinkPrefix, webRootDepth);
  }
  return check;
}

// The tags the editor looked at, walked as the split cuts them: the first head tag, head tag
// with attributes, head end tag and reference.
struct HeadTags {
  std::optional<std::size_t> head;
  std::optional<std::size_t> headWithAttributes;
  std::optional<std::size_t> end;
  std::optional<TagScanner::Tag> link;
};

HeadTags FindHeadTags(std::string_view text, const std::string& faviconLinkPrefix) {
  HeadTags found;
  TagScanner scanner(text);
  TagScanner::Tag tag;
  while (!(found.head && found.end && found.link) && scanner.Next(tag)) {
    const std::string_view bytes = text.substr(tag.begin, tag.end - tag.begin);
    if (!found.link &&
        (tag.holdsOperator ? ContainsIgnoringCase(scanner.MaskedTag(tag), faviconLinkPrefix)
                           : ContainsIgnoringCase(bytes, faviconLinkPrefix))) {
      found.link = tag;
    }
    if (tag.holdsOperator) {
      continue;  // a tag holding a marker is no head tag
    }
    if (!found.head && EqualsIgnoringCase(bytes, kHeadTag)) {
      found.head = tag.begin;
    } else if (!found.headWithAttributes && IsHeadTagWithAttributes(bytes)) {
      found.headWithAttributes = tag.begin;
    }
    if (!found.end && EqualsIgnoringCase(bytes, kHeadEndTag)) {
      found.end = tag.begin;
    }
  }
  return found;
}

// The class of a page the run leaves alone as its head tags decide it; nothing when our
// reference is in place before the head end tag of an insert run, and the rest must decide.
std::optional<PageCheck> ClassByHeadTags(std::string_view text, const HeadTags& tags, bool remove) {
  if (IsWideText(text)) {
    return PageCheck{PageClass::kUnicodeBom, 0};
  }
  if (remove && !tags.link) {
    return PageCheck{PageClass::kUpToDate, 0};
  }
  if (!tags.head) {
    return tags.headWithAttributes
               ? PageCheck{PageClass::kHeadAttributes, LineAt(text, *tags.headWithAttributes)}
               : PageCheck{PageClass::kNoHead, 0};
  }
  if (!tags.end || *tags.end < *tags.head) {
    return PageCheck{PageClass::kNoHeadEnd, LineAt(text, *tags.head)};
  }
  if (tags.link && tags.link->begin >= *tags.end) {
    return PageCheck{PageClass::kReferenceAfterHead, LineAt(text, tags.link->begin)};
  }
  if (remove || !tags.link) {
    return PageCheck{PageClass::kUpToDate, 0};  // remove: the reference lies after the head
  }
  return std::nullopt;
}

// Insert mode, our reference `link` in place: whether browsers show another icon, or a file
// of ours is missing.
PageCheck InPlaceCheck(std::string_view text, const TagScanner::Tag& link,
                       std::string_view pagePath, const IconBlockOptions& block,
                       const std::string& faviconLinkPrefix, int webRootDepth,
                       const FaviconExists& faviconExists) {
  const int charsetLine = PushedCharsetLine(text, pagePath, faviconLinkPrefix, webRootDepth);
  if (const int other = OtherIconAfter(text, link.end, pagePath, webRootDepth, block.links.svgIcon);
      other > 0) {
    return {PageClass::kOtherIcon, other, 0, 0, charsetLine};
  }
  if (faviconExists) {
    bool missing = !faviconExists(FaviconTargetOf(pagePath, webRootDepth));
    for (const std::string_view file : BlockFiles(block.links)) {
      missing = missing || !faviconExists(RootFileTargetOf(pagePath, webRootDepth, file));
    }
    if (missing) {
      return {PageClass::kFaviconMissing, LineAt(text, link.begin), 0, 0, charsetLine};
    }
  }
  return {PageClass::kUpToDate, LineAt(text, link.begin), 0, 0, charsetLine};
}

PageCheck ClassifyUnbased(std::string_view text, std::string_view pagePath,
                          const IconBlockOptions& block, const std::string& faviconLinkPrefix,
                          int webRootDepth, const FaviconExists& faviconExists) {
  const IconPageEdit pageEdit =
      FindIconPageEdit(text, pagePath, block, faviconLinkPrefix, webRootDepth);
  if (!pageEdit.LeavesUnchanged(text)) {
    return WouldChangeCheck(text, pageEdit, pagePath, block, faviconLinkPrefix, webRootDepth);
  }
  // The page stays as it is; find out why from the tags the editor looked at.
  const HeadTags tags = FindHeadTags(text, faviconLinkPrefix);
  if (std::optional<PageCheck> check = ClassByHeadTags(text, tags, block.remove)) {
    return *check;
  }
  return InPlaceCheck(text, *tags.link, pagePath, block, faviconLinkPrefix, webRootDepth,
                      faviconExists);
}

}  // namespace

bool NeedsAttention(PageClass pageClass) {
  return pageClass != PageClass::kUpToDate && pageClass != PageClass::kNoHead;
}

std::string_view PageClassKey(PageClass pageClass) {
  switch (pageClass) {
    case PageClass::kUnreadable:
      return "unreadable";
    case PageClass::kEmpty:
      return "empty";
    case PageClass::kWouldChange:
      return "would-change";
    case PageClass::kUnicodeBom:
      return "utf16-utf32";
    case PageClass::kNoHead:
      return "no-head";
    case PageClass::kHeadAttributes:
      return "head-with-attributes";
    case PageClass::kNoHeadEnd:
      return "no-head-end";
    case PageClass::kReferenceAfterHead:
      return "reference-after-head";
    case PageClass::kOtherIcon:
      return "other-icon";
    case PageClass::kFaviconMissing:
      return "favicon-missing";
    case PageClass::kUpToDate:
      return "up-to-date";
  }
  return "?";
}

std::string RootFileTargetOf(std::string_view pagePath, int webRootDepth, std::string_view name) {
  const int levels = PageLevels(pagePath, webRootDepth);
  return NormalPath(std::string(FolderOf(pagePath)) + RelativePart(levels) + std::string(name));
}

std::string FaviconTargetOf(std::string_view pagePath, int webRootDepth) {
  return RootFileTargetOf(pagePath, webRootDepth, kFaviconFileName);
}

PageCheck ClassifyPage(std::string_view text, std::string_view pagePath,
                       const IconBlockOptions& block, const std::string& faviconLinkPrefix,
                       int webRootDepth, const FaviconExists& faviconExists) {
  if (text.empty()) {
    return {PageClass::kEmpty, 0};
  }
  PageCheck check =
      ClassifyUnbased(text, pagePath, block, faviconLinkPrefix, webRootDepth, faviconExists);
  if (check.pageClass != PageClass::kUnicodeBom) {
    check.baseLine = BaseLine(text);
  }
  return check;
}

PageCheck ClassifyPage(std::string_view text, std::string_view pagePath, bool remove,
                       const std::string& faviconLinkPrefix, int webRootDepth,
                       const FaviconExists& faviconExists) {
  IconBlockOptions block;
  block.remove = remove;
  return ClassifyPage(text, pagePath, block, faviconLinkPrefix, webRootDepth, faviconExists);
}

}  // namespace tervando
