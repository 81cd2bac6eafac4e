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
//   apple-touch-icon.png  180 px, opaque: iOS fills transparency with black
//   icon-192.png, icon-512.png and manifest.webmanifest naming them, with `siteName`
// Runs without a display; never throws.
IconSet MakeModernIconSet(std::string_view source, const std::string& sourceName,
                          const std::string& siteName);

// The web app manifest: the name and the icons (file name and side in pixels), as UTF-8 JSON.
struct ManifestIcon {
  std::string file;
  int side = 0;
};
std::string BuildWebManifest(std::string_view name, const std::vector<ManifestIcon>& icons);

// A text as a JSON string literal, quotes included. Bytes that are no valid UTF-8 are taken as
// Windows-1252, the encoding of old German pages, so the result is always valid UTF-8.
std::string JsonQuoted(std::string_view text);

// The site's name for the manifest: the root page's <title> (entities decoded, blanks joined),
// or else the web root folder's name.
std::string SiteName(std::string_view rootPageText, std::string_view folderName);

}  // namespace tervando
