#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/head_editor.h"

namespace tervando {

// The files the modern set puts beside favicon.ico into the web root.
inline constexpr char kSvgIconFileName[] = "icon.svg";
inline constexpr char kAppleTouchIconFileName[] = "apple-touch-icon.png";
inline constexpr char kIcon192FileName[] = "icon-192.png";
inline constexpr char kIcon512FileName[] = "icon-512.png";
inline constexpr char kMaskableIconFileName[] = "icon-maskable-512.png";
inline constexpr char kManifestFileName[] = "manifest.webmanifest";

// The attribute that tells the block's tags after our classic reference from the page's own:
// a tag that carries it is ours to rewrite or remove, any other byte stays as it is.
inline constexpr std::string_view kBlockMarker = "data-tervando";
// What a switched-off foreign icon link's rel attribute name gets in front of it; taking it away
// again gives the tag back byte for byte.
inline constexpr std::string_view kSwitchedOffPrefix = "data-tervando-off-";

enum class FaviconSet { kClassic, kModern };

// The tags a page's block holds after our classic reference. None: the classic set, the one tag
// the program always wrote.
struct IconBlockLinks {
  bool svgIcon = false;
  bool appleTouchIcon = false;
  bool manifest = false;

  bool operator==(const IconBlockLinks&) const = default;
};

// The links of a set; the modern set links icon.svg only when it has one.
IconBlockLinks LinksOfSet(FaviconSet set, bool withSvgIcon);

// What a run does with the page's own icon, apple-touch and manifest links.
enum class ForeignIconLinks {
  kKeep,       // leave them as they are
  kSwitchOff,  // rel -> data-tervando-off-rel, so no browser reads them (pages the block edits)
  kSwitchOn,   // the reverse, anywhere in the page
};

struct IconBlockOptions {
  bool remove = false;   // remove the whole block; `links` is not read then
  IconBlockLinks links;  // the block to write when inserting or refreshing
  ForeignIconLinks foreign = ForeignIconLinks::kKeep;

  // Whether pages get links to files of the set beside favicon.ico.
  bool LinksSetFiles() const { return !remove && links != IconBlockLinks{}; }
};

// The edits of one page, in page order and none overlapping.
struct IconPageEdit {
  std::vector<FaviconEdit> edits;
  int foreignLinks = 0;  // foreign links switched off or on, for the log

  bool LeavesUnchanged(std::string_view text) const;
  std::string AppliedTo(std::string_view text) const;
};

// Where an HTML parser looks for a page's charset declaration before it reads the page.
inline constexpr std::size_t kCharsetPrescanBytes = 1024;

// Our classic reference as the block has it: where icon.svg is linked it carries
// sizes="32x32", as browsers otherwise prefer the icon file to the drawing.
std::string BuildBlockReference(const std::string& faviconLinkPrefix, const IconBlockLinks& links,
                                int levels);
// The block's tags after that reference, each with the reference's relative part.
std::string BuildBlockTags(const IconBlockLinks& links, int levels);
// The whole block for a page `levels` folders below the web root: the reference, then the tags.
std::string BuildIconBlock(const std::string& faviconLinkPrefix, const IconBlockLinks& links,
                           int levels);

// The edit of one page for a set. The block goes where the classic reference goes: it replaces
// the first reference together with the marked tags directly after it (blanks between them
// included), or follows the head tag. Where the block's tags would push the page's charset
// declaration (the first <meta charset> or <meta http-equiv="Content-Type">) after our
// reference past kCharsetPrescanBytes, they follow that declaration instead, replacing the
// marked tags directly after it. Marked tags elsewhere before the head end tag are removed, so a
// page holds one block. Without marked tags in the page and with the classic set
// the result is exactly FindFaviconEdit's; same failures (an empty page throws). Scripts,
// styles and comments are never touched by the foreign-link switch.
IconPageEdit FindIconPageEdit(std::string_view text, std::string_view pagePath,
                              const IconBlockOptions& options, const std::string& faviconLinkPrefix,
                              int webRootDepth);

// The page text with the edit applied.
std::string SetUnsetIconBlockInHtml(std::string_view text, std::string_view pagePath,
                                    const IconBlockOptions& options,
                                    const std::string& faviconLinkPrefix, int webRootDepth);

// One attribute of a <link> tag: its name as written, where the name stands in the tag ('<' at
// 0), and its value without quotes.
struct LinkAttribute {
  std::size_t name = 0;
  std::string_view nameText;
  std::string_view value;
};
// The attributes of the tag `tag` (from '<' to '>') when it is a <link> tag (or an element
// `element`, in lower case), read as HTML reads them: names in any letter case, values in
// double or single quotes or bare; nothing for any other tag.
std::optional<std::vector<LinkAttribute>> ReadLinkAttributes(std::string_view tag,
                                                             std::string_view element = "link");

// Whether the tag `tag` (from '<' to '>') declares the page's charset: <meta charset=...> or
// <meta http-equiv="Content-Type" content="...charset=...">.
bool IsCharsetDeclaration(std::string_view tag);

// Where the first charset declaration among the tags before the head end tag (outside
// comments, scripts and styles) ends; nothing when the head has none.
std::optional<std::size_t> CharsetDeclarationEnd(std::string_view text);

}  // namespace tervando
