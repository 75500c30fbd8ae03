// Copying a file whole (the backups of the options file and of the export, the
// daily backups, kept copies).
#pragma once

#include <string>

namespace kistora {

// Copies source to target with POSIX calls. With failIfExists and an existing
// target nothing is copied. Otherwise the copy is written beside target and
// renamed over it once complete, so a failed copy leaves an existing target as
// it was (a link is followed, permissions are kept). A path holding a NUL byte
// is refused. Returns whether the copy succeeded; never throws.
bool CopyFileTo(const std::string& source, const std::string& target, bool failIfExists);

}  // namespace kistora
