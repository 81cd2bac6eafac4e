#include "engine/icon_block.h"

#include <algorithm>
#include <optional>

#include "engine/ascii.h"
#include "engine/byte_scan.h"
#include "engine/paths.h"
#include "engine/tag_scanner.h"

namespace tervando {

namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::string_view kHeadEndTag = "</head>";

// The rel tokens of links that give a page an icon or an installed app's icon.
constexpr std::string_view kIconRelations[] = {
    "icon", "apple-touch-icon", "apple-touch-icon-precomposed", "mask-icon", "manifest",
};

struct Range {
  std::size_t begin = 0;
  std::size_t end = 0;

  bool Holds(std::size_t position) const { return position >= begin && position < end; }
};

using Attribute = LinkAttribute;

// The attributes of the <link> tag at `tag`, with where each name stands in the page.
std::optional<std::vector<Attribute>> ReadLinkAttributes(std::string_view text,
                                                         const TagScanner::Tag& tag) {
  std::optional<std::vector<Attribute>> attributes =
      tervando::ReadLinkAttributes(text.substr(tag.begin, tag.end - tag.begin));
  if (attributes) {
    for (Attribute& attribute : *attributes) {
      attribute.name += tag.begin;
    }
  }
  return attributes;
}

bool IsMarked(const std::vector<Attribute>& attributes) {
  return std::any_of(attributes.begin(), attributes.end(), [](const Attribute& a) {
    return EqualsIgnoringCase(a.nameText, kBlockMarker);
  });
}

bool IsSwitchedOffName(std::string_view name) {
  return name.size() > kSwitchedOffPrefix.size() &&
         StartsWithIgnoringCase(name, kSwitchedOffPrefix);
}

// A link whose first rel attribute (the one browsers read) names an icon relation.
bool IsIconLink(const std::vector<Attribute>& attributes) {
  const auto rel = std::find_if(attributes.begin(), attributes.end(), [](const Attribute& a) {
    return EqualsIgnoringCase(a.nameText, "rel");
  });
  if (rel == attributes.end()) {
    return false;
  }
  return ListHoldsTokenIgnoringCase(rel->value, kIconRelations);
}

// "<name" followed by the end of the tag name.
bool OpensElement(std::string_view rest, std::string_view name) {
  if (rest.size() < name.size() + 1 || !StartsWithIgnoringCase(rest.substr(1), name)) {
    return false;
  }
  if (rest.size() == name.size() + 1) {
    return true;
  }
  const char after = rest[name.size() + 1];
  return IsHtmlBlank(after) || after == '>' || after == '/';
}

// Comments, scripts and styles that begin before `limit`, in page order: what looks like a link
// there is no link a browser reads, and a script's text is the script's business.
std::vector<Range> QuietRanges(std::string_view text, std::size_t limit) {
  struct Opener {
    std::string_view start;  // in lower case
    std::string_view close;
    std::size_t next = kNone;  // where it is found next
  };
  Opener openers[] = {{"<!--", "-->"}, {"<script", "</script"}, {"<style", "</style"}};
  const auto find = [text, limit](const Opener& opener, std::size_t from) {
    for (std::size_t at = FindNoCase(text, from, limit, opener.start); at != kNone;
         at = FindNoCase(text, at + 1, limit, opener.start)) {
      if (opener.start[1] == '!' || OpensElement(text.substr(at), opener.start.substr(1))) {
        return at;
      }
    }
    return kNone;
  };
  for (Opener& opener : openers) {
    opener.next = find(opener, 0);
  }
  std::vector<Range> ranges;
  while (true) {
    const Opener* first = nullptr;
    for (const Opener& opener : openers) {
      if (opener.next != kNone && (first == nullptr || opener.next < first->next)) {
        first = &opener;
      }
    }
    if (first == nullptr) {
      return ranges;
    }
    const std::size_t begin = first->next;
    const std::size_t close =
        FindNoCase(text, begin + first->start.size(), text.size(), first->close);
    const std::size_t end = close == kNone ? text.size() : close + first->close.size();
    ranges.push_back({begin, end});
    // Openers inside this range open nothing.
    for (Opener& opener : openers) {
      if (opener.next != kNone && opener.next < end) {
        opener.next = find(opener, end);
      }
    }
  }
}

// Positions asked in rising order: whether each lies in a quiet range.
class QuietCursor {
 public:
  QuietCursor(std::string_view text, std::size_t limit) : m_ranges(QuietRanges(text, limit)) {}

