#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervando {

// One entry of a web app manifest's "icons" array; a member that is no text reads as "".
struct ManifestIconEntry {
  std::string source;  // "src"
  std::string sizes;
  std::string purpose;
};

// What browsers read of a manifest before they offer to install the site: its top-level text
// members (none where the member is missing or no text) and its icons in order.
struct ManifestFacts {
  std::optional<std::string> name;
  std::optional<std::string> shortName;
  std::optional<std::string> startUrl;
  std::optional<std::string> display;
  std::vector<ManifestIconEntry> icons;
};

// The facts of a manifest; none when the text is no JSON object. Strict JSON (RFC 8259),
// nesting up to a sane depth; no Qt, so a check starts without it.
std::optional<ManifestFacts> ReadManifest(std::string_view json);

// The "src" of each entry of the "icons" array, in order ("" for an entry without a text
// "src"); none when the text is no JSON object.
std::optional<std::vector<std::string>> ReadManifestIconSources(std::string_view json);

}  // namespace tervando
