// Restoring a day's backup: what it would change, the days that cannot be
// restored, reading them in the background, and the restore as one step of the history.
#include "storage/backup_restore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <mutex>

#include "core_test_support.h"
#include "model/catalogue_history.h"
#include "storage/backup_reader.h"
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
  EXPECT_EQ(RestorePreviewList(preview), W("Objets ajoutés (1) :\n  4 «\u00A0Hache\u00A0»\n"
                                           "Objets supprimés (1) :\n  3 «\u00A0Bottes\u00A0»\n"
                                           "Objets modifiés (1) :\n  2 «\u00A0Heaume\u00A0»\n"
                                           "Personnages ajoutés (1) :\n  «\u00A0Max\u00A0»\n"
                                           "Personnages supprimés (1) :\n  «\u00A0Ana\u00A0»\n"
                                           "Personnages modifiés (1) :\n  «\u00A0Zoe\u00A0»\n"));
  EXPECT_TRUE(PreviewRestore(current, current).ChangesNothing());
  EXPECT_EQ(RestorePreviewList(PreviewRestore(current, current)), "");
  // Past the first fifty of a kind, the rest are counted.
  TCatalogue many;
  for (std::int32_t n = 1; n <= 1053; ++n) AddItem<TD2Ring>(many, 1000 + n, n == 1 ? "" : "Anneau");
  const std::string list = RestorePreviewList(PreviewRestore(current, many));
  EXPECT_EQ(list.rfind(W("Objets ajoutés (1\u00A0053) :\n  1\u00A0001\n  1\u00A0002 «\u00A0Anneau\u00A0»\n"), 0), 0u)
      << list;
  EXPECT_NE(list.find(W("  1\u00A0050 «\u00A0Anneau\u00A0»\n  et 1\u00A0003 autres\nObjets supprimés (3) :")),
            std::string::npos)
      << list;
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

TEST(BackupReader, ListsTheDaysAtOnceThenReadsThemInTheBackground) {
  BackupFolder folder;
  TCatalogue current, backup;
  MakeBoth(current, backup);
  folder.Write(backup, "2026-12-03");
  folder.Write(backup, "2026-12-02");
  const std::string items = ReadBytes(folder.File("items", "2026-12-03"));
  WriteBytes(folder.File("items", "2026-12-03"), items.substr(0, items.size() - 5));
  WriteBytes(folder.File("items", "2026-12-01"), items);  // its characters missing

  const std::vector<BackupDayFiles> listed = ListBackupDays(folder.dir.Path());
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[0].Date, "2026-12-03");
  EXPECT_EQ(listed[0].ItemsBytes, items.size() - 5);
  EXPECT_FALSE(listed[1].Incomplete());
  EXPECT_TRUE(listed[2].Incomplete());

  std::mutex mutex;
  std::vector<std::pair<BackupDay, std::size_t>> reported;  // the day, and the items handed over (0: none)
  BackupReader reader(folder.dir.Path(), [&](const BackupDay& day, std::unique_ptr<TCatalogue> catalogue) {
    const std::lock_guard lock(mutex);
    reported.emplace_back(day, catalogue ? catalogue->ItemList.size() + 1 : 0);
  });
  reader.ReadWhole({"2026-12-02", ""});
  reader.WaitIdle();
  reader.Check({{"2026-12-03", ""}});
  reader.WaitIdle();
  ASSERT_EQ(reported.size(), 2u);
  EXPECT_TRUE(reported[0].first.Usable());
  EXPECT_EQ(reported[0].second, 4u) << "the day asked for whole comes with its three items";
  EXPECT_EQ(reported[1].first.Items.State, StartupReadState::Damaged);
  EXPECT_EQ(reported[1].second, 0u) << "a day only checked is let go";
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