  bool Holds(std::size_t position) {
    while (m_next < m_ranges.size() && m_ranges[m_next].end <= position) {
      ++m_next;
    }
    return m_next < m_ranges.size() && m_ranges[m_next].begin <= position;
  }

 private:
  std::vector<Range> m_ranges;
  std::size_t m_next = 0;
};

// Where the block ends: past the marked link tags that follow `from`, blanks between included.
std::size_t EndOfMarkedTags(std::string_view text, std::size_t from) {
  TagScanner scanner(text);
  while (true) {
    std::size_t at = from;
    while (at < text.size() && IsHtmlBlank(text[at])) {
      ++at;
    }
    if (at >= text.size() || text[at] != '<') {
      return from;
    }
    scanner.SeekTo(at);
    TagScanner::Tag tag;
    if (!scanner.Next(tag) || tag.begin != at || tag.holdsOperator) {
      return from;
    }
    const auto attributes = ReadLinkAttributes(text, tag);
    if (!attributes || !IsMarked(*attributes)) {
      return from;
    }
    from = tag.end;
  }
}

}  // namespace

std::optional<std::vector<LinkAttribute>> ReadLinkAttributes(std::string_view tag,
                                                             std::string_view element) {
  const std::string_view body = tag.substr(1, tag.size() - 2);  // without '<' and '>'
  const std::size_t name = element.size();
  if (body.size() <= name || !StartsWithIgnoringCase(body, element) ||
      !(IsHtmlBlank(body[name]) || body[name] == '/')) {
    return std::nullopt;
  }
  std::vector<LinkAttribute> attributes;
  std::size_t at = name;
  while (true) {
    while (at < body.size() && (IsHtmlBlank(body[at]) || body[at] == '/')) {
      ++at;
    }
    if (at >= body.size()) {
      return attributes;
    }
    const std::size_t nameBegin = at++;  // a name may start with '='
    while (at < body.size() && !IsHtmlBlank(body[at]) && body[at] != '/' && body[at] != '=') {
      ++at;
    }
    LinkAttribute attribute{1 + nameBegin, body.substr(nameBegin, at - nameBegin), {}};
    while (at < body.size() && IsHtmlBlank(body[at])) {
      ++at;
    }
    if (at < body.size() && body[at] == '=') {
      ++at;
      while (at < body.size() && IsHtmlBlank(body[at])) {
        ++at;
      }
      if (at < body.size() && (body[at] == '"' || body[at] == '\'')) {
        const char quote = body[at++];
        const std::size_t close = std::min(body.find(quote, at), body.size());
        attribute.value = body.substr(at, close - at);
        at = std::min(close + 1, body.size());
      } else {
        const std::size_t valueBegin = at;
        while (at < body.size() && !IsHtmlBlank(body[at])) {
          ++at;
        }
        attribute.value = body.substr(valueBegin, at - valueBegin);
      }
    }
    attributes.push_back(attribute);
  }
}

IconBlockLinks LinksOfSet(FaviconSet set, bool withSvgIcon) {
  if (set == FaviconSet::kClassic) {
    return {};
  }
  return {withSvgIcon, true, true};
}

bool IconPageEdit::LeavesUnchanged(std::string_view text) const {
  return std::all_of(edits.begin(), edits.end(),
                     [text](const FaviconEdit& edit) { return edit.LeavesUnchanged(text); });
}

std::string IconPageEdit::AppliedTo(std::string_view text) const {
  std::string result;
  result.reserve(text.size() + 256);
  std::size_t done = 0;
  for (const FaviconEdit& edit : edits) {
    result.append(text.substr(done, edit.offset - done)).append(edit.inserted);
    done = edit.offset + edit.removed;
  }
  result.append(text.substr(done));
  return result;
}

bool IsCharsetDeclaration(std::string_view tag) {
  const auto attributes = ReadLinkAttributes(tag, "meta");
  if (!attributes) {
    return false;
  }
  const auto value = [&](std::string_view name) -> std::optional<std::string_view> {
    for (const LinkAttribute& attribute : *attributes) {
      if (EqualsIgnoringCase(attribute.nameText, name)) {
        return attribute.value;
      }
    }
    return std::nullopt;
  };
  const auto httpEquiv = value("http-equiv");
  const auto content = value("content");
  return value("charset") || (httpEquiv && EqualsIgnoringCase(*httpEquiv, "content-type") &&
                              content && ContainsIgnoringCase(*content, "charset"));
}

