// One program per data folder: the windowed program takes the folder's lock
// for its whole run. A second copy on the same folder says so and stops, so two
// copies never write the same files; leftovers of saves killed earlier are
// removed once the folder is this program's.
#pragma once

#include <string>

class QWidget;

namespace kistora {

class DataFolderLock;

// Takes dir for this run. False, after a box saying which folder and which
// process holds it, when another copy runs there. A folder that cannot be
// locked at all (read-only, say) is used without a lock: saving will say why
// it cannot write.
bool TakeDataFolder(DataFolderLock& lock, const std::string& dir, QWidget* parent = nullptr);

}  // namespace kistora
