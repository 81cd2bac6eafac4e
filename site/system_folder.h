#pragma once

#include <string>

namespace tervando {

// True when `folder`, links and ".." resolved, is "/" or one of the system's own top folders
// (/usr, /etc, /bin, /sbin, /lib*, /boot, /dev, /proc, /sys, /run, /var) itself, also under
// another name (a link, a bind mount). No site is kept there, and a run over one would edit the
// system's files: it is never taken as a web root. Folders below them (/var/www) are.
bool IsSystemFolder(const std::string& folder);

}  // namespace tervando
