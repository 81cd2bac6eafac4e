#pragma once

#include <span>
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
// The same with the new contents given as pieces written one after the other, so an edited
// page is written from its original bytes without a second copy in memory.
void ReplaceFileContents(const std::string& path, std::span<const std::string_view> pieces);

struct FaviconEdit;

// Replaces the page with `original` changed by `edit`, written from the original bytes and the
// one new tag, so the page is held in memory once.
void WriteFaviconEdit(const std::string& pagePath, std::string_view original,
                      const FaviconEdit& edit);

// Reads the page, edits its favicon reference and replaces the file when the text changed.
// Returns true when the file was replaced. Failures throw std::system_error.
bool SetUnsetFaviconInFile(const std::string& pagePath, bool remove,
                           const std::string& faviconLinkPrefix, int webRootDepth);

}  // namespace tervando
