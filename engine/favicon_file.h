#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "engine/run_events.h"
#include "engine/site_state.h"

namespace tervando {

// An existing favicon.ico larger than this is not loaded into the preview (nobody's icon is).
inline constexpr std::size_t kPreviewLoadLimit = 16u * 1024 * 1024;

// The failure just caught as "text (Code n)"; call it only inside a catch block.
std::string ErrorInfoText();

// True for an existing regular file whose name does not start with "." (a hidden file);
// false for folders, hidden files, missing paths and every failure of the test.
bool FileExists(const std::string& path);

// The state's web root as held open: the one its scan opened, or else the root opened now.
// Throws std::system_error when it can't be opened.
FolderRef WebRootFolderOf(const SiteState& state);

// True when the web root holds `name` (a path below it, not hidden) as a file or a link, looked
// at from the root's handle.
bool RootFileExists(const SiteState& state, const std::string& name);

// The bytes of the root's file `name`, read from the root's handle without following a link;
// none when it is missing, a link, no regular file, larger than `limit` or unreadable.
std::optional<std::string> ReadRootFile(const SiteState& state, const std::string& name,
                                        std::uint64_t limit = UINT64_MAX);

enum class PlaceResult { NotNeeded, Written, WouldWrite, OverwriteDeclined, GaveUp };

// Writes the previewed icon file as favicon.ico into the web root unless `remove` is asked for
// and the icon is pending: asks before replacing an existing file and offers a retry when the
// write fails. With the modern set every file of state.setFiles is written so, each asked for
// on its own; while no new icon is pending only files missing from the root are written, so the
// root's own favicon.ico stays and a second run writes nothing. Each file is written from the
// root's handle; one that is a link is refused (ELOOP), wherever it leads. A dry run asks nothing,
// writes nothing and says WouldWrite. Never changes the pending flag.
PlaceResult PlaceFaviconFile(RunQuestions& questions, const SiteState& state, bool remove,
                             bool dryRun = false);

// The files of the modern set that placing would write now (see PlaceFaviconFile).
std::vector<const SetFile*> SetFilesToWrite(const SiteState& state);

// Whether the pages' block links icon.svg: the set has one, or (no new icon pending) the root
// already holds one.
bool SetLinksSvgIcon(const SiteState& state);

// The page edit of a run with these links and option: a remove run switches every switched-off
// link on again, so insert then remove gives back the page whatever the option said.
IconBlockOptions RunBlockOptions(const IconBlockLinks& links, bool switchOffForeign, bool remove);
// The same with the state's set and option.
IconBlockOptions RunBlockOptions(const SiteState& state, bool remove);

// The preview shows the web root's own favicon.ico (pending false) or, when there is none,
// the default icon (pending true).
void RefreshFaviconPreview(SiteState& state);

}  // namespace tervando
