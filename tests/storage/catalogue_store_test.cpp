// The catalogue store: saving as you go writes what the close would, a file
// changed behind the program's back is kept aside, backups are taken once a
// day and pruned, a failure is told once and retried, a damaged original is
// kept before the first write.
#include "storage/catalogue_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <fstream>

#include "core_test_support.h"
#include "storage/database.h"
#include "storage/file_ops.h"

namespace kistora {
namespace {

using namespace testing;

// A data folder holding a ring, a shield and one character, read back by a store.
struct Folder {
  TempDir dir;
  TCatalogue catalogue;

  Folder() {
    TCatalogue start;
    AddItem<TD2Ring>(start, 1, "Bague", 1, 100);
    AddItem<TD2Shield>(start, 2, "Bouclier");
    AddPaladin(start, "Zoe", {1, 2, 1}, "42");
    SaveItems(start, dir.File("items.kdb"));
    SaveChars(start, dir.File("chars.kdb"));
  }
  void Load(CatalogueStore& store) {
    ASSERT_EQ(store.ReadAtStartup(catalogue, DatabaseKind::Items).State, StartupReadState::Clean);
    ASSERT_EQ(store.ReadAtStartup(catalogue, DatabaseKind::Chars).State, StartupReadState::Clean);
    catalogue.SyncLastItemIndex();
  }
  // The bytes the close would write now.
  std::string ItemsBytes() const {
    TempDir scratch;
    SaveItems(catalogue, scratch.File("items.kdb"));
    return ReadBytes(scratch.File("items.kdb"));
  }
  std::string CharsBytes() const {
    TempDir scratch;
    SaveChars(catalogue, scratch.File("chars.kdb"));
    return ReadBytes(scratch.File("chars.kdb"));
  }
  std::string Items() const { return ReadBytes(dir.File("items.kdb")); }
  std::string Chars() const { return ReadBytes(dir.File("chars.kdb")); }
};

// The character fields a dialog gives: a name and notes.
TChar Fields(const char* name, const char* notes) {
  TChar fields;
  fields.Name = name;
  fields.Notes = notes;
  return fields;
}

std::unique_ptr<TD2Item> Amulet(const char* name) {
  auto amulet = std::make_unique<TD2Amulet>();
  amulet->Name = name;
  return amulet;
}

TEST(CatalogueStore, SavesAsYouGoWhatTheCloseWouldAndNothingAfterTheClose) {
  Folder folder;
  CatalogueStore store(folder.dir.Path(), [] { return std::string("2026-12-07"); });
  folder.Load(store);
  store.Track(folder.catalogue);

  const std::string charsBefore = folder.Chars();
  folder.catalogue.AddNewItem(Amulet("Amulette"));
  store.WaitIdle();
  EXPECT_EQ(folder.Items(), folder.ItemsBytes());
  EXPECT_EQ(folder.Chars(), charsBefore) << "an item added leaves the characters file alone";

  folder.catalogue.AddItemToChar(0, 3);
  folder.catalogue.DeleteItem(2);  // leaves every inventory too
  store.WaitIdle();
  EXPECT_EQ(folder.Items(), folder.ItemsBytes());
  EXPECT_EQ(folder.Chars(), folder.CharsBytes());
  EXPECT_TRUE(store.TakeReports().empty());

  // A snapshot writes the same bytes as the catalogue it was taken from.
  std::vector<TChar> characters{*folder.catalogue.CharList[0]};
  ItemBlockMirror mirror;
  mirror.Rebuild(folder.catalogue.ItemList);
  SaveItems(mirror.Snapshot(), folder.dir.File("copy-items.kdb"));
  SaveChars(characters, folder.dir.File("copy-chars.kdb"));
  EXPECT_EQ(ReadBytes(folder.dir.File("copy-items.kdb")), folder.ItemsBytes());
  EXPECT_EQ(ReadBytes(folder.dir.File("copy-chars.kdb")), folder.CharsBytes());

  ASSERT_TRUE(store.SaveAtClose(folder.catalogue).Ok());
  const std::string items = folder.Items();
  const std::string chars = folder.Chars();
  folder.catalogue.Clear();  // the close frees everything: that must never reach the files
  store.WaitIdle();
  EXPECT_EQ(folder.Items(), items);
  EXPECT_EQ(folder.Chars(), chars);
}

TEST(CatalogueStore, AFileChangedBehindItsBackIsKeptAsAConflictAndTold) {
  Folder folder;
  CatalogueStore store(folder.dir.Path(), [] { return std::string("2026-12-07"); });
  folder.Load(store);
  const std::string path = folder.dir.File("items.kdb");

  folder.catalogue.AddNewItem(Amulet("Mine"));
  store.ScheduleSave(folder.catalogue, true, false);
  store.WaitIdle();
  EXPECT_TRUE(store.TakeReports().empty()) << "a file this store wrote is no conflict";

  WriteBytes(path, "a version restored by a sync tool");
  folder.catalogue.AddNewItem(Amulet("Mine too"));
  store.ScheduleSave(folder.catalogue, true, false);
  store.WaitIdle();
  const std::vector<SaveReport> reports = store.TakeReports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].Ok());
  ASSERT_EQ(reports[0].Conflicts.size(), 1u);
  EXPECT_EQ(reports[0].Conflicts[0].Kind, DatabaseKind::Items);
  EXPECT_EQ(reports[0].Conflicts[0].Path, path);
  EXPECT_EQ(reports[0].Conflicts[0].KeptAs, path + ".conflict");
  EXPECT_EQ(ReadBytes(path + ".conflict"), "a version restored by a sync tool");
  EXPECT_EQ(folder.Items(), folder.ItemsBytes());

