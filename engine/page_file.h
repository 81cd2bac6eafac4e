#pragma once

#include <string>
#include <string_view>

namespace tervando {

// Reads the whole file as bytes. Throws std::system_error (errno) when it is missing or
// can't be read.
std::string ReadWholeFile(const std::string& path);

// Replaces the file's contents with these bytes so that it is never lost: the bytes go into a
// temporary file in the same folder, reach the disk, and the temporary file is renamed over the
// old one. On failure the old file stays byte for byte and no temporary file is left; a
// std::system_error (errno) is thrown. The new file keeps the old one's permission bits plus the
// owner's write bit, and its owner and group where the process may set them. A symbolic link
// stays a link: the file it finally points to gets the bytes. A missing file is created.
void ReplaceFileContents(const std::string& path, std::string_view bytes);

struct FaviconEdit;

// Replaces the page with `original` changed by `edit`, written from the original bytes and the
// one new tag, so the page is held in memory once. Safe as ReplaceFileContents, except that the
// folder is not flushed after each page: a run calls FlushFileSystem once at its end.
void WriteFaviconEdit(const std::string& pagePath, std::string_view original,
                      const FaviconEdit& edit);

// Brings every finished write on the file system holding `path` to the disk (renames included).
void FlushFileSystem(const std::string& path);

// Reads the page, edits its favicon reference and replaces the file when the text changed.
// Returns true when the file was replaced. Failures throw std::system_error.
bool SetUnsetFaviconInFile(const std::string& pagePath, bool remove,
                           const std::string& faviconLinkPrefix, int webRootDepth);

}  // namespace tervando
