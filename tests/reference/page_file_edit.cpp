#include "tests/reference/page_file_edit.h"

#include <string_view>

#include "engine/head_editor.h"

namespace tervando {

PreparedPage PreparePageEdit(const std::string& pagePath, bool remove,
                             const std::string& faviconLinkPrefix, int webRootDepth,
                             const PageEditOptions& options) {
  const FileRead read = ReadWholeFileWithIdentity(pagePath);
  const std::string& original = read.bytes;
  const FaviconEdit edit =
      FindFaviconEdit(original, pagePath, remove, faviconLinkPrefix, webRootDepth);
  PreparedPage prepared;
  if (edit.LeavesUnchanged(original)) {
    return prepared;
  }
  prepared.changed = true;
  if (options.describe) {
    prepared.difference = options.describe(pagePath, original, edit.AppliedTo(original));
  }
  if (!options.dryRun) {
    const std::string_view text = original;
    const std::string_view pieces[] = {text.substr(0, edit.offset), edit.inserted,
                                       text.substr(edit.offset + edit.removed)};
    prepared.replace = PrepareReplace(pagePath, pieces, read.identity);
  }
  return prepared;
}

bool SetUnsetFaviconInFile(const std::string& pagePath, bool remove,
                           const std::string& faviconLinkPrefix, int webRootDepth) {
  PreparedPage prepared = PreparePageEdit(pagePath, remove, faviconLinkPrefix, webRootDepth);
  if (prepared.replace) {
    prepared.replace->Commit();
  }
  return prepared.changed;
}

}  // namespace tervando
