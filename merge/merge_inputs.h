// The versions of a merge that a player or a command names by a path: a
// folder holding items.kdb and chars.kdb (either may be missing), or one
// database file (a sync tool's conflict copy, a file sent by mail...), known
// by its first bytes. Each is read whole or not at all.
#pragma once

#include <string>

#include "merge/catalogue_merge.h"
#include "model/catalogue.h"

namespace kistora {

// The catalogue as a version (its items shared, its characters copied).
CatalogueVersion VersionOf(const TCatalogue& catalogue);

// Puts after in the place of the catalogue's content as one step of history
// (text names it) when it differs from before; false when it did not.
bool PutVersion(TCatalogue& catalogue, CatalogueHistory* history, const CatalogueVersion& before,
                const CatalogueVersion& after, const std::string& text);

// Reads theirs from path beside ours: a part path does not hold is ours,
// unchanged. Returns an empty text, or why nothing was read (Windows-1252).
std::string ReadOtherVersion(const std::string& path, const CatalogueVersion& ours, CatalogueVersion& theirs);
// Reads the common version from path (its items as digests); a part path
// does not hold stays unknown. Returns an empty text, or why nothing was read.
std::string ReadBaseVersion(const std::string& path, MergeBase& base);

}  // namespace kistora
