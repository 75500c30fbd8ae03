// Temporary files left behind by a killed save. Every save writes beside its
// target under a name of its own (safe_file.h): ".kistora-" + six or ten
// letters and digits + ".tmp" (".bak.tmp" for a backup's copy). Such a file
// only ever lives while its save runs, so once the data folder's lock is held
// (data_folder_lock.h) any of them is litter from a save that never finished.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kistora {

// Whether name (a file name, no folder) is one of the temporary names above.
bool IsTemporaryFileName(std::string_view name);

// Removes the regular files of dir whose names are temporary names, and those
// of its "backups" folder; nothing else is touched (folders, links and every
// other name stay). Call only while holding the data folder's lock. Returns
// how many were removed; never throws.
std::size_t RemoveStaleTemporaries(const std::string& dir);

}  // namespace kistora
