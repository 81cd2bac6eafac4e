#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tervando {

// One file of a favicon set, as it goes into the web root.
struct IconSetFile {
  std::string name;
  std::string bytes;
};

// The modern set's files, or why none could be made.
struct IconSet {
  std::vector<IconSetFile> files;  // favicon.ico first; empty when it failed
  std::string error;               // German, one line; empty on success

  // The file of that name, or nullptr.
  const IconSetFile* Find(std::string_view name) const;
};

inline constexpr int kModernIcoSizes[] = {16, 32, 48};
inline constexpr int kAppleTouchSide = 180;
// A source whose largest image is no bigger than this is pixel art: it is enlarged by whole
// pixels, nearest neighbour, so it stays sharp; larger pictures are scaled smoothly.
inline constexpr int kLargestPixelArt = 64;

// The modern set from a catalogue icon's file or the user's picture file (PNG, JPEG, GIF, BMP,
// WebP, SVG or ICO; `sourceName` is shown in messages and tells an SVG by its ending):
//   favicon.ico           16, 32 and 48 px
//   icon.svg              an SVG drawing as it is; pixel art drawn as one path of unit squares
//                         per colour; none for a larger bitmap picture (nothing to gain over
//                         the PNGs, and a page then links no SVG)
//                         with a rule for dark tab strips that lightens its dark colours
//   apple-touch-icon.png  180 px, opaque (iOS fills transparency with black), with a margin
//   icon-192.png, icon-512.png
//   icon-maskable-512.png the picture inside the central safe zone (a circle of 80 % of the
//                         side) on the same opaque background, for launchers that crop
//   manifest.webmanifest  an installable web app of `siteName`, naming them
// Runs without a display; never throws.
IconSet MakeModernIconSet(std::string_view source, const std::string& sourceName,
                          const std::string& siteName);

inline constexpr int kMaskableSide = 512;
// The launcher's safe zone: a circle around the middle with this share of the side as radius.
inline constexpr double kMaskableSafeRadius = 0.4;

// The web app manifest as UTF-8 JSON: the name, a short name, the site's folder as id, start
// and scope (relative to the manifest, so the site may live anywhere), minimal-ui (a site of
// pages keeps its back button and address), the background colour `colour` ("#rrggbb") as
// background and theme, and the icons (file name, side in pixels, maskable or not).
struct ManifestIcon {
  std::string file;
  int side = 0;
  bool maskable = false;
};
std::string BuildWebManifest(std::string_view name, std::string_view colour,
                             const std::vector<ManifestIcon>& icons);
// A launcher's label for `name`: at most kShortNameLength characters, the part before a
// separator such as " | " or the leading words that fit, else its first characters.
inline constexpr std::size_t kShortNameLength = 12;
std::string ShortName(std::string_view name);

// A text as a JSON string literal, quotes included. Bytes that are no valid UTF-8 are taken as
// Windows-1252, the encoding of old German pages, so the result is always valid UTF-8.
std::string JsonQuoted(std::string_view text);

// The site's name for the manifest: the root page's <title> (entities decoded, blanks joined),
// or else the web root folder's name.
std::string SiteName(std::string_view rootPageText, std::string_view folderName);

}  // namespace tervando