  // Replaced again (same size, another file): the next copy takes the next name.
  WriteBytes(path + ".new", folder.Items());
  ASSERT_EQ(::rename((path + ".new").c_str(), path.c_str()), 0);
  const SaveReport close = store.SaveNow(folder.catalogue);
  ASSERT_EQ(close.Conflicts.size(), 1u);
  EXPECT_EQ(close.Conflicts[0].KeptAs, path + ".conflict.2");
  EXPECT_EQ(ReadBytes(path + ".conflict"), "a version restored by a sync tool");
  EXPECT_EQ(folder.dir.Entries(),
            (std::set<std::string>{"backups", "chars.kdb", "items.kdb", "items.kdb.conflict", "items.kdb.conflict.2"}));
}

TEST(CatalogueStore, AFileRewrittenInPlaceWithTheSameSizeIsAConflictToo) {
  Folder folder;
  CatalogueStore store(folder.dir.Path(), [] { return std::string("2026-12-07"); });
  folder.Load(store);
  const std::string path = folder.dir.File("items.kdb");
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);

  // An editor or a sync tool writes other bytes into the same file, of the
  // same size: the same file, the same size, only its time tells.
  std::string other = folder.Items();
  other.back() = static_cast<char>(other.back() ^ 1);
  {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.write(other.data(), static_cast<std::streamsize>(other.size()));
  }
  const timespec times[2] = {{0, UTIME_OMIT}, {before.st_mtim.tv_sec + 2, before.st_mtim.tv_nsec}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  ASSERT_EQ(after.st_ino, before.st_ino);
  ASSERT_EQ(after.st_size, before.st_size);

  folder.catalogue.AddNewItem(Amulet("Mine"));
  const SaveReport report = store.SaveNow(folder.catalogue);
  ASSERT_EQ(report.Conflicts.size(), 1u) << "the other version must not be overwritten silently";
  EXPECT_EQ(ReadBytes(path + ".conflict"), other);
  EXPECT_EQ(folder.Items(), folder.ItemsBytes());
}

TEST(CatalogueStore, BackupsTakenOnceADayPrunedTo14DaysOthersUntouched) {
  Folder folder;
  const std::string backups = folder.dir.File("backups");
  ASSERT_EQ(::mkdir(backups.c_str(), 0777), 0);
  for (int day = 1; day <= 15; ++day) {
    const std::string date = "2026-11-" + std::string(day < 10 ? "0" : "") + std::to_string(day);
    WriteBytes(backups + "/items-" + date + ".kdb", "old");
    WriteBytes(backups + "/chars-" + date + ".kdb", "old");
  }
  const std::set<std::string> others = {"notes.txt", "items-2026-11-01.kdb.old", "items-2026-1-01.kdb",
                                        "stash-2026-11-01.kdb", "items-2026-11-00.kdb"};
  for (const std::string& name : others) WriteBytes(backups + "/" + name, "the player's");

  std::string today = "2026-12-07";  // only SaveNow runs here: the worker never reads it
  CatalogueStore store(folder.dir.Path(), [&] { return today; });
  folder.Load(store);
  const std::string items = folder.Items();
  const std::string chars = folder.Chars();
  folder.catalogue.AddNewItem(Amulet("A"));
  SaveReport report = store.SaveNow(folder.catalogue);
  ASSERT_TRUE(report.Ok());
  EXPECT_EQ(report.BackupsMade,
            (std::vector<std::string>{backups + "/items-2026-12-07.kdb", backups + "/chars-2026-12-07.kdb"}));
  folder.catalogue.AddNewItem(Amulet("B"));
  ASSERT_TRUE(store.SaveNow(folder.catalogue).Ok());
  EXPECT_EQ(ReadBytes(backups + "/items-2026-12-07.kdb"), items) << "the day's first backup stays";
  EXPECT_EQ(ReadBytes(backups + "/chars-2026-12-07.kdb"), chars);

  std::set<std::string> expected = others;
  for (const char* date :
       {"2026-12-07", "2026-11-15", "2026-11-14", "2026-11-13", "2026-11-12", "2026-11-11", "2026-11-10", "2026-11-09",
        "2026-11-08", "2026-11-07", "2026-11-06", "2026-11-05", "2026-11-04", "2026-11-03"}) {
    expected.insert(std::string("items-") + date + ".kdb");
    expected.insert(std::string("chars-") + date + ".kdb");
  }
  EXPECT_EQ(TempDir::Entries(backups), expected);

  today = "2026-12-08";
  const std::string itemsOfTheEvening = folder.Items();
  folder.catalogue.AddNewItem(Amulet("C"));
  ASSERT_TRUE(store.SaveNow(folder.catalogue).Ok());
  EXPECT_EQ(ReadBytes(backups + "/items-2026-12-08.kdb"), itemsOfTheEvening);
  EXPECT_EQ(TempDir::Entries(backups).count("items-2026-11-03.kdb"), 0u);
  EXPECT_EQ(TempDir::Entries(backups).count("items-2026-11-04.kdb"), 1u);
  EXPECT_EQ(TempDir::Entries(backups).count("notes.txt"), 1u);
}

