// Temporary files left behind by a killed save. Every save writes beside its
// target under a name of its own (safe_file.h): kTemporaryPrefix + six or ten
// letters and digits + ".tmp" (".bak.tmp" for a backup's copy); earlier
// versions began it with ".kistora-". Such a file only ever lives while its
// save runs, so once the data folder's lock is held (data_folder_lock.h) any
// of them is litter from a save that never finished.
//
// The prefix is one that sync tools skip, so that a save killed half-way does
// not travel to the other machines: Syncthing takes every name beginning with
// "~syncthing~" for one of its own temporary files, and Nextcloud and ownCloud
// skip "~*.tmp".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kistora {

inline constexpr std::string_view kTemporaryPrefix = "~syncthing~kistora-";

// Whether name (a file name, no folder) is one of the temporary names above.
bool IsTemporaryFileName(std::string_view name);

// Removes the regular files of dir whose names are temporary names, and those
// of its "backups" folder; nothing else is touched (folders, links and every
// other name stay). Call only while holding the data folder's lock. Returns
// how many were removed; never throws.
std::size_t RemoveStaleTemporaries(const std::string& dir);

}  // namespace kistora
