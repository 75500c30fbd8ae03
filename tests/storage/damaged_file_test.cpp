// A database file that is there but not read cleanly: how start-up classes
// it, the name its original is kept under, and the copy itself, which must be
// whole and on disk before a save may replace the file, or not be there at all.
#include "storage/damaged_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "core_test_support.h"
#include "storage/database.h"
#include "storage/file_error.h"
#include "storage/file_ops.h"
#include "storage/stale_temporaries.h"

namespace kistora {
namespace {

using namespace testing;

TCatalogue ThreeItemsTwoChars() {
  TCatalogue catalogue;
  for (std::int32_t n = 1; n <= 3; ++n) AddItem(catalogue, n, "Anneau " + std::to_string(n));
  for (const char* name : {"Zoe", "Alric"}) AddChar(catalogue, name, {1, 2});
  return catalogue;
}

// The two database files of ThreeItemsTwoChars, as bytes.
struct GoodFiles {
  std::string items, chars;
};

GoodFiles WriteGoodFiles(const TempDir& dir) {
  const TCatalogue catalogue = ThreeItemsTwoChars();
  SaveItems(catalogue, dir.File("items.kdb"));
  SaveChars(catalogue, dir.File("chars.kdb"));
  return {ReadBytes(dir.File("items.kdb")), ReadBytes(dir.File("chars.kdb"))};
}

StartupRead Read(DatabaseKind kind, const std::string& path) {
  TCatalogue catalogue;
  return ReadDatabaseAtStartup(catalogue, kind, path);
}

TEST(StartupRead, NothingThereIsAFirstRunAndSomethingUnopenableMustBeKept) {
  TempDir dir;
  // Missing, under a regular file, or a link to nothing: no file, nothing to keep.
  WriteBytes(dir.File("plain"), "x");
  ASSERT_EQ(::symlink("nowhere.kdb", dir.File("link.kdb").c_str()), 0);
  for (const std::string& path : {dir.File("items.kdb"), dir.File("plain/items.kdb"), dir.File("link.kdb")}) {
    const StartupRead read = Read(DatabaseKind::Items, path);
    EXPECT_EQ(read.State, StartupReadState::Missing) << path;
    EXPECT_FALSE(read.NeedsKeeping()) << path;
    EXPECT_EQ(read.Path, path);
  }
  // A folder in the file's place is there but cannot be read, and is named as such.
  ASSERT_EQ(::mkdir(dir.File("chars.kdb").c_str(), 0755), 0);
  const StartupRead folder = Read(DatabaseKind::Chars, dir.File("chars.kdb"));
  EXPECT_EQ(folder.State, StartupReadState::Folder);
  EXPECT_EQ(folder.RecordsKept, 0u);
  EXPECT_TRUE(folder.NeedsKeeping());
}

TEST(StartupRead, FormatFaultsSayWhatWasKept) {
  TempDir dir;
  const GoodFiles good = WriteGoodFiles(dir);
  struct Case {
    const char* what;
    DatabaseKind kind;
    std::string bytes;
    StartupReadState state;
    std::size_t kept;
  };
  std::string wrongRecordMagic = good.items;
  wrongRecordMagic[12 + 3] = 'T';  // the first record's magic: "DBIT"
  std::string wrongCharMagic = good.chars;
  wrongCharMagic[12] = 'X';
  const Case cases[] = {
      {"clean items", DatabaseKind::Items, good.items, StartupReadState::Clean, 3},
      {"clean chars", DatabaseKind::Chars, good.chars, StartupReadState::Clean, 2},
      {"empty file", DatabaseKind::Items, "", StartupReadState::BadMagic, 0},
      {"lower-case magic", DatabaseKind::Items, "DBIl" + good.items.substr(4), StartupReadState::BadMagic, 0},
      {"item magic in chars.kdb", DatabaseKind::Chars, good.items, StartupReadState::BadMagic, 0},
      {"version 2", DatabaseKind::Chars, good.chars.substr(0, 4) + testing::Int32(2) + good.chars.substr(8),
       StartupReadState::BadVersion, 0},
      {"cut in the last item", DatabaseKind::Items, good.items.substr(0, good.items.size() - 3),
       StartupReadState::Damaged, 2},
      {"cut in the count", DatabaseKind::Chars, good.chars.substr(0, 10), StartupReadState::Damaged, 0},
      {"wrong record magic", DatabaseKind::Items, wrongRecordMagic, StartupReadState::Damaged, 0},
      {"wrong character magic", DatabaseKind::Chars, wrongCharMagic, StartupReadState::Damaged, 0},
  };
  for (const Case& c : cases) {
    const std::string path = dir.File("case.kdb");
    WriteBytes(path, c.bytes);
    TCatalogue catalogue;
    const StartupRead read = ReadDatabaseAtStartup(catalogue, c.kind, path);
    EXPECT_EQ(read.State, c.state) << c.what;
    EXPECT_EQ(read.RecordsKept, c.kept) << c.what;
    const std::size_t inMemory = c.kind == DatabaseKind::Items ? catalogue.ItemList.size() : catalogue.CharList.size();
    EXPECT_EQ(inMemory, c.kept) << c.what << ": what is reported is what the catalogue holds";
    EXPECT_EQ(read.NeedsKeeping(), c.state != StartupReadState::Clean) << c.what;
    EXPECT_EQ(ReadBytes(path), c.bytes) << c.what << ": reading changes nothing";
  }
}

TEST(DamagedName, FirstFreeNameNeverAnEarlierCopy) {
  TempDir dir;
  const std::string path = dir.File("items.kdb");
  EXPECT_EQ(FreeDamagedName(path), path + ".damaged");
  WriteBytes(path + ".damaged", "first");
  EXPECT_EQ(FreeDamagedName(path), path + ".damaged.2");
  // A link to nothing is a name taken too (creating through it would write elsewhere).
  ASSERT_EQ(::symlink("gone", (path + ".damaged.2").c_str()), 0);
  WriteBytes(path + ".damaged.4", "fourth");
  EXPECT_EQ(FreeDamagedName(path), path + ".damaged.3");
  WriteBytes(path + ".damaged.3", "third");
  EXPECT_EQ(FreeDamagedName(path), path + ".damaged.5");
}

TEST(KeepDamagedCopy, CopiesTheBytesBesideWithoutTouchingEarlierCopies) {
  TempDir dir;
  const std::string path = dir.File("items.kdb");
  const std::string original = std::string("DBIL\x01\0\0\0\x05\0\0\0DBIt", 16) + std::string(3, '\xFF');
  WriteBytes(path, original);
  ::chmod(path.c_str(), 0640);
  WriteBytes(path + ".damaged", "an earlier run");
  EXPECT_EQ(KeepDamagedCopy(path), path + ".damaged.2");
  EXPECT_EQ(ReadBytes(path + ".damaged.2"), original);
  EXPECT_EQ(ReadBytes(path + ".damaged"), "an earlier run");
  EXPECT_EQ(ReadBytes(path), original);
  struct stat info {};
  ASSERT_EQ(::stat((path + ".damaged.2").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "the copy is as private as the original";
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"items.kdb", "items.kdb.damaged", "items.kdb.damaged.2"}));
}

TEST(KeepDamagedCopy, AFailedCopyLeavesNothingAndSaysWhichFile) {
  TempDir dir;
  // A file that opens but whose reading fails: /proc/self/mem at offset 0.
  const std::string path = dir.File("items.kdb");
  ASSERT_EQ(::symlink("/proc/self/mem", path.c_str()), 0);
  try {
    KeepDamagedCopy(path);
    ADD_FAILURE() << "the copy of an unreadable file succeeded";
  } catch (const EFileError& failure) {
    EXPECT_EQ(std::string(failure.what()), "Impossible de conserver le fichier " + path);
    EXPECT_NE(failure.Errno, 0);
  }
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"items.kdb"}) << "no partial copy";
}

