#pragma once

#include <QUrl>
#include <string>

#include "support/desktop.h"

namespace tervando {

// The maker's web address, kept without a scheme as the shell is given it.
inline constexpr char kMakerAddress[] = "www.orvatek.example";

// Show commands as the callers pass them; the desktop decides how the opened window looks.
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMaximized = 3;

// What the desktop is asked to open: an absolute file path becomes a file URL, a text with a
// scheme stays as it is, and a bare host name becomes an http address.
QUrl ShellUrl(const std::string& target);

// Hands the target to the desktop's default program and returns at once; false when the desktop
// has no program for it. Show command 0 stands for kShowNormal.
bool OpenWithShell(Desktop& desktop, const std::string& target, int show);

// Opens the maker's web address in the default browser, or says why it could not.
void OpenMakerSite(Desktop& desktop);

}  // namespace tervando
