#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tervando {

// The XML text of an SVG drawing: `bytes` as they are, or inflated when they are gzip
// compressed (.svgz). Empty when the compressed data is damaged or would inflate beyond what
// any drawing needs.
std::optional<std::string> SvgText(std::string_view bytes);

// What keeps a drawing from being taken from its own file alone; empty() when nothing does.
struct SvgRefusal {
  std::string outside;  // the first reference to a file or an address
  bool nested = false;  // an embedded drawing nested too deep, too large or damaged
  bool empty() const { return outside.empty() && !nested; }
};

// Looks for a reference of an SVG drawing's text to something outside it: an href or xlink:href
// (of an image, a use, a pattern...) that names a file or an address. A drawing is taken from
// its own file alone, so a picture on the same computer can't end up in a published icon.
// References within the drawing (#name) are no such reference, and neither is the link of an
// <a> element, which loads nothing. A data: address carries its picture along; the renderer
// takes any picture it recognises in those bytes, whatever type the address claims, so they
// are looked into as a drawing of their own (base64 or percent-encoded, also gzip compressed),
// down to a few levels and a bounded size. A data: address without a payload is read by the
// renderer as a file name, so it counts as outside.
SvgRefusal SvgOutsideReference(std::string_view text);

}  // namespace tervando