// Fails the flush of the copy to disk.
class FailingFsync final : public FileOps {
 public:
  int Fsync(int) override {
    ++calls;
    errno = EIO;
    return -1;
  }
  int calls = 0;
};

TEST(KeepDamagedCopy, ACopyNotFlushedToDiskDoesNotCount) {
  TempDir dir;
  const std::string path = dir.File("chars.kdb");
  WriteBytes(path, "DBCL damaged");
  FailingFsync failing;
  {
    ScopedFileOps scoped(failing);
    EXPECT_THROW(KeepDamagedCopy(path), EFileError);
  }
  EXPECT_EQ(failing.calls, 1);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"chars.kdb"}) << "the unflushed copy is removed";
  EXPECT_EQ(ReadBytes(path), "DBCL damaged");
}

// Watches the moment the copy takes its name: it must be whole by then, come
// from a temporary file, and replace nothing; failNaming makes that step fail.
class WatchedNaming final : public FileOps {
 public:
  explicit WatchedNaming(std::string whole) : whole_(std::move(whole)) {}
  int RenameNoReplace(const char* from, const char* to) override {
    ++calls;
    const std::string name = std::string(from).substr(std::string(from).rfind('/') + 1);
    EXPECT_TRUE(IsTemporaryFileName(name)) << name;
    EXPECT_EQ(ReadBytes(from), whole_) << "named before it was whole";
    struct stat info {};
    EXPECT_NE(::lstat(to, &info), 0) << "an earlier copy would be replaced";
    if (!failNaming) return FileOps::RenameNoReplace(from, to);
    errno = EIO;
    return -1;
  }
  int calls = 0;
  bool failNaming = false;

