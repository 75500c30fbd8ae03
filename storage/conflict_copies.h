// The other versions of a database that a sync tool leaves beside it when both
// machines changed it at once, and the program's own older ".conflict" copies:
//   Syncthing          items.sync-conflict-20261208-153012-ABCDEFG.kdb
//   Nextcloud, ownCloud items (conflicted copy 2026-12-08 153012).kdb
//   Dropbox            items (Poste de Marc's conflicted copy 2026-12-08).kdb
//   the program        items.kdb.conflict, items.kdb.conflict.2 ...
// (the same for chars.kdb). Each is merged into the catalogue and then moved
// into backups/merged/, where the program never deletes anything.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "storage/damaged_file.h"

namespace kistora {

struct ConflictCopy {
  std::string Path;
  std::string Name;  // the file name alone
  DatabaseKind Kind = DatabaseKind::Items;
};

// Whether name is a conflict copy of "items.kdb" or "chars.kdb" (kind set).
bool ParseConflictCopyName(std::string_view name, DatabaseKind& kind);

// The conflict copies in dataDir (regular files only), by name: a tool's copies
// of the two databases made by one conflict come in the same order.
std::vector<ConflictCopy> FindConflictCopies(const std::string& dataDir);

// A sync tool's conflict copies of the folder's other files: of kistora.lock
// (only names an owner: of no use), of kistora.ini and kistora.ini.bak (the
// options, read at start and written at the close) and of last-exports.txt
// (the items of the last lists): kept. The same name patterns as the databases'.
struct SideFileCopy {
  std::string Path;
  bool Useless = false;  // a lock's: removed rather than kept
};
std::vector<SideFileCopy> FindSideFileCopies(const std::string& dataDir);

// The folder where merged copies are kept: dataDir/backups/merged.
std::string MergedCopiesFolderOf(const std::string& dataDir);

// Moves path into the merged copies' folder (made when missing) under its own
// name, or that name with ".2", ".3" ... when taken; returns where it went.
// Raises EFileError (FileAction::Keep) when it cannot be moved.
std::string MoveToMergedCopies(const std::string& dataDir, const std::string& path);

// Whether a sync tool is writing one of the databases right now (its
// temporary file is there): a change is taken in once it is done.
bool SyncToolWriting(const std::string& dataDir);

}  // namespace kistora
