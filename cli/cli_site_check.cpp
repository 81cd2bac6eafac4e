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

void CheckManifest(const SiteState& state, const std::string& bytes,
                   std::vector<SiteFinding>& findings) {
  const auto sources = ReadManifestIconSources(bytes);
  if (!sources) {
    findings.push_back({true, ManifestNotJsonText(kManifestFileName)});
    return;
  }
  if (sources->empty()) {
    findings.push_back({true, ManifestWithoutIconsText(kManifestFileName)});
  }
  for (const std::string& source : *sources) {
    if (source.empty() || source.find("..") != std::string::npos || source[0] == '/' ||
        !RootFileExists(state, source)) {
      findings.push_back({true, ManifestIconMissingText(kManifestFileName, source)});
    }
  }
}

}  // namespace

std::vector<SiteFinding> CheckSiteFiles(const SiteState& state, bool modern) {
  std::vector<SiteFinding> findings;
  CheckFaviconSizes(state, findings);
  if (!modern) {
    return findings;
  }
  for (const char* name :
       {kAppleTouchIconFileName, kIcon192FileName, kIcon512FileName, kManifestFileName}) {
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