 private:
  std::string whole_;
};

TEST(KeepDamagedCopy, TheCopyTakesItsNameOnlyWhenWholeSoAKillNeverLeavesAPartialOne) {
  TempDir dir;
  const std::string path = dir.File("items.kdb");
  const std::string original = "DBIL" + std::string(300000, '\x7F');  // several copy blocks
  WriteBytes(path, original);
  WatchedNaming naming(original);
  {
    ScopedFileOps scoped(naming);
    naming.failNaming = true;
    EXPECT_THROW(KeepDamagedCopy(path), EFileError);
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"items.kdb"}) << "neither a copy nor its temporary file";
    naming.failNaming = false;
    EXPECT_EQ(KeepDamagedCopy(path), path + ".damaged");
  }
  EXPECT_EQ(naming.calls, 2);
  EXPECT_EQ(ReadBytes(path + ".damaged"), original);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"items.kdb", "items.kdb.damaged"}));
}

TEST(DamagedOriginal, KeptOncePerRunAndRetriedAfterAFailure) {
  TempDir dir;
  const std::string path = dir.File("items.kdb");
  WriteBytes(path, "DBIL cut");
  DamagedOriginal original(path);
  FailingFsync failing;
  {
    ScopedFileOps scoped(failing);
    EXPECT_THROW(original.KeepBeforeSave(), EFileError);
  }
  EXPECT_FALSE(original.Done());
  EXPECT_TRUE(original.KeptAs().empty());
  // The fault gone, the next close keeps it; later closes do not copy again.
  original.KeepBeforeSave();
  EXPECT_TRUE(original.Done());
  EXPECT_EQ(original.KeptAs(), path + ".damaged");
  WriteBytes(path, "changed meanwhile");
  original.KeepBeforeSave();
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"items.kdb", "items.kdb.damaged"}));
  EXPECT_EQ(ReadBytes(path + ".damaged"), "DBIL cut");
}

TEST(DamagedOriginal, AFileMovedAwaySinceStartUpHasNothingToKeep) {
  TempDir dir;
  DamagedOriginal original(dir.File("items.kdb"));
  original.KeepBeforeSave();
  EXPECT_TRUE(original.Done());
  EXPECT_TRUE(original.KeptAs().empty());
  EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
}  // namespace kistora
