// Restoring one day's backup (daily_backups.h) into the catalogue: which days
// there are and how their files read, what restoring one would change, and the
// restore itself, one operation of the catalogue (so one step of the history).
// The window and kistora-cli restore share all of it.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "model/catalogue.h"
#include "storage/damaged_file.h"

namespace kistora {

// One day's backup and how its two files read with the start-up loader.
struct BackupDay {
  std::string Date;     // "YYYY-MM-DD"
  std::string Version;  // "" for the day's own; a sync tool's other version of the day (daily_backups.h)
  StartupRead Items;
  StartupRead Chars;

  // Both files there and read whole: only such a day can be restored.
  bool Usable() const { return Items.State == StartupReadState::Clean && Chars.State == StartupReadState::Clean; }
  // A file of the day is missing (only the other was there to back up).
  bool Incomplete() const {
    return Items.State == StartupReadState::Missing || Chars.State == StartupReadState::Missing;
  }
};

// In a word (Windows-1252): a day "correcte", "incompl\xE8te" or "endommag\xE9e";
// one of its files "correct", "absent", "illisible" or "endommag\xE9".
std::string BackupDayState(const BackupDay& day);
std::string BackupFileState(const StartupRead& read);

// The days with a backup in dataDir's backups folder, most recent first.
std::vector<std::string> BackupDates(const std::string& dataDir);
// Each day with its versions: its own first, then the other versions a sync
// tool kept (two machines backed up that day apart), most recent day first.
std::vector<std::pair<std::string, std::string>> BackupVersions(const std::string& dataDir);

// Reads the day's backups into into (emptied first), as start-up reads the
// databases. A part an other version does not have is the day's own.
BackupDay ReadBackupDay(const std::string& dataDir, const std::string& date, TCatalogue& into,
                        const std::string& version = {});

// Every version of BackupVersions, each read and let go (for a list of them).
std::vector<BackupDay> ReadBackupDays(const std::string& dataDir);

// What restoring a backup would do to the catalogue. Items are matched by
// number, characters by name: one in the backup only comes back (Added), one
// in the catalogue only goes (Removed), one in both with other content (for a
// character: other texts or other items held) is Changed.
struct RestoreCounts {
  std::size_t Added = 0;
  std::size_t Removed = 0;
  std::size_t Changed = 0;
  bool operator==(const RestoreCounts&) const = default;
};
// The first of each kind of change, by name: items as "1 204 « Épée »" (the
// number alone for an item without a name), characters as "« Zoe »"
// (Windows-1252); the removed ones in number or row order, the others in the
// backup's order.
constexpr std::size_t kRestoreNamesListed = 50;
struct RestoreNames {
  std::vector<std::string> Added;
  std::vector<std::string> Removed;
  std::vector<std::string> Changed;
};
struct RestorePreview {
  RestoreCounts Items;
  RestoreCounts Chars;
  RestoreNames ItemNames;
  RestoreNames CharNames;
  bool ChangesNothing() const { return Items == RestoreCounts() && Chars == RestoreCounts(); }
};
RestorePreview PreviewRestore(const TCatalogue& current, const TCatalogue& backup);

// "objets : 3 ajoutés, 2 supprimés, 1 modifié" and the same for "personnages",
// one line each (Windows-1252, numbers grouped by three).
std::string RestorePreviewText(const RestorePreview& preview);
// What would change, named: for each kind of change that has some, a heading
// with its count, "Objets ajoutés (3) :", then one indented line per name
// listed and "et N autres" for the rest (Windows-1252, lines ending in "\n").
std::string RestorePreviewList(const RestorePreview& preview);
// "7 décembre 2026" for "2026-12-07" (Windows-1252); the text itself when it is no such date.
std::string BackupDateText(const std::string& date);

// Puts the backup's items and characters in the place of the catalogue's, in
// one operation (ReplaceContent). An item the catalogue holds unchanged keeps
// its object, so that the history keeping the previous catalogue costs little.
// The numbering is never set back.
void RestoreBackup(TCatalogue& current, TCatalogue&& backup);

}  // namespace kistora
