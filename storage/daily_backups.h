// Dated backups of the database files. At the first write of each day the
// files as they were before it are copied into the folder "backups" beside
// them, as items-YYYY-MM-DD.kdb and chars-YYYY-MM-DD.kdb (local date); the 14
// most recent days are kept. Nothing else in that folder is ever touched:
// only names of exactly that pattern, and the other versions of a day that a
// sync tool kept beside it, are pruned.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kistora {

constexpr int kBackupDaysKept = 14;

// Today's local date as "YYYY-MM-DD".
std::string LocalDateToday();

// dataDir + "/backups".
std::string BackupsFolderOf(const std::string& dataDir);

// "items-2026-12-07.kdb" from the database path ".../items.kdb" and the date;
// a version other than the day's own puts its words before ".kdb".
std::string BackupFileName(const std::string& databasePath, std::string_view date, std::string_view version = {});

// Whether name is "items-YYYY-MM-DD.kdb" or "chars-YYYY-MM-DD.kdb" (a real
// month and day); date receives the "YYYY-MM-DD" part. With version, the
// other versions of a day that a sync tool kept when two machines both took
// it (".sync-conflict-..." or " (... conflicted copy ...)" before ".kdb")
// are backups of that day too, and version receives those words ("" for the
// day's own).
bool ParseBackupFileName(std::string_view name, std::string& date, std::string* version = nullptr);

struct BackupOutcome {
  std::vector<std::string> Made;  // the backups written now
  std::string FailedPath;         // the first database whose copy failed, empty when none did
  int Errno = 0;
};

// Copies each of databasePaths that exists into the backups folder under its
// name for date, unless a backup of that name is there already (an earlier
// write of that day, by this program or another), then prunes the folder to
// the kBackupDaysKept most recent dates (date itself always stays). Each copy
// goes through a temporary file and a rename. Never throws.
BackupOutcome BackUpForDay(const std::string& dataDir, const std::vector<std::string>& databasePaths,
                           const std::string& date);

// Removes the backups of the dates older than the daysKept most recent ones,
// keeping keepDate whatever its place. Returns how many files were removed.
std::size_t PruneBackups(const std::string& backupsDir, int daysKept, const std::string& keepDate);

}  // namespace kistora
