// Taking in what a sync tool put in the data folder: a database replaced in
// place of this copy's last version, this copy's version put aside as a
// conflict copy, and each tool's conflict copies, merged and put away; an
// unreadable version waits and is named once.
#include "merge/folder_sync.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core_test_support.h"
#include "storage/database.h"

namespace kistora {
namespace {

using namespace testing;

// A data folder open in a program: its catalogue, store and sync (with its own state folder).
struct OpenFolder {
  TempDir dir, state;
  TCatalogue catalogue;
  std::unique_ptr<CatalogueStore> store;
  std::unique_ptr<FolderSync> sync;

  explicit OpenFolder(const TCatalogue& files) {
    SaveItems(files, dir.File("items.kdb"));
    SaveChars(files, dir.File("chars.kdb"));
    Open();
  }
  void Open() {
    sync.reset();
    store = std::make_unique<CatalogueStore>(dir.Path());
    store->ReadAtStartup(catalogue, DatabaseKind::Items);
    store->ReadAtStartup(catalogue, DatabaseKind::Chars);
    catalogue.SyncLastItemIndex();
    store->Track(catalogue);
    store->HoldBackOutsideChanges(true);
    sync = std::make_unique<FolderSync>(catalogue, *store, SyncState(state.Path() + "/"), nullptr);
    sync->Started();
  }
  // Writes catalogue beside the database and renames it in, as a sync tool does.
  void Arrive(const TCatalogue& other, const std::string& name = "items.kdb") const {
    SaveItems(other, dir.File(".incoming"));
    ASSERT_EQ(std::rename(dir.File(".incoming").c_str(), dir.File(name).c_str()), 0);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const ItemPtr& item : catalogue.ItemList) names.push_back(std::string(item->Name));
    return names;
  }
};

TCatalogue Base() {
  TCatalogue c;
  AddItem(c, 1, "Anneau");
  AddItem(c, 2, "Heaume");
  AddChar(c, "Mule", {1});
  return c;
}

TEST(FolderSync, AReplacedFileMergesFromWhatItReplacedAndAConflictFromWhatBothShared) {
  // Replaced in place: the other machine had this copy's last version and deleted 2, added 3.
  OpenFolder folder(Base());
  TCatalogue other = Base();
  other.DeleteItem(2);
  AddItem(other, 3, "Bottes");
  folder.Arrive(other);
  // A change of this copy's meanwhile: its save waits, the file on disk is not written over.
  folder.catalogue.AddNewItem(std::make_unique<TD2Ring>());
  folder.store->WaitIdle();
  EXPECT_EQ(ReadBytes(folder.dir.File("items.kdb")).size(), [&] {
    SaveItems(other, folder.state.File("other"));
    return ReadBytes(folder.state.File("other")).size();
  }());
  ASSERT_TRUE(folder.sync->HasNews(folder.sync->LookAtFolder()));
  const TakeInOutcome outcome = folder.sync->TakeIn();
  EXPECT_TRUE(outcome.Changed);
  // The disk keeps its numbers; this copy's new item takes the next one.
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Anneau", "Bottes", ""}));
  EXPECT_EQ(outcome.Summary,
            "Catalogue mis \xE0 jour depuis le disque : 1 objet ajout\xE9, 1 modifi\xE9, 1 supprim\xE9");
  EXPECT_EQ(folder.catalogue.ItemList.back()->Index, 4);
  folder.store->WaitIdle();
  EXPECT_FALSE(folder.sync->HasNews(folder.sync->LookAtFolder()));

  // Both changed at once: the sync tool put this copy's version aside. What this
  // copy added since the version both shared stays; the other's deletion of 1 too.
  folder.store->WaitIdle();
  ASSERT_EQ(std::rename(folder.dir.File("items.kdb").c_str(),
                        folder.dir.File("items.sync-conflict-20261208-101010-MINEAAA.kdb").c_str()),
            0);
  TCatalogue theirs = Base();  // the version both shared, then 1 deleted there
  theirs.DeleteItem(2);
  theirs.DeleteItem(1);
  AddItem(theirs, 3, "Bottes");
  folder.Arrive(theirs);
  const TakeInOutcome concurrent = folder.sync->TakeIn();
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Bottes", ""}));
  EXPECT_EQ(concurrent.CopiesMerged, (std::vector<std::string>{"items.sync-conflict-20261208-101010-MINEAAA.kdb"}));
  EXPECT_EQ(
      TempDir::Entries(folder.dir.File("backups/merged")).count("items.sync-conflict-20261208-101010-MINEAAA.kdb"), 1u);
}

TEST(FolderSync, EachToolsConflictCopiesAreMergedAndPutAwayAndAnUnreadableOneWaits) {
  OpenFolder folder(Base());
  const char* const copies[] = {"items.sync-conflict-20261208-153012-ABCDEFG.kdb",
                                "items (conflicted copy 2026-12-08 153012).kdb",
                                "items (Portable's conflicted copy 2026-12-08).kdb", "items.kdb.conflict"};
  int number = 10;
  for (const char* name : copies) {
    TCatalogue other = Base();
    AddItem(other, number++, name);
    folder.Arrive(other, name);
  }
  TCatalogue withChars = Base();
  withChars.CharList[0]->Items.push_back(2);
  SaveChars(withChars, folder.dir.File("chars.sync-conflict-20261208-153012-ABCDEFG.kdb"));
  WriteBytes(folder.dir.File("items.sync-conflict-20261208-160000-ZZZZZZZ.kdb"), "DBIL\x01\x00\x00\x00\x05");
  WriteBytes(folder.dir.File("kistora.sync-conflict-20261208-153012-ABCDEFG.lock"), "4242 portable\n");
  WriteBytes(folder.dir.File("kistora.sync-conflict-20261208-153012-ABCDEFG.ini"), "[Main]\n");
  WriteBytes(folder.dir.File("last-exports (conflicted copy 2026-12-08 153012).txt"), "html\n");

  const TakeInOutcome outcome = folder.sync->TakeIn();
  EXPECT_EQ(folder.catalogue.ItemList.size(), 6u) << "each copy's item came in";
  EXPECT_EQ(folder.catalogue.CharList[0]->Items, (std::vector<std::int32_t>{1, 2})) << "the characters' copy too";
  EXPECT_EQ(outcome.Unreadable,
            (std::vector<std::string>{folder.dir.File("items.sync-conflict-20261208-160000-ZZZZZZZ.kdb")}));
  folder.store->WaitIdle();  // the merged catalogue's save runs in the background
  EXPECT_EQ(
      TempDir::Entries(folder.dir.Path()),
      (std::set<std::string>{"items.kdb", "chars.kdb", "backups", "items.sync-conflict-20261208-160000-ZZZZZZZ.kdb"}))
      << "merged copies put away, the lock's dropped, the unreadable one left";
  EXPECT_EQ(TempDir::Entries(folder.dir.File("backups/merged")).size(), 7u);

  // The unreadable copy is not read again, and is named once after a while.
  EXPECT_FALSE(folder.sync->HasNews(folder.sync->LookAtFolder()));
  const auto later = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  EXPECT_EQ(folder.sync->TroubleToTell(later).size(), 1u);
  EXPECT_TRUE(folder.sync->TroubleToTell(later).empty());
}

TEST(FolderSync, TheCommonVersionAndTheNumbersLastAcrossARestart) {
  OpenFolder folder(Base());
  folder.catalogue.AddNewItem(std::make_unique<TD2Ring>());
  folder.catalogue.DeleteItem(3);  // number 3 handed out, then gone
  folder.store->WaitIdle();

  folder.Open();  // the next run: the files are this copy's own, the shared version stays the first
  folder.sync->RaiseLastItemIndex();
  EXPECT_EQ(folder.catalogue.NewItemIndex(), 4) << "never 3 again";
  // This copy's version put aside while closed: what it added since the shared version stays.
  TCatalogue theirs = Base();
  theirs.DeleteItem(2);
  ASSERT_EQ(std::rename(folder.dir.File("items.kdb").c_str(), folder.dir.File("items (conflicted copy 1).kdb").c_str()),
            0);
  folder.Arrive(theirs);
  folder.Open();
  folder.sync->TakeIn();
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Anneau"})) << "2 deleted there, unchanged here";
}

}  // namespace
}  // namespace kistora
