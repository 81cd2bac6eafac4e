#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervando {

// The "src" of each entry of a web app manifest's "icons" array, in order ("" for an entry
// without a text "src"); none when the text is no JSON object. Strict JSON (RFC 8259), nesting
// up to a sane depth; no Qt, so a check starts without it.
std::optional<std::vector<std::string>> ReadManifestIconSources(std::string_view json);

}  // namespace tervando
