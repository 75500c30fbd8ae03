// items.kdb and chars.kdb byte for byte, and round trips of every class and field.
#include "storage/database.h"

#include <gtest/gtest.h>

#include <typeinfo>

#include "core_test_support.h"
#include "storage/file_error.h"

namespace kistora {
namespace {

using namespace testing;

const std::string kRingExample =
    Bytes({0x44, 0x42, 0x49, 0x4C, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x44, 0x42, 0x49, 0x74,
           0x08, 0x05, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x42, 0x61, 0x67, 0x75, 0x65, 0x00, 0x00,
           0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x00,
           0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,
           0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x2B, 0x31, 0x30, 0x20, 0x46, 0x6F, 0x72, 0x63, 0x65});

const std::string kZoeExample =
    Bytes({0x44, 0x42, 0x43, 0x4C, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x44, 0x42, 0x43, 0x68, 0x02,
           0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x5A, 0x6F, 0x65, 0x06, 0x00, 0x00, 0x00, 0x63, 0x6F, 0x6D,
           0x70, 0x74, 0x65, 0x07, 0x00, 0x00, 0x00, 0x50, 0x61, 0x6C, 0x61, 0x64, 0x69, 0x6E, 0x02, 0x00, 0x00,
           0x00, 0x34, 0x32, 0x00, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00});

TEST(WorkedExamples, RingItemDatabase) {
  ASSERT_EQ(kRingExample.size(), 79u);
  TempDir dir;
  TCatalogue c;
  auto ring = ExampleRing();
  c.ItemList.push_back(std::move(ring));
  SaveItems(c, dir.File("items.kdb"));
  EXPECT_EQ(ReadBytes(dir.File("items.kdb")), kRingExample);

  TCatalogue loaded;
  EXPECT_EQ(LoadItems(loaded, dir.File("items.kdb")), kLoadOk);
  ASSERT_EQ(loaded.ItemList.size(), 1u);
  const auto* back = dynamic_cast<const TD2Ring*>(loaded.ItemList[0].get());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Index, 5);
  EXPECT_EQ(back->Name, "Bague");
  EXPECT_EQ(back->Notes, "");
  EXPECT_EQ(back->Quality, 1);
  EXPECT_EQ(back->Price, 100);
  EXPECT_EQ(back->CLvl, 12);
  EXPECT_EQ(back->MagicProps, std::vector<std::string>{"+10 Force"});
}

TEST(WorkedExamples, ZoeCharacterDatabase) {
  ASSERT_EQ(kZoeExample.size(), 66u);
  TempDir dir;
  TCatalogue c;
  auto zoe = std::make_unique<TChar>();
  zoe->Name = "Zoe";
  zoe->Account = "compte";
  zoe->Class = "Paladin";
  zoe->Level = "42";
  zoe->AddItem(5);
  zoe->AddItem(5);
  c.CharList.push_back(std::move(zoe));
  SaveChars(c, dir.File("chars.kdb"));
  EXPECT_EQ(ReadBytes(dir.File("chars.kdb")), kZoeExample);

  TCatalogue loaded;
  EXPECT_EQ(LoadChars(loaded, dir.File("chars.kdb")), kLoadOk);
  ASSERT_EQ(loaded.CharList.size(), 1u);
  const TChar& back = *loaded.CharList[0];
  EXPECT_EQ(back.Name, "Zoe");
  EXPECT_EQ(back.Account, "compte");
  EXPECT_EQ(back.Class, "Paladin");
  EXPECT_EQ(back.Level, "42");
  EXPECT_EQ(back.Notes, "");
  EXPECT_EQ(back.Items, (std::vector<std::int32_t>{5, 5}));
}

TEST(Database, EmptyCatalogueIsTwelveBytes) {
  TempDir dir;
  TCatalogue c;
  SaveItems(c, dir.File("items.kdb"));
  SaveChars(c, dir.File("chars.kdb"));
  EXPECT_EQ(ReadBytes(dir.File("items.kdb")), "DBIL" + Int32(1) + Int32(0));
  EXPECT_EQ(ReadBytes(dir.File("chars.kdb")), "DBCL" + Int32(1) + Int32(0));
  c.ItemList.push_back(std::make_unique<TD2Ring>());
  c.CharList.push_back(std::make_unique<TChar>());
  EXPECT_EQ(LoadItems(c, dir.File("items.kdb")), kLoadOk);
  EXPECT_EQ(LoadChars(c, dir.File("chars.kdb")), kLoadOk);
  EXPECT_TRUE(c.ItemList.empty());
  EXPECT_TRUE(c.CharList.empty());
}

// One item of each class tag with every field set to a value of its own.
std::unique_ptr<TD2Item> MakeItem(int tag) {
  auto item = CreateItemFromTag(static_cast<std::uint8_t>(tag));
  const int base = tag * 100;
  item->Index = 1000 + tag;
  item->Name = "Objet \xE9 " + std::to_string(tag);
  item->Notes = tag % 2 ? "" : "note " + std::to_string(tag);
  item->Quality = static_cast<std::uint8_t>(tag % 6);
  item->Price = -(base + 1);
  item->CLvl = base + 2;
  item->Str = base + 3;
  item->Dex = base + 4;
  item->Dur = base + 5;
  item->MaxDur = base + 6;
  for (int i = 0; i < tag % 4; ++i) item->MagicProps.push_back("+" + std::to_string(i) + " prop");
  if (tag % 3 == 0) item->MagicProps.push_back("+0 prop");  // duplicates are kept
  if (tag == 5) {
    // Lines are packed with their lengths: every length form, and any byte.
    for (const std::size_t length : {0, 254, 255, 256, 70000}) item->MagicProps.push_back(std::string(length, '\xFF'));
    item->MagicProps.push_back(std::string("a\0b\r\n", 5));
  }
  if (auto* def = dynamic_cast<TD2DefItem*>(item.get())) def->Def = base + 7;
  if (auto* shield = dynamic_cast<TD2Shield*>(item.get())) shield->Parade = base + 8;
  if (auto* weapon = dynamic_cast<TD2Weapon*>(item.get())) {
    weapon->MinDmg = base + 9;
    weapon->MaxDmg = base + 10;
    weapon->Speed = 7;  // out of range: kept as it is
  }
  return item;
}

void ExpectSameItem(const TD2Item& a, const TD2Item& b) {
  EXPECT_EQ(typeid(a), typeid(b));
  EXPECT_EQ(a.Index, b.Index);
  EXPECT_EQ(a.Name, b.Name);
  EXPECT_EQ(a.Notes, b.Notes);
  EXPECT_EQ(a.Quality, b.Quality);
  EXPECT_EQ(a.Price, b.Price);
  EXPECT_EQ(a.CLvl, b.CLvl);
  EXPECT_EQ(a.Str, b.Str);
  EXPECT_EQ(a.Dex, b.Dex);
  EXPECT_EQ(a.Dur, b.Dur);
  EXPECT_EQ(a.MaxDur, b.MaxDur);
  EXPECT_EQ(a.MagicProps, b.MagicProps);
  const auto* da = dynamic_cast<const TD2DefItem*>(&a);
  const auto* db = dynamic_cast<const TD2DefItem*>(&b);
  if (da && db) {
    EXPECT_EQ(da->Def, db->Def);
  }
  const auto* sa = dynamic_cast<const TD2Shield*>(&a);
  const auto* sb = dynamic_cast<const TD2Shield*>(&b);
  if (sa && sb) {
    EXPECT_EQ(sa->Parade, sb->Parade);
  }
  const auto* wa = dynamic_cast<const TD2Weapon*>(&a);
  const auto* wb = dynamic_cast<const TD2Weapon*>(&b);
  if (wa && wb) {
    EXPECT_EQ(wa->MinDmg, wb->MinDmg);
    EXPECT_EQ(wa->MaxDmg, wb->MaxDmg);
    EXPECT_EQ(wa->Speed, wb->Speed);
  }
}

TEST(Database, EveryClassRoundTripsWithEveryFieldInOrder) {
  TempDir dir;
  TCatalogue c;
  for (int tag : {11, 0, 4, 6, 1, 2, 3, 5, 7, 8, 9, 10}) c.ItemList.push_back(MakeItem(tag));
  SaveItems(c, dir.File("items.kdb"));
  const std::string bytes = ReadBytes(dir.File("items.kdb"));
  EXPECT_EQ(bytes[16], 11);  // the first record's class tag: boots
  const PropertyLines& armourLines = c.ItemList[7]->MagicProps;
  ASSERT_EQ(armourLines.size(), 7u);
  EXPECT_EQ(armourLines[4].size(), 256u);
  EXPECT_EQ(armourLines.back(), std::string_view("a\0b\r\n", 5));

  TCatalogue loaded;
  EXPECT_EQ(LoadItems(loaded, dir.File("items.kdb")), kLoadOk);
  ASSERT_EQ(loaded.ItemList.size(), c.ItemList.size());
  for (std::size_t i = 0; i < c.ItemList.size(); ++i) {
    SCOPED_TRACE(ClassName(*c.ItemList[i]));
    ExpectSameItem(*c.ItemList[i], *loaded.ItemList[i]);
  }
  // Saving what was loaded gives the same bytes again.
  SaveItems(loaded, dir.File("again.kdb"));
  EXPECT_EQ(ReadBytes(dir.File("again.kdb")), bytes);
}

TEST(Database, ClassPartsAreStoredInDeclarationOrder) {
  TempDir dir;
  TCatalogue c;
  auto shield = std::make_unique<TD2Shield>();
  shield->Def = 30;
  shield->Parade = 25;
  auto weapon = std::make_unique<TD2Weapon>();
  weapon->MinDmg = 3;
  weapon->MaxDmg = 9;
  weapon->Speed = 4;
  c.ItemList.push_back(std::move(shield));
  c.ItemList.push_back(std::move(weapon));
  SaveItems(c, dir.File("items.kdb"));
  // Index, two empty strings, seven numbers and an empty line count.
  const std::string common = Int32(0) + Int32(0) + Int32(0) + std::string(7 * 4, '\0') + Int32(0);
  EXPECT_EQ(ReadBytes(dir.File("items.kdb")), "DBIL" + Int32(1) + Int32(2) + "DBIt" + Bytes({4}) + common + Int32(30) +
                                                  Int32(25) + "DBIt" + Bytes({6}) + common + Int32(3) + Int32(9) +
                                                  Int32(4));
}

TEST(Database, QualityKeepsOnlyItsLowestByte) {
  TempDir dir;
  const std::string record =
      "DBIt" + Bytes({8}) + Int32(1) + Str("") + Str("") + Int32(261) + std::string(6 * 4, '\0') + Int32(0);
  WriteBytes(dir.File("items.kdb"), "DBIL" + Int32(1) + Int32(1) + record);
  TCatalogue c;
  EXPECT_EQ(LoadItems(c, dir.File("items.kdb")), kLoadOk);
  ASSERT_EQ(c.ItemList.size(), 1u);
  EXPECT_EQ(c.ItemList[0]->Quality, 5);
}

TEST(Database, CharactersKeepOrderDuplicatesAndEmptyTexts) {
  TempDir dir;
  TCatalogue c;
  const std::vector<std::vector<std::int32_t>> held = {{}, {7, 3, 7, -1}, {2147483647}};
  for (std::size_t i = 0; i < held.size(); ++i) {
    auto ch = std::make_unique<TChar>();
    ch->Name = "Perso" + std::to_string(i);
    ch->Account = i == 1 ? "" : "acc";
    ch->Class =
        "N\xE9"
        "cromancien";
    ch->Level = i == 2 ? "" : "9" + std::to_string(i);
    ch->Notes = i == 0 ? "" : "x";
    ch->Items = held[i];
    c.CharList.push_back(std::move(ch));
  }
  SaveChars(c, dir.File("chars.kdb"));
  // The first character holds nothing: K = 0 and the next record follows its texts.
  const std::string first = "DBCh" + Int32(0) + Str("Perso0") + Str("acc") +
                            Str("N\xE9"
                                "cromancien") +
                            Str("90") + Str("") + "DBCh";
  EXPECT_EQ(ReadBytes(dir.File("chars.kdb")).substr(12, first.size()), first);

  TCatalogue loaded;
  EXPECT_EQ(LoadChars(loaded, dir.File("chars.kdb")), kLoadOk);
  ASSERT_EQ(loaded.CharList.size(), held.size());
  for (std::size_t i = 0; i < held.size(); ++i) {
    EXPECT_EQ(loaded.CharList[i]->Name, c.CharList[i]->Name);
    EXPECT_EQ(loaded.CharList[i]->Account, c.CharList[i]->Account);
    EXPECT_EQ(loaded.CharList[i]->Class, c.CharList[i]->Class);
    EXPECT_EQ(loaded.CharList[i]->Level, c.CharList[i]->Level);
    EXPECT_EQ(loaded.CharList[i]->Notes, c.CharList[i]->Notes);
    EXPECT_EQ(loaded.CharList[i]->Items, held[i]);
  }
}

TEST(Database, WrongFileMagicOrVersionChangesNothing) {
  TempDir dir;
  TCatalogue c;
  c.ItemList.push_back(MakeItem(8));
  c.CharList.push_back(std::make_unique<TChar>());
  const std::string items = dir.File("items.kdb");
  const std::string chars = dir.File("chars.kdb");

  WriteBytes(items, "DBIl" + Int32(1) + Int32(0));
  EXPECT_EQ(LoadItems(c, items), kLoadBadMagic);
  WriteBytes(items, "DBCL" + Int32(1) + Int32(0));  // a character file is not an item file
  EXPECT_EQ(LoadItems(c, items), kLoadBadMagic);
  WriteBytes(items, "DBIL" + Int32(2) + Int32(0));
  EXPECT_EQ(LoadItems(c, items), kLoadBadVersion);
  WriteBytes(items, "");
  EXPECT_EQ(LoadItems(c, items), kLoadBadMagic);
  EXPECT_EQ(c.ItemList.size(), 1u);

  WriteBytes(chars, "dbcl" + Int32(1) + Int32(0));
  EXPECT_EQ(LoadChars(c, chars), kLoadBadMagic);
  WriteBytes(chars, "DBCL" + Int32(0) + Int32(0));
  EXPECT_EQ(LoadChars(c, chars), kLoadBadVersion);
  EXPECT_EQ(c.CharList.size(), 1u);
}

TEST(Database, MissingFileRaisesTheOpenMessageAndKeepsTheLists) {
  TempDir dir;
  TCatalogue c;
  c.ItemList.push_back(MakeItem(1));
  const std::string path = dir.File("items.kdb");
  try {
    LoadItems(c, path);
    FAIL() << "no error raised";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Impossible d'ouvrir le fichier " + path);
  }
  EXPECT_THROW(LoadChars(c, dir.File("chars.kdb")), EFileError);
  EXPECT_EQ(c.ItemList.size(), 1u);
}

TEST(Database, UnknownTagLoadsAsABareItem) {
  TempDir dir;
  const std::string record =
      "DBIt" + Bytes({200}) + Int32(3) + Str("Rune") + Str("") + std::string(7 * 4, '\0') + Int32(0);
  WriteBytes(dir.File("items.kdb"), "DBIL" + Int32(1) + Int32(1) + record);
  TCatalogue c;
  EXPECT_EQ(LoadItems(c, dir.File("items.kdb")), kLoadOk);
  ASSERT_EQ(c.ItemList.size(), 1u);
  EXPECT_EQ(typeid(*c.ItemList[0]), typeid(TD2Item));
  EXPECT_EQ(c.ItemList[0]->Name, "Rune");
}

}  // namespace
}  // namespace kistora
