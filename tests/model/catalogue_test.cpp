// Item numbering, lookup by number, and the characters' lists of numbers.
#include "model/catalogue.h"

#include <gtest/gtest.h>

#include <limits>

#include "core_test_support.h"

namespace kistora {
namespace {

using testing::AddChar;
using testing::AddItem;

TEST(Numbering, FirstNumberOfAnEmptyDatabaseIsOne) {
  TCatalogue c;
  EXPECT_EQ(c.NewItemIndex(), 1);
  EXPECT_EQ(c.LastItemIndex, 1);
}

TEST(Numbering, NextNumberFollowsTheHigherOfCounterAndItems) {
  TCatalogue c;
  AddItem(c, 3);
  AddItem(c, 7);
  AddItem(c, 5);
  c.LastItemIndex = 4;
  EXPECT_EQ(c.NewItemIndex(), 8);
  EXPECT_EQ(c.LastItemIndex, 8);
  c.LastItemIndex = 20;
  EXPECT_EQ(c.NewItemIndex(), 21);
  EXPECT_EQ(c.LastItemIndex, 21);
}

TEST(Numbering, UnreadableCounterStartsAtZero) {
  TCatalogue c;
  c.LastItemIndex = -1;
  EXPECT_EQ(c.NewItemIndex(), 0);
}

TEST(Numbering, SyncNeverLowersTheCounter) {
  TCatalogue c;
  AddItem(c, -5);
  c.LastItemIndex = -10;
  c.SyncLastItemIndex();
  EXPECT_EQ(c.LastItemIndex, -1);  // nothing is higher than -1 here, the scan starts there
  c.LastItemIndex = 50;
  AddItem(c, 40);
  c.SyncLastItemIndex();
  EXPECT_EQ(c.LastItemIndex, 50);
}

TEST(Numbering, DeletedNumbersAreNotReused) {
  TCatalogue c;
  for (int i = 0; i < 3; ++i) AddItem(c, c.NewItemIndex());
  c.DeleteItemAt(2);  // number 3, the highest
  EXPECT_EQ(c.NewItemIndex(), 4);
}

TEST(Numbering, TopOfTheRangeDoesNotHandOutAUsedNumber) {
  TCatalogue c;
  c.LastItemIndex = std::numeric_limits<std::int32_t>::max();
  AddItem(c, 1);
  AddItem(c, std::numeric_limits<std::int32_t>::max());
  AddChar(c, "Zoe", {2});  // held, although the item is gone
  const std::int32_t n = c.NewItemIndex();
  EXPECT_EQ(n, 3);
  EXPECT_EQ(c.FindItem(n), nullptr);
  EXPECT_EQ(c.LastItemIndex, std::numeric_limits<std::int32_t>::max());
}

TEST(Lookup, FindItemReturnsTheLastMatch) {
  TCatalogue c;
  AddItem(c, 4, "first");
  AddItem(c, 9, "other");
  AddItem(c, 4, "second");
  ASSERT_NE(c.FindItem(4), nullptr);
  EXPECT_EQ(c.FindItem(4)->Name, "second");
  EXPECT_EQ(c.FindItem(5), nullptr);
  EXPECT_EQ(c.FindFirstItemPos(4), 0);
  EXPECT_EQ(c.FindFirstItemPos(9), 1);
  EXPECT_EQ(c.FindFirstItemPos(5), -1);
  const ItemLookup lookup(c);
  EXPECT_EQ(lookup.Find(4), c.FindItem(4));
  EXPECT_EQ(lookup.Find(9), c.FindItem(9));
  EXPECT_EQ(lookup.Find(5), nullptr);
}

// The last item of that number and the first position, read the slow way.
const TD2Item* LastOfNumber(const TCatalogue& c, std::int32_t number) {
  const TD2Item* found = nullptr;
  for (const auto& item : c.ItemList) found = item->Index == number ? item.get() : found;
  return found;
}

int FirstPosOfNumber(const TCatalogue& c, std::int32_t number) {
  for (std::size_t i = 0; i < c.ItemList.size(); ++i) {
    if (c.ItemList[i]->Index == number) return static_cast<int>(i);
  }
  return -1;
}

void ExpectLookupsRight(const TCatalogue& c) {
  const ItemLookup lookup(c);
  for (std::int32_t number = -5; number <= 60; ++number) {
    EXPECT_EQ(c.FindItem(number), LastOfNumber(c, number)) << number;
    EXPECT_EQ(lookup.Find(number), LastOfNumber(c, number)) << number;
    EXPECT_EQ(c.FindFirstItemPos(number), FirstPosOfNumber(c, number)) << number;
  }
}

// Items in number order are found by a binary search; what the catalogue has
// read of its items follows the operations and items appended by a loader.
TEST(Lookup, AnswersStayRightInAndOutOfNumberOrder) {
  TCatalogue c;
  for (const std::int32_t number : {-3, 2, 5, 5, 8, 9}) AddItem(c, number, number == 5 ? "five" : "");
  EXPECT_TRUE(c.ItemsInNumberOrder());
  ExpectLookupsRight(c);
  EXPECT_EQ(c.AddNewItem(std::make_unique<TD2Ring>()), 10);
  AddItem(c, 50);  // appended by a loader, past the operations
  EXPECT_EQ(c.AddNewItem(std::make_unique<TD2Ring>()), 51);
  c.DeleteItemAt(2);
  EXPECT_TRUE(c.ItemsInNumberOrder());
  ExpectLookupsRight(c);
  AddItem(c, 4);  // out of order
  EXPECT_FALSE(c.ItemsInNumberOrder());
  ExpectLookupsRight(c);
  EXPECT_EQ(c.NewItemIndex(), 52);
  c.ClearItems();
  for (const std::int32_t number : {7, 3}) AddItem(c, number);
  EXPECT_FALSE(c.ItemsInNumberOrder());
  ExpectLookupsRight(c);
  c.ClearItems();
  AddItem(c, 1);
  EXPECT_TRUE(c.ItemsInNumberOrder());
  EXPECT_EQ(ItemLookup(TCatalogue()).Find(1), nullptr);
}

TEST(Characters, RemoveItemTakesOnlyTheFirstOccurrence) {
  TChar ch;
  EXPECT_EQ(ch.AddItem(12), 0);
  EXPECT_EQ(ch.AddItem(3), 1);
  EXPECT_EQ(ch.AddItem(12), 2);
  ch.RemoveItem(12);
  EXPECT_EQ(ch.Items, (std::vector<std::int32_t>{3, 12}));
  ch.RemoveItem(99);
  EXPECT_EQ(ch.ItemCount(), 2);
  EXPECT_TRUE(ch.HoldsItem(12));
  EXPECT_FALSE(ch.HoldsItem(99));
  ch.RemoveItemAt(5);
  ch.RemoveItemAt(-1);
  EXPECT_EQ(ch.ItemCount(), 2);
  ch.RemoveItemAt(0);
  EXPECT_EQ(ch.ItemAt(0), 12);
}

TEST(Catalogue, DeletingAnItemRemovesEveryReferenceToIt) {
  TCatalogue c;
  AddItem(c, 1);
  AddItem(c, 2);
  TChar& zoe = AddChar(c, "Zoe", {2, 1, 2, 2});
  TChar& max = AddChar(c, "Max", {2});
  c.DeleteItemAt(1);
  EXPECT_EQ(zoe.Items, (std::vector<std::int32_t>{1}));
  EXPECT_TRUE(max.Items.empty());
  ASSERT_EQ(c.ItemList.size(), 1u);
  c.DeleteItemAt(7);  // out of range: nothing happens
  EXPECT_EQ(c.ItemList.size(), 1u);
}

TEST(Catalogue, ReplacingAnItemKeepsItsNumberAndPlace) {
  TCatalogue c;
  AddItem(c, 10);
  AddItem(c, 11);
  auto weapon = std::make_unique<TD2Weapon>();
  weapon->Index = 999;
  weapon->Name = "Hache";
  c.ReplaceItemAt(0, std::move(weapon));
  ASSERT_NE(dynamic_cast<TD2Weapon*>(c.ItemList[0].get()), nullptr);
  EXPECT_EQ(c.ItemList[0]->Index, 10);
  EXPECT_EQ(c.ItemList[0]->Name, "Hache");
  EXPECT_EQ(c.ItemList[1]->Index, 11);
}

TEST(Catalogue, CharacterNamesCompareWithAtoZFolded) {
  TCatalogue c;
  AddChar(c, "Zoe");
  AddChar(c, "\xC9lise");
  AddChar(c, "ZOE");
  EXPECT_TRUE(c.CharNameExists("zoe"));
  EXPECT_EQ(c.FindCharRow("zOe"), 2);  // the last matching row
  EXPECT_EQ(c.FindCharRow("\xC9LISE"), 1);
  EXPECT_EQ(c.FindCharRow("\xE9lise"), -1);  // accented letters are not folded
  EXPECT_FALSE(c.CharNameExists("Max"));
}

TEST(Catalogue, ClearEmptiesBothLists) {
  TCatalogue c;
  AddItem(c, 1);
  AddChar(c, "Zoe", {1});
  c.ClearItems();
  c.ClearChars();
  EXPECT_TRUE(c.ItemList.empty());
  EXPECT_TRUE(c.CharList.empty());
}

// Each operation changes the catalogue, then reports exactly what it changed;
// an operation that finds nothing to act on changes nothing and says nothing.
struct ChangeLog : CatalogueObserver {
  void CatalogueChanged(const CatalogueChange& change) override { changes.push_back(change); }
  std::vector<CatalogueChange> changes;
};

TEST(Operations, EachReportsWhatItChangedOnce) {
  TCatalogue c;
  AddItem(c, 4);
  AddChar(c, "zoe", {4, 4});
  AddChar(c, "ana");
  ChangeLog log;
  c.AddObserver(&log);

  EXPECT_EQ(c.AddNewItem(std::make_unique<TD2Ring>()), 5);
  EXPECT_TRUE(c.ModifyItem(5, std::make_unique<TD2Jewel>()));
  EXPECT_EQ(c.ItemList[1]->Index, 5);
  EXPECT_TRUE(c.AddItemToChar(1, 5));
  EXPECT_TRUE(c.RemoveInventoryEntry(0, 1));
  EXPECT_TRUE(c.DeleteItem(4));
  EXPECT_EQ(c.CharList[0]->Items, std::vector<std::int32_t>{});
  TChar fields;
  fields.Name = "Zed";
  EXPECT_TRUE(c.ModifyChar(1, fields));
  EXPECT_EQ(c.CharList[1]->Items, std::vector<std::int32_t>{5});  // the items stay with the character
  EXPECT_TRUE(c.SwapChars(0, 1));
  EXPECT_EQ(c.AddChar(std::make_unique<TChar>()), 2);
  EXPECT_TRUE(c.RemoveChar(0));

  using K = ChangeKind;
  const std::vector<std::pair<K, int>> expected = {
      {K::ItemAdded, 1},        {K::ItemModified, 1}, {K::InventoryChanged, 1},
      {K::InventoryChanged, 0}, {K::ItemDeleted, 0},  {K::CharModified, 1},
      {K::CharsSwapped, 0},     {K::CharAdded, 2},    {K::CharRemoved, 0}};
  ASSERT_EQ(log.changes.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const CatalogueChange& change = log.changes[i];
    EXPECT_EQ(change.Kind, expected[i].first) << i;
    const bool itemChange =
        change.Kind == K::ItemAdded || change.Kind == K::ItemModified || change.Kind == K::ItemDeleted;
    EXPECT_EQ(itemChange ? change.Position : change.Row, expected[i].second) << i;
  }
  EXPECT_EQ(log.changes[4].Number, 4);  // the deleted number
  EXPECT_TRUE(log.changes[4].TouchesChars());
  EXPECT_FALSE(log.changes[0].TouchesChars());

  log.changes.clear();
  EXPECT_FALSE(c.ModifyItem(99, std::make_unique<TD2Ring>()));
  EXPECT_FALSE(c.DeleteItem(99));
  EXPECT_FALSE(c.RemoveChar(7));
  EXPECT_FALSE(c.SwapChars(0, 0));
  EXPECT_FALSE(c.AddItemToChar(-1, 5));
  EXPECT_FALSE(c.RemoveInventoryEntry(0, 9));
  EXPECT_TRUE(log.changes.empty());
  c.RemoveObserver(&log);
  c.Clear();
  EXPECT_TRUE(log.changes.empty());
}

}  // namespace
}  // namespace kistora
