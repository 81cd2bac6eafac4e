#pragma once

#include <string>

namespace tervando {

// Gives the new file `to` the extended attributes of the file `from` it replaces: user.*,
// security.* (such as SELinux labels and file capabilities), trusted.* where the process sees
// them, and the POSIX ACL, which travels as the attribute system.posix_acl_access. An ACL that
// `to` took from its folder's default ACL and `from` does not have is taken away, so the new
// file grants exactly what the old one did. Attributes the kernel keeps itself (IMA, EVM) are
// left to it. One that can't be read or set fails with its name and errno (FileError): a
// replaced file never loses an attribute without a word. A file system without extended
// attributes has none to copy. True when an ACL was copied: it may give others access at once.
bool CopyExtendedAttributes(int from, int to, const std::string& shownPath);

// The same from the file `name` in the open folder, read without following a link.
bool CopyExtendedAttributesOf(int folder, const std::string& name, int to,
                              const std::string& shownPath);

}  // namespace tervando
