// Restoring a day's backup: what it would change, the days that cannot be
// restored, and the restore as one step of the history.
#include "storage/backup_restore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core_test_support.h"
#include "model/catalogue_history.h"
#include "storage/daily_backups.h"
#include "storage/database.h"

namespace kistora {
namespace {

using namespace testing;

struct BackupFolder {
  TempDir dir;
  BackupFolder() { ::mkdir(dir.File("backups").c_str(), 0777); }
  std::string File(const char* kind, const char* date) const {
    return dir.File(std::string("backups/") + kind + "-" + date + ".kdb");
  }
  void Write(const TCatalogue& catalogue, const char* date) const {
    SaveItems(catalogue, File("items", date));
    SaveChars(catalogue, File("chars", date));
  }
};

// Items 1, 2, 3 and Zoe, Ana; the backup had items 1, 2 (another price), 4 and Zoe (other items), Max.
void MakeBoth(TCatalogue& current, TCatalogue& backup) {
  AddItem<TD2Ring>(current, 1, "Anneau", 1, 10);
  AddItem<TD2Helm>(current, 2, "Heaume", 5, 20);
  AddItem<TD2Boots>(current, 3, "Bottes");
  AddPaladin(current, "Zoe", {1, 2}, "42");
  AddPaladin(current, "Ana", {3}, "7");
  AddItem<TD2Ring>(backup, 1, "Anneau", 1, 10);
  AddItem<TD2Helm>(backup, 2, "Heaume", 5, 25);
  AddItem<TD2Weapon>(backup, 4, "Hache");
  AddPaladin(backup, "Zoe", {1}, "42");
  AddPaladin(backup, "Max", {4}, "12");
}

TEST(BackupRestore, PreviewCountsWhatWouldComeGoAndChange) {
  TCatalogue current, backup;
  MakeBoth(current, backup);
  const RestorePreview preview = PreviewRestore(current, backup);
  EXPECT_EQ(preview.Items, (RestoreCounts{1, 1, 1}));
  EXPECT_EQ(preview.Chars, (RestoreCounts{1, 1, 1}));
  EXPECT_EQ(RestorePreviewText(preview), W("objets : 1 ajouté, 1 supprimé, 1 modifié\n"
                                           "personnages : 1 ajouté, 1 supprimé, 1 modifié\n"));
  EXPECT_TRUE(PreviewRestore(current, current).ChangesNothing());
  EXPECT_EQ(BackupDateText("2026-12-01"), W("1er décembre 2026"));
  EXPECT_EQ(BackupDateText("2026-02-17"), W("17 février 2026"));
}

TEST(BackupRestore, ADamagedOrIncompleteDayIsListedButCannotBeRestored) {
  BackupFolder folder;
  TCatalogue current, backup;
  MakeBoth(current, backup);
  folder.Write(backup, "2026-12-03");
  folder.Write(backup, "2026-12-02");
  folder.Write(backup, "2026-12-01");
  // The 3rd cut short, the 1st without its characters.
  const std::string items = ReadBytes(folder.File("items", "2026-12-03"));
  WriteBytes(folder.File("items", "2026-12-03"), items.substr(0, items.size() - 5));
  ::unlink(folder.File("chars", "2026-12-01").c_str());
  WriteBytes(folder.dir.File("backups/notes.txt"), "rien");

  const std::vector<BackupDay> days = ReadBackupDays(folder.dir.Path());
  ASSERT_EQ(days.size(), 3u);
  EXPECT_EQ(days[0].Date, "2026-12-03");
  EXPECT_FALSE(days[0].Usable());
  EXPECT_EQ(days[0].Items.State, StartupReadState::Damaged);
  EXPECT_TRUE(days[1].Usable());
  EXPECT_EQ(days[1].Items.RecordsKept, 3u);
  EXPECT_EQ(days[1].Chars.RecordsKept, 2u);
  EXPECT_FALSE(days[2].Usable());
  EXPECT_TRUE(days[2].Incomplete());
}

TEST(BackupRestore, ASyncToolsOtherVersionOfADayIsListedWithItAndPrunedWithIt) {
  BackupFolder folder;
  TCatalogue current, backup;
  MakeBoth(current, backup);
  folder.Write(backup, "2026-12-02");
  folder.Write(current, "2026-12-01");
  // Both machines backed the 2nd up apart: Syncthing kept the other items.kdb, Dropbox another one.
  SaveItems(current, folder.dir.File("backups/items-2026-12-02.sync-conflict-20261202-101500-ABCDEFG.kdb"));
  SaveItems(current, folder.dir.File("backups/items-2026-12-02 (Portable's conflicted copy 2026-12-02).kdb"));
  WriteBytes(folder.dir.File("backups/items-2026-12-02.old.kdb"), "not a backup's name");

  const std::vector<BackupDay> days = ReadBackupDays(folder.dir.Path());
  ASSERT_EQ(days.size(), 4u);
  EXPECT_EQ(days[0].Version, "");
  EXPECT_EQ(days[1].Version, " (Portable's conflicted copy 2026-12-02)");
  EXPECT_EQ(days[2].Version, ".sync-conflict-20261202-101500-ABCDEFG");
  EXPECT_EQ(days[3].Date, "2026-12-01");
  // The other version's items, with the day's own characters (that file had no other version).
  EXPECT_TRUE(days[2].Usable());
  EXPECT_EQ(days[2].Items.RecordsKept, current.ItemList.size());
  EXPECT_EQ(days[2].Chars.Path, folder.File("chars", "2026-12-02"));

  // A day pruned goes with its other versions; a name of no backup stays.
  EXPECT_EQ(PruneBackups(folder.dir.File("backups"), 1, "2026-12-01"), 0u);
  EXPECT_EQ(PruneBackups(folder.dir.File("backups"), 0, "2026-12-01"), 4u);
  EXPECT_EQ(TempDir::Entries(folder.dir.File("backups")),
            (std::set<std::string>{"items-2026-12-01.kdb", "chars-2026-12-01.kdb", "items-2026-12-02.old.kdb"}));
}

TEST(BackupRestore, RestoreIsOneStepThatKeepsUnchangedItemsAndNeverLowersNumbering) {
  BackupFolder folder;
  TCatalogue current, backup;
  MakeBoth(current, backup);
  folder.Write(backup, "2026-12-02");
  current.LastItemIndex = 50;
  const ItemPtr unchanged = current.ItemList[0];
  const auto saved = [&](const TCatalogue& c) {
    SaveItems(c, folder.dir.File("items.kdb"));
    SaveChars(c, folder.dir.File("chars.kdb"));
    return ReadBytes(folder.dir.File("items.kdb")) + ReadBytes(folder.dir.File("chars.kdb"));
  };
  const std::string before = saved(current);
  CatalogueHistory history(current);
  TCatalogue read;
  ASSERT_TRUE(ReadBackupDay(folder.dir.Path(), "2026-12-02", read).Usable());
  RestoreBackup(current, std::move(read));
  EXPECT_EQ(saved(current), saved(backup));
  EXPECT_EQ(current.ItemList[0], unchanged);  // the same object, shared with the kept catalogue
  EXPECT_EQ(current.LastItemIndex, 50);
  EXPECT_EQ(history.StepCount(), 1u);
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(saved(current), before);
  ASSERT_TRUE(history.Redo());
  EXPECT_EQ(saved(current), saved(backup));
}

}  // namespace
}  // namespace kistora
