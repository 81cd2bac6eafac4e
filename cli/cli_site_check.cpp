#include "cli/cli_site_check.h"

#include <algorithm>
#include <optional>

#include "cli/manifest_icons.h"
#include "engine/favicon_file.h"
#include "engine/head_editor.h"
#include "engine/icon_block.h"
#include "engine/messages_cli.h"
#include "engine/page_file.h"
#include "icons/ico_reader.h"

namespace tervando {

namespace {

// Browsers on high-resolution screens and the desktop ask for 48 pixels and more.
constexpr int kSharpIcoSide = 48;

void CheckFaviconSizes(const SiteState& state, std::vector<SiteFinding>& findings) {
  const std::optional<std::string> ico = ReadRootFile(state, kFaviconFileName);
  if (!ico) {
    return;  // the pages' check names a missing favicon.ico
  }
  const auto directory = ReadIcoDirectory(*ico);
  if (!directory || directory->empty()) {
    findings.push_back({true, kIcoUnreadableText});
    return;
  }
  std::vector<int> sides;
  for (const IcoDirEntry& entry : *directory) {
    sides.push_back(std::max(entry.width, entry.height));
  }
  std::sort(sides.begin(), sides.end());
  sides.erase(std::unique(sides.begin(), sides.end()), sides.end());
  findings.push_back({false, sides.back() < kSharpIcoSide ? IcoBlurryText(sides, kSharpIcoSide)
                                                          : IcoSidesText(sides)});
}

// Whether a space-separated list holds `token`.
bool ListHolds(std::string_view list, std::string_view token) {
  for (std::size_t at = 0; at <= list.size();) {
    const std::size_t stop = std::min(list.find(' ', at), list.size());
    if (list.substr(at, stop - at) == token) {
      return true;
    }
    at = stop + 1;
  }
  return false;
}

void CheckManifest(const SiteState& state, const std::string& bytes,
                   std::vector<SiteFinding>& findings) {
  const std::optional<ManifestFacts> manifest = ReadManifest(bytes);
  if (!manifest) {
    findings.push_back({true, ManifestNotJsonText(kManifestFileName)});
    return;
  }
  const std::vector<ManifestIconEntry>& icons = manifest->icons;
  if (icons.empty()) {
    findings.push_back({true, ManifestWithoutIconsText(kManifestFileName)});
  }
  for (const ManifestIconEntry& icon : icons) {
    const std::string& source = icon.source;
    if (source.empty() || source.find("..") != std::string::npos || source[0] == '/' ||
        !RootFileExists(state, source)) {
      findings.push_back({true, ManifestIconMissingText(kManifestFileName, source)});
    }
  }
  const auto anyIcon = [&icons](std::string_view token, std::string ManifestIconEntry::*member) {
    return std::any_of(icons.begin(), icons.end(), [&](const ManifestIconEntry& icon) {
      return ListHolds(icon.*member, token);
    });
  };
  // What Chromium asks of a manifest before it offers to install the site.
  std::vector<ManifestLack> lacking;
  if (manifest->name.value_or("").empty() && manifest->shortName.value_or("").empty()) {
    lacking.push_back(ManifestLack::kName);
  }
  if (!manifest->startUrl) {
    lacking.push_back(ManifestLack::kStartUrl);
  }
  const std::string display = manifest->display.value_or("");
  if (display != "fullscreen" && display != "standalone" && display != "minimal-ui") {
    lacking.push_back(ManifestLack::kDisplay);
  }
  if (!icons.empty() && !anyIcon("192x192", &ManifestIconEntry::sizes)) {
    lacking.push_back(ManifestLack::kIcon192);
  }
  if (!icons.empty() && !anyIcon("512x512", &ManifestIconEntry::sizes)) {
    lacking.push_back(ManifestLack::kIcon512);
  }
  for (const ManifestLack lack : lacking) {
    findings.push_back({true, ManifestNotInstallableText(kManifestFileName, lack)});
  }
  if (!icons.empty() && !anyIcon("maskable", &ManifestIconEntry::purpose)) {
    findings.push_back({false, ManifestWithoutMaskableText(kManifestFileName)});
  }
}

}  // namespace

std::vector<SiteFinding> CheckSiteFiles(const SiteState& state, bool modern) {
  std::vector<SiteFinding> findings;
  CheckFaviconSizes(state, findings);
  if (!modern) {
    return findings;
  }
  for (const char* name : {kAppleTouchIconFileName, kIcon192FileName, kIcon512FileName,
                           kMaskableIconFileName, kManifestFileName}) {
    if (!RootFileExists(state, name)) {
      findings.push_back({true, SetFileMissingText(name)});
    }
  }
  if (const auto manifest = ReadRootFile(state, kManifestFileName)) {
    CheckManifest(state, *manifest, findings);
  }
  if (const auto svg = ReadRootFile(state, kSvgIconFileName);
      svg && svg->find("prefers-color-scheme") == std::string::npos) {
    findings.push_back({false, SvgWithoutDarkModeText(kSvgIconFileName)});
  }
  return findings;
}

}  // namespace tervando