// Fails every write with a full disk while switched on.
class FullDisk final : public FileOps {
 public:
  ssize_t Write(int fd, const void* buf, size_t count) override {
    if (!full) return FileOps::Write(fd, buf, count);
    errno = ENOSPC;
    return -1;
  }
  std::atomic<bool> full{true};
};

TEST(CatalogueStore, AFailureIsToldOnceUntilASaveSucceedsAndWhatFailedIsRetried) {
  Folder folder;
  CatalogueStore store(folder.dir.Path(), [] { return std::string("2026-12-07"); });
  folder.Load(store);
  std::atomic<int> ready{0};
  store.SetReportsReady([&] { ++ready; });
  const std::string items = folder.Items();
  const std::string path = folder.dir.File("items.kdb");

  FullDisk disk;
  ScopedFileOps scoped(disk);
  folder.catalogue.AddNewItem(Amulet("Perdue?"));
  store.ScheduleSave(folder.catalogue, true, false);
  store.WaitIdle();
  std::vector<SaveReport> reports = store.TakeReports();
  ASSERT_EQ(reports.size(), 1u);
  ASSERT_TRUE(reports[0].Failure);
  EXPECT_EQ(reports[0].Failure->Kind, DatabaseKind::Items);
  EXPECT_EQ(reports[0].Failure->Action, FileAction::Create);
  EXPECT_EQ(reports[0].Failure->Path, path);
  EXPECT_EQ(reports[0].Failure->Errno, ENOSPC);
  EXPECT_FALSE(reports[0].Failure->KeepFailed);
  EXPECT_EQ(ready.load(), 1);
  EXPECT_EQ(folder.Items(), items);

  folder.catalogue.ModifyChar(0, Fields("Zoe", "encore"));
  store.ScheduleSave(folder.catalogue, false, true);
  store.WaitIdle();
  EXPECT_TRUE(store.TakeReports().empty()) << "told once";
  EXPECT_EQ(ready.load(), 1);

  disk.full = false;  // room made: the next change writes what failed before it
  folder.catalogue.ModifyChar(0, Fields("Zoe", "enfin"));
  store.ScheduleSave(folder.catalogue, false, true);
  store.WaitIdle();
  EXPECT_TRUE(store.TakeReports().empty());
  EXPECT_EQ(folder.Items(), folder.ItemsBytes());
  EXPECT_EQ(folder.Chars(), folder.CharsBytes());

  disk.full = true;  // after a success a new failure is told again, and the close always tells its own
  folder.catalogue.AddNewItem(Amulet("B"));
  store.ScheduleSave(folder.catalogue, true, false);
  store.WaitIdle();
  EXPECT_EQ(store.TakeReports().size(), 1u);
  const SaveReport close = store.SaveAtClose(folder.catalogue);
  ASSERT_TRUE(close.Failure);
  EXPECT_EQ(close.Failure->Path, path);
  disk.full = false;
  folder.catalogue.ModifyChar(0, Fields("Zoe", ""));
  store.ScheduleSave(folder.catalogue, false, true);  // a failed close leaves saving as you go on
  store.WaitIdle();
  EXPECT_EQ(folder.Items(), folder.ItemsBytes());
  EXPECT_EQ(folder.Chars(), folder.CharsBytes());
}

TEST(CatalogueStore, ADamagedOriginalIsKeptBeforeTheFirstWriteOnly) {
  Folder folder;
  std::string cut = folder.Items();
  cut.resize(cut.size() - 3);
  WriteBytes(folder.dir.File("items.kdb"), cut);
  CatalogueStore store(folder.dir.Path(), [] { return std::string("2026-12-07"); });
  EXPECT_EQ(store.ReadAtStartup(folder.catalogue, DatabaseKind::Items).State, StartupReadState::Damaged);
  store.ReadAtStartup(folder.catalogue, DatabaseKind::Chars);
  folder.catalogue.AddNewItem(Amulet("A"));
  store.ScheduleSave(folder.catalogue, true, false);
  store.WaitIdle();
  EXPECT_EQ(ReadBytes(folder.dir.File("items.kdb.damaged")), cut);
  EXPECT_EQ(folder.Items(), folder.ItemsBytes());
  ASSERT_TRUE(store.SaveNow(folder.catalogue).Ok());
  EXPECT_EQ(folder.dir.Entries(), (std::set<std::string>{"backups", "chars.kdb", "items.kdb", "items.kdb.damaged"}));
}

}  // namespace
}  // namespace kistora
