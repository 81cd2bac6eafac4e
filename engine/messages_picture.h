#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tervando {

// Why the user's own picture (or icon set) can't become the icon. `name` is the file as the
// user gave it; it is shown in quotes.
std::string PictureNotReadableText(const std::string& name, bool readsWebP);
std::string PictureDamagedText(const std::string& name);
std::string PictureEmptyText(const std::string& name);  // no visible pixel
std::string FileEmptyText(const std::string& name);     // no byte at all
std::string NoIconFileText(const std::string& name);
std::string IconImageDamagedText(const std::string& name, int imageNumber);
std::string SvgDamagedText(const std::string& name);
// An SVG drawing that would take part of itself from elsewhere.
std::string SvgOutsideReferenceText(const std::string& name, const std::string& reference);
// Drawings embedded in the drawing too deep, too large or damaged to be checked.
std::string SvgNestedTooDeepText(const std::string& name);
std::string PictureTooLargeText(const std::string& name, int width, int height);
std::string PictureFileTooLargeText(const std::string& name, std::uintmax_t megabytes);
std::string PictureReadFailedText(const std::string& reason);
std::string IconSetUnusableText(const std::string& name);
// The picture plug-in can't be had: none at the paths `searched`, or one that failed to load
// (`loadFailure`: the file and why; empty when none was found).
std::string PictureModuleMissingText(const std::vector<std::string>& searched,
                                     const std::string& loadFailure);

}  // namespace tervando
