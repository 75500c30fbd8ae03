// Damaged, truncated and hostile database files: every whole record before the
// damage is kept, and no count or length read from the file drives memory use.
#include <gtest/gtest.h>

#include <cerrno>

#include "alloc_probe.h"
#include "core_test_support.h"
#include "storage/database.h"
#include "storage/file_ops.h"

namespace kistora {
namespace {

using namespace testing;

TCatalogue ThreeItems() {
  TCatalogue c;
  AddItem<TD2Shield>(c, 1, "Bouclier des Rois").MagicProps = {"+20% parade", "+1 comp\xE9tences"};
  AddItem<TD2Weapon>(c, 2, "Hache");
  AddItem<TD2Ring>(c, 3).Notes = "note";
  return c;
}

TCatalogue ThreeCharacters() {
  TCatalogue c;
  for (int i = 0; i < 3; ++i) {
    TChar& ch = AddChar(c, "Perso" + std::to_string(i));
    ch.Level = "1" + std::to_string(i);
    for (int k = 0; k <= i; ++k) ch.AddItem(k * 10 + i);
  }
  return c;
}

// How many records end at or before the cut (ends: each record's end offset).
std::size_t WholeRecordsBefore(const std::vector<std::size_t>& ends, std::size_t cut) {
  std::size_t whole = 0;
  for (std::size_t end : ends) whole += end <= cut ? 1 : 0;
  return whole;
}

TEST(DamagedFiles, AFileCutAnywhereKeepsTheWholeRecords) {
  TempDir dir;
  for (const bool items : {true, false}) {
    SCOPED_TRACE(items ? "items.kdb" : "chars.kdb");
    const auto sample = items ? ThreeItems : ThreeCharacters;
    const auto save = [items](const TCatalogue& c, const std::string& path) {
      items ? SaveItems(c, path) : SaveChars(c, path);
    };
    const TCatalogue full = sample();
    save(full, dir.File("full.kdb"));
    const std::string bytes = ReadBytes(dir.File("full.kdb"));
    std::vector<std::size_t> ends;
    for (std::size_t k = 1; k <= 3; ++k) {
      TCatalogue prefix = sample();
      items ? prefix.ItemList.resize(k) : prefix.CharList.resize(k);
      save(prefix, dir.File("prefix.kdb"));
      ends.push_back(ReadBytes(dir.File("prefix.kdb")).size());
    }
    ASSERT_EQ(ends.back(), bytes.size());

    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
      SCOPED_TRACE("cut at " + std::to_string(cut));
      WriteBytes(dir.File("cut.kdb"), bytes.substr(0, cut));
      TCatalogue c;  // with what was in memory before
      c.ItemList.push_back(std::make_unique<TD2Jewel>());
      c.CharList.push_back(std::make_unique<TChar>());
      const std::uint8_t result = items ? LoadItems(c, dir.File("cut.kdb")) : LoadChars(c, dir.File("cut.kdb"));
      const std::size_t count = items ? c.ItemList.size() : c.CharList.size();
      if (cut < 4) {
        EXPECT_EQ(result, kLoadBadMagic);
        EXPECT_EQ(count, 1u);
      } else if (cut < 8) {
        EXPECT_EQ(result, kLoadBadVersion);
        EXPECT_EQ(count, 1u);
      } else {
        EXPECT_EQ(result, kLoadDamaged);
        const std::size_t whole = WholeRecordsBefore(ends, cut);
        ASSERT_EQ(count, whole);
        for (std::size_t i = 0; i < whole; ++i) {
          if (items) {
            EXPECT_EQ(c.ItemList[i]->Index, full.ItemList[i]->Index);
            EXPECT_EQ(c.ItemList[i]->Name, full.ItemList[i]->Name);
            EXPECT_EQ(c.ItemList[i]->MagicProps, full.ItemList[i]->MagicProps);
          } else {
            EXPECT_EQ(c.CharList[i]->Name, full.CharList[i]->Name);
            EXPECT_EQ(c.CharList[i]->Items, full.CharList[i]->Items);
          }
        }
      }
    }
  }
}

TEST(DamagedFiles, AWrongRecordMagicCostsFourBytesAndOneTurn) {
  TempDir dir;
  SaveItems(ThreeItems(), dir.File("full.kdb"));
  std::string bytes = ReadBytes(dir.File("full.kdb"));
  // Four stray bytes before the second record, and a count that includes them.
  TCatalogue first = ThreeItems();
  first.ItemList.resize(1);
  SaveItems(first, dir.File("one.kdb"));
  const std::size_t secondRecord = ReadBytes(dir.File("one.kdb")).size();
  bytes.insert(secondRecord, "XXXX");
  bytes.replace(8, 4, Int32(4));
  WriteBytes(dir.File("items.kdb"), bytes);
  TCatalogue c;
  EXPECT_EQ(LoadItems(c, dir.File("items.kdb")), kLoadDamaged);
  ASSERT_EQ(c.ItemList.size(), 3u);
  EXPECT_EQ(c.ItemList[1]->Index, 2);
  EXPECT_EQ(c.ItemList[2]->Index, 3);

  // The same in a character file.
  SaveChars(ThreeCharacters(), dir.File("chars.kdb"));
  std::string chars = ReadBytes(dir.File("chars.kdb"));
  chars.insert(12, "dbch");
  chars.replace(8, 4, Int32(4));
  WriteBytes(dir.File("chars.kdb"), chars);
  EXPECT_EQ(LoadChars(c, dir.File("chars.kdb")), kLoadDamaged);
  EXPECT_EQ(c.CharList.size(), 3u);
}

TEST(DamagedFiles, ACountBeyondTheRecordsEndsWithTheRecordsThatExist) {
  TempDir dir;
  SaveItems(ThreeItems(), dir.File("items.kdb"));
  std::string bytes = ReadBytes(dir.File("items.kdb"));
  bytes.replace(8, 4, Int32(5));
  WriteBytes(dir.File("items.kdb"), bytes);
  TCatalogue c;
  EXPECT_EQ(LoadItems(c, dir.File("items.kdb")), kLoadDamaged);
  EXPECT_EQ(c.ItemList.size(), 3u);

  // A negative or zero count reads no record, and is not damage.
  bytes.replace(8, 4, Int32(-3));
  WriteBytes(dir.File("items.kdb"), bytes);
  EXPECT_EQ(LoadItems(c, dir.File("items.kdb")), kLoadOk);
  EXPECT_TRUE(c.ItemList.empty());
}

struct HostileCase {
  const char* what;
  std::string bytes;
  bool items;
};

TEST(HostileFiles, HugeCountsAndLengthsLoadAtOnceWithBoundedMemory) {
  const std::string itemHead = "DBIt" + Bytes({6}) + Int32(1);
  const std::string numbers = std::string(7 * 4, '\0');
  const HostileCase cases[] = {
      {"item count", "DBIL" + Int32(1) + Int32(2147483647), true},
      {"name length", "DBIL" + Int32(1) + Int32(1) + itemHead + Int32(2000000000) + "Hache", true},
      {"notes length", "DBIL" + Int32(1) + Int32(1) + itemHead + Str("a") + Int32(2147483647), true},
      {"line count", "DBIL" + Int32(1) + Int32(1) + itemHead + Str("") + Str("") + numbers + Int32(2147483647), true},
      {"line length",
       "DBIL" + Int32(1) + Int32(1) + itemHead + Str("") + Str("") + numbers + Int32(2) + Str("x") + Int32(1500000000),
       true},
      {"many bad magics", "DBIL" + Int32(1) + Int32(2147483647) + std::string(64, 'Z'), true},
      {"character count", "DBCL" + Int32(1) + Int32(2147483647), false},
      {"held count", "DBCL" + Int32(1) + Int32(1) + "DBCh" + Int32(2147483647) + std::string(20, '\0') + Int32(5),
       false},
      {"name of 2 GB", "DBCL" + Int32(1) + Int32(1) + "DBCh" + Int32(0) + Int32(2147483647) + "Zoe", false},
  };
  TempDir dir;
  for (const HostileCase& h : cases) {
    SCOPED_TRACE(h.what);
    WriteBytes(dir.File("hostile.kdb"), h.bytes);
    TCatalogue c;
    std::uint8_t result = 0;
    std::size_t largest = 0;
    std::size_t total = 0;
    {
      test::AllocProbe probe;
      result = h.items ? LoadItems(c, dir.File("hostile.kdb")) : LoadChars(c, dir.File("hostile.kdb"));
      largest = probe.Largest();
      total = probe.Total();
    }
    EXPECT_EQ(result, kLoadDamaged);
    EXPECT_TRUE(c.ItemList.empty());
    EXPECT_TRUE(c.CharList.empty());
    EXPECT_LT(largest, 4096u);
    EXPECT_LT(total, 16384u);
  }
}

// A disk that fails part-way through a read: the load stops as for a cut file.
class FailAfterBytes : public FileOps {
 public:
  explicit FailAfterBytes(std::size_t budget) : budget_(budget) {}
  ssize_t Read(int fd, void* buf, size_t count) override {
    if (budget_ == 0) {
      errno = EIO;
      return -1;
    }
    const ssize_t n = FileOps::Read(fd, buf, count < budget_ ? count : budget_);
    if (n > 0) budget_ -= static_cast<std::size_t>(n);
    return n;
  }

 private:
  std::size_t budget_;
};

TEST(DamagedFiles, AReadErrorKeepsTheRecordsReadBeforeIt) {
  TempDir dir;
  SaveItems(ThreeItems(), dir.File("items.kdb"));
  TCatalogue first = ThreeItems();
  first.ItemList.resize(1);
  SaveItems(first, dir.File("one.kdb"));
  FailAfterBytes failing(ReadBytes(dir.File("one.kdb")).size() + 6);
  ScopedFileOps scoped(failing);
  TCatalogue c;
  EXPECT_EQ(LoadItems(c, dir.File("items.kdb")), kLoadDamaged);
  ASSERT_EQ(c.ItemList.size(), 1u);
  EXPECT_EQ(c.ItemList[0]->Name, "Bouclier des Rois");
}

}  // namespace
}  // namespace kistora
