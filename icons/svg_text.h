#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tervando {

// The XML text of an SVG drawing: `bytes` as they are, or inflated when they are gzip
// compressed (.svgz). Empty when the compressed data is damaged or would inflate beyond what
// any drawing needs.
std::optional<std::string> SvgText(std::string_view bytes);

// The first reference of an SVG drawing's text to something outside it: an href or xlink:href
// (of an image, a use, a pattern...) that names a file or an address. A drawing is taken from
// its own file alone, so a picture on the same computer can't end up in a published icon.
// References within the drawing (#name) and data: addresses, which carry their picture along,
// are no such reference, and neither is the link of an <a> element, which loads nothing.
// Empty when there is none.
std::string SvgOutsideReference(std::string_view text);

}  // namespace tervando