namespace {

// The first charset declaration before `limit`, outside comments, scripts and styles.
std::optional<Range> FindCharsetDeclaration(std::string_view text, std::size_t limit) {
  std::size_t at = FindNoCase(text, 0, limit, "<meta");
  if (at == kNone) {
    return std::nullopt;
  }
  QuietCursor quiet(text, limit);
  TagScanner scanner(text);
  TagScanner::Tag tag;
  for (; at != kNone; at = FindNoCase(text, at + 1, limit, "<meta")) {
    scanner.SeekTo(at);
    if (quiet.Holds(at) || !scanner.Next(tag) || tag.begin != at || tag.holdsOperator) {
      continue;
    }
    if (IsCharsetDeclaration(text.substr(tag.begin, tag.end - tag.begin))) {
      return Range{tag.begin, tag.end};
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::size_t> CharsetDeclarationEnd(std::string_view text) {
  const std::size_t headEnd = std::min(FindNoCase(text, 0, text.size(), kHeadEndTag), text.size());
  const std::optional<Range> declaration = FindCharsetDeclaration(text, headEnd);
  return declaration ? std::optional<std::size_t>(declaration->end) : std::nullopt;
}

std::string BuildBlockReference(const std::string& faviconLinkPrefix, const IconBlockLinks& links,
                                int levels) {
  std::string reference = BuildFaviconReference(faviconLinkPrefix, levels);
  if (links.svgIcon) {
    reference.insert(reference.size() - 1, R"( sizes="32x32")");
  }
  return reference;
}

std::string BuildIconBlock(const std::string& faviconLinkPrefix, const IconBlockLinks& links,
                           int levels) {
  return BuildBlockReference(faviconLinkPrefix, links, levels) + BuildBlockTags(links, levels);
}

std::string BuildBlockTags(const IconBlockLinks& links, int levels) {
  std::string block;
  const std::string relative = RelativePart(levels);
  const auto add = [&](std::string_view start, std::string_view file) {
    block.append(start).append(relative).append(file).append("\" ").append(kBlockMarker) += '>';
  };
  if (links.svgIcon) {
    add(R"(<link rel="icon" type="image/svg+xml" href=")", kSvgIconFileName);
  }
  if (links.appleTouchIcon) {
    add(R"(<link rel="apple-touch-icon" href=")", kAppleTouchIconFileName);
  }
  if (links.manifest) {
    add(R"(<link rel="manifest" href=")", kManifestFileName);
  }
  return block;
}

namespace {

// A link switched off by an edit: where its new attribute name goes, and where its tag begins.
struct SwitchedOff {
  std::size_t at = 0;
  std::size_t tag = 0;
};

// A link is switched off only where the edited page still reads it. Our reference can take the
// place of one that swallowed a comment's end ("href=-->"); a link the edit puts into a comment
// so is left as it is, as no remove run could switch it on again there. `switchedOff` and the
// edits are in page order.
void KeepSwitchOffsStillRead(std::string_view text, const std::vector<SwitchedOff>& switchedOff,
                             IconPageEdit& result) {
  const std::string edited = result.AppliedTo(text);
  QuietCursor quiet(edited, edited.size());
  std::vector<FaviconEdit> kept;
  std::size_t droppedTag = kNone;
  std::ptrdiff_t shift = 0;  // from a position in `text` to the same one in `edited`
  auto next = switchedOff.begin();
  for (FaviconEdit& edit : result.edits) {
    const bool isSwitchOff = next != switchedOff.end() && next->at == edit.offset &&
                             edit.removed == 0 && edit.inserted == kSwitchedOffPrefix;
    const std::ptrdiff_t change = static_cast<std::ptrdiff_t>(edit.inserted.size()) -
                                  static_cast<std::ptrdiff_t>(edit.removed);
    if (isSwitchOff) {
      const std::size_t tag = (next++)->tag;
      if (quiet.Holds(static_cast<std::size_t>(static_cast<std::ptrdiff_t>(edit.offset) + shift))) {
        result.foreignLinks -= tag != droppedTag ? 1 : 0;
        droppedTag = tag;
        shift += change;
        continue;
      }
    }
    shift += change;
    kept.push_back(std::move(edit));
  }
  result.edits = std::move(kept);
}

// The block's tags follow our reference, unless there they would push the charset declaration
// that follows it out of the prescan's reach: then they follow the declaration, where
// `result` has an edit (possibly empty) at its end.
void PlaceBlockTags(IconPageEdit& result, std::size_t referenceAt,
                    const std::optional<Range>& charset, std::string tags) {
  std::ptrdiff_t shift = 0;
  FaviconEdit* reference = nullptr;
  auto tail = result.edits.end();
  for (auto edit = result.edits.begin(); edit != result.edits.end(); ++edit) {
    if (charset && edit->offset < charset->begin) {
      shift += static_cast<std::ptrdiff_t>(edit->inserted.size()) -
               static_cast<std::ptrdiff_t>(edit->removed);
    }
    if (reference == nullptr && edit->offset == referenceAt) {
      reference = &*edit;
    } else if (charset && tail == result.edits.end() && edit->offset == charset->end) {
      tail = edit;
    }
  }
  const bool pushed = charset && static_cast<std::ptrdiff_t>(charset->end) + shift +
                                         static_cast<std::ptrdiff_t>(tags.size()) >
                                     static_cast<std::ptrdiff_t>(kCharsetPrescanBytes);
  if (pushed) {
    tail->inserted = std::move(tags);
    return;
  }
  reference->inserted += tags;
  if (tail != result.edits.end() && tail->removed == 0) {
    result.edits.erase(tail);
  }
}

// What the edit of one page starts from.
struct PageScan {
  std::string_view text;
  bool editable = false;          // the classic editor edits the page: our block has a place
  Range reference{kNone, kNone};  // where the classic editor puts our reference (when editable)
  std::size_t headEnd = 0;        // the first head end tag, or the end of the page
  bool marked = false;            // a marked tag where this edit looks for ours
};

PageScan ScanPage(std::string_view text, const FaviconEdit& classic, ForeignIconLinks foreign) {
  PageScan page;
  page.text = text;
  page.editable = !classic.inserted.empty();
  page.reference = {classic.offset, classic.offset + classic.removed};
  // The switched-off prefix starts with the marker, so one search finds both. Our tags stand in
  // the head, right after the reference; only switching links back on looks at the whole page.
  page.headEnd = std::min(FindNoCase(text, 0, text.size(), kHeadEndTag), text.size());
  const bool wholePage = foreign == ForeignIconLinks::kSwitchOn ||
                         (page.editable && page.reference.end >= page.headEnd);
  page.marked = FindNoCase(text, 0, wholePage ? text.size() : page.headEnd, kBlockMarker) != kNone;
  return page;
}

// Where the edit of an editable page puts our block.
struct BlockPlace {
  Range block{kNone, kNone};     // our reference with the marked tags right after it
  std::string tags;              // the block's tags after our reference, placed last
  std::optional<Range> charset;  // the charset declaration the tags may have to follow
  Range tail{kNone, kNone};      // the block's tags where they follow that declaration
};

// The block's own edits: our reference and the marked tags after it give way to the new
// reference (nothing when removing), and where the tags may have to follow the charset
// declaration, the marked tags after it go too (PlaceBlockTags puts the tags in one place).
BlockPlace AddBlockEdits(const PageScan& page, std::string_view pagePath,
                         const IconBlockOptions& options, const std::string& faviconLinkPrefix,
                         int webRootDepth, IconPageEdit& result) {
  BlockPlace place;
  place.block = page.reference;
  if (page.marked) {
    place.block.end = EndOfMarkedTags(page.text, place.block.end);
  }
  std::string inserted;
  if (!options.remove) {
    const int levels = PageLevels(pagePath, webRootDepth);
    inserted = BuildBlockReference(faviconLinkPrefix, options.links, levels);
    place.tags = BuildBlockTags(options.links, levels);
    if (!place.tags.empty()) {
      place.charset = FindCharsetDeclaration(page.text, page.headEnd);
      if (place.charset && place.charset->begin < place.block.end) {
        place.charset.reset();  // before our reference: the block does not move it
      }
    }
  }
  result.edits.push_back(
      {place.block.begin, place.block.end - place.block.begin, std::move(inserted)});
  if (place.charset) {
    const std::size_t end = place.charset->end;
    place.tail = {end, page.marked ? EndOfMarkedTags(page.text, end) : end};
    result.edits.push_back({place.tail.begin, place.tail.end - place.tail.begin, {}});
  }
  return place;
}

// Which link tags outside our block an edit changes.
struct LinkEdits {
  bool strays = false;     // marked tags elsewhere in the head: removed
  bool switchOff = false;  // the page's own icon links in the head: switched off
  bool switchOn = false;   // switched-off links anywhere in the page: switched on again

  bool Any() const { return strays || switchOff || switchOn; }
};

LinkEdits LinkEditsOf(const PageScan& page, const IconBlockOptions& options) {
  LinkEdits links;
  links.strays = page.editable && page.marked;
  links.switchOff =
      page.editable && !options.remove && options.foreign == ForeignIconLinks::kSwitchOff;
  links.switchOn = page.marked && options.foreign == ForeignIconLinks::kSwitchOn;
  return links;
}

// The edits of one link tag outside our block: a stray marked tag in the head goes, a foreign
// icon link is switched off or on.
void EditLinkTag(const PageScan& page, const TagScanner::Tag& tag, const LinkEdits& links,
                 IconPageEdit& result, std::vector<SwitchedOff>& switchedOff) {
  const auto attributes = ReadLinkAttributes(page.text, tag);
  if (!attributes) {
    return;
  }
  const bool inHead = tag.begin < page.headEnd;
  if (links.strays && inHead && IsMarked(*attributes)) {
    result.edits.push_back({tag.begin, tag.end - tag.begin, {}});
    return;
  }
  bool changed = false;
  for (const Attribute& attribute : *attributes) {
    if (links.switchOn && IsSwitchedOffName(attribute.nameText)) {
      result.edits.push_back({attribute.name, kSwitchedOffPrefix.size(), {}});
      changed = true;
    } else if (links.switchOff && inHead && EqualsIgnoringCase(attribute.nameText, "rel") &&
               IsIconLink(*attributes)) {
      result.edits.push_back({attribute.name, 0, std::string(kSwitchedOffPrefix)});
      switchedOff.push_back({attribute.name, tag.begin});
      changed = true;
    }
  }
  result.foreignLinks += changed;
}

// The edits of the link tags outside our block and outside comments, scripts and styles, merged
// into the block's in page order.
void AddLinkEdits(const PageScan& page, const BlockPlace& place, const LinkEdits& links,
                  IconPageEdit& result) {
  const std::string_view text = page.text;
  const std::size_t limit = links.switchOn ? text.size() : page.headEnd;
  QuietCursor quiet(text, limit);
  std::vector<SwitchedOff> switchedOff;
  // Every link tag starts with "<link", whose '<' masking never hides.
  TagScanner scanner(text);
  TagScanner::Tag tag;
  for (std::size_t at = FindNoCase(text, 0, limit, "<link"); at != kNone;
       at = FindNoCase(text, at + 1, limit, "<link")) {
    scanner.SeekTo(at);
    if (scanner.Next(tag) && tag.begin == at && !tag.holdsOperator && !place.block.Holds(at) &&
        !place.tail.Holds(at) && !quiet.Holds(at)) {
      EditLinkTag(page, tag, links, result, switchedOff);
    }
  }
  std::stable_sort(result.edits.begin(), result.edits.end(),
                   [](const FaviconEdit& a, const FaviconEdit& b) { return a.offset < b.offset; });
  if (!switchedOff.empty()) {
    KeepSwitchOffsStillRead(text, switchedOff, result);
  }
}

}  // namespace

IconPageEdit FindIconPageEdit(std::string_view text, std::string_view pagePath,
                              const IconBlockOptions& options, const std::string& faviconLinkPrefix,
                              int webRootDepth) {
  // The insert edit says where our reference is or goes, and whether the page is edited at all:
  // removing takes away the same reference that inserting would replace.
  const FaviconEdit classic =
      FindFaviconEdit(text, pagePath, false, faviconLinkPrefix, webRootDepth);
  // A page that is no byte-oriented text is never edited, whatever its code units spell (an
  // editable page has passed that test already).
  if (classic.inserted.empty() && IsWideText(text)) {
    return {};
  }
  const PageScan page = ScanPage(text, classic, options.foreign);
  IconPageEdit result;
  BlockPlace place;
  if (page.editable) {
    place = AddBlockEdits(page, pagePath, options, faviconLinkPrefix, webRootDepth, result);
  }
  if (const LinkEdits links = LinkEditsOf(page, options); links.Any()) {
    AddLinkEdits(page, place, links, result);
  }
  if (!place.tags.empty()) {
    PlaceBlockTags(result, place.block.begin, place.charset, std::move(place.tags));
  }
  return result;
}

std::string SetUnsetIconBlockInHtml(std::string_view text, std::string_view pagePath,
                                    const IconBlockOptions& options,
                                    const std::string& faviconLinkPrefix, int webRootDepth) {
  return FindIconPageEdit(text, pagePath, options, faviconLinkPrefix, webRootDepth).AppliedTo(text);
}

}  // namespace tervando
