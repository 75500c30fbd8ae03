// The item database list's filter and order, without any window.
#include "listing/item_list_rows.h"

#include <gtest/gtest.h>

#include <climits>
#include <numeric>

using namespace kistora;

namespace {

// The texts are views: string literals, which outlive the rows.
ItemListRow Row(std::int32_t index, std::string_view name, std::int32_t price = 0, std::string_view type = {},
                std::string_view quality = {}, std::string_view notes = {}) {
  ItemListRow r;
  r.Index = index;
  r.Name = name;
  r.Price = price;
  r.Type = type;
  r.Quality = quality;
  r.Notes = notes;
  return r;
}

// Indexes of the rows in sorted order.
std::vector<std::int32_t> SortedIndexes(const std::vector<ItemListRow>& rows, std::int32_t column, bool inverted) {
  std::vector<std::uint32_t> order(rows.size());
  std::iota(order.begin(), order.end(), 0u);
  SortItemListOrder(rows, order, column, inverted);
  std::vector<std::int32_t> result;
  for (std::uint32_t i : order) result.push_back(rows[i].Index);
  return result;
}

TEST(ItemListText, FoldsOnlyAsciiLettersAndComparesByWindows1252Code) {
  EXPECT_EQ(CompareFoldedText("epee", "EPEE"), 0);
  EXPECT_EQ(CompareFoldedText("Arc", "aRC"), 0);
  EXPECT_LT(CompareFoldedText("abc", "ABD"), 0);
  // "\xC9" is É, "\xE9" is é: after every ASCII letter, and not equal to each other.
  EXPECT_GT(CompareFoldedText("\xC9"
                              "cu",
                              "Zweihander"),
            0);
  EXPECT_GT(CompareFoldedText("\xC9"
                              "cu",
                              "zweihander"),
            0);
  EXPECT_NE(CompareFoldedText("\xC9"
                              "cu",
                              "\xE9"
                              "cu"),
            0);
  EXPECT_LT(CompareFoldedText("\xC9"
                              "cu",
                              "\xE9"
                              "cu"),
            0);
  // The beginning of a text goes first; the empty text before everything.
  EXPECT_LT(CompareFoldedText("Arc", "Arc long"), 0);
  EXPECT_GT(CompareFoldedText("arc long", "ARC"), 0);
  EXPECT_LT(CompareFoldedText("", "a"), 0);
  // Characters between 'Z' and 'a' ('_' is 0x5F) sort by their own code, after the folded letters.
  EXPECT_LT(CompareFoldedText("z", "_"), 0);
}

TEST(ItemListText, ComparesNumbersOverTheWholeRange) {
  EXPECT_LT(CompareAsNumbers("9", "10"), 0);  // numeric, not text order
  EXPECT_GT(CompareAsNumbers("10", "9"), 0);
  EXPECT_EQ(CompareAsNumbers("-5", "-5"), 0);
  EXPECT_LT(CompareAsNumbers("-2147483648", "2147483647"), 0);
  EXPECT_GT(CompareAsNumbers("2147483647", "-2147483648"), 0);
  // Text that does not parse counts as 0, also text beyond 32 bits.
  EXPECT_EQ(CompareAsNumbers("abc", "0"), 0);
  EXPECT_EQ(CompareAsNumbers("", "0"), 0);
  EXPECT_EQ(CompareAsNumbers("2147483648", "0"), 0);
  EXPECT_LT(CompareAsNumbers("x", "1"), 0);
  EXPECT_GT(CompareAsNumbers("x", "-1"), 0);
}

TEST(ItemListFilter, PriceAndQualityBoxes) {
  TD2Ring ring;
  ItemFilter all;
  for (int q = 0; q <= 5; ++q) {
    ring.Quality = static_cast<std::uint8_t>(q);
    EXPECT_TRUE(IsItemShown(ring, all)) << q;
  }

  ItemFilter hide0;
  hide0.HidePrice0 = true;
  ring.Price = 0;
  EXPECT_FALSE(IsItemShown(ring, hide0));
  ring.Price = -3;  // only exactly 0 is hidden
  EXPECT_TRUE(IsItemShown(ring, hide0));
  ring.Price = 1;
  EXPECT_TRUE(IsItemShown(ring, hide0));

  // Each box hides its own quality and nothing else.
  for (int box = 0; box <= 5; ++box) {
    ItemFilter filter;
    filter.ShowQuality[static_cast<std::size_t>(box)] = false;
    for (int q = 0; q <= 5; ++q) {
      ring.Quality = static_cast<std::uint8_t>(q);
      EXPECT_EQ(IsItemShown(ring, filter), q != box) << "box " << box << " quality " << q;
    }
  }

  // A quality outside 0..5 is filtered by price alone.
  ItemFilter none;
  none.ShowQuality.fill(false);
  ring.Quality = 9;
  ring.Price = 0;
  EXPECT_TRUE(IsItemShown(ring, none));
  none.HidePrice0 = true;
  EXPECT_FALSE(IsItemShown(ring, none));
  ring.Quality = 5;
  ring.Price = 7;
  EXPECT_FALSE(IsItemShown(ring, none));
}

TEST(ItemListRows, CellsFollowTheLists) {
  TD2Jewel jewel;
  jewel.Index = -12;
  jewel.Name =
      "Joyau \xE9"
      "clat";
  jewel.Price = -40;
  jewel.Quality = 2;
  jewel.Notes = "note";
  const ItemListRow row = MakeItemListRow(jewel);
  EXPECT_EQ(ItemListCell(row, kColIndex), "-12");
  EXPECT_EQ(ItemListCell(row, kColName),
            "Joyau \xE9"
            "clat");
  EXPECT_EQ(ItemListCell(row, kColType), "Joyau");  // singular in the lists
  EXPECT_EQ(ItemListCell(row, kColQuality), "Rare");
  EXPECT_EQ(ItemListCell(row, kColPrice), "-40");
  EXPECT_EQ(ItemListCell(row, kColNotes), "note");
  EXPECT_EQ(ItemListCell(row, 6), "");

  TD2Item bare;
  bare.Quality = 6;
  const ItemListRow bareRow = MakeItemListRow(bare);
  EXPECT_EQ(bareRow.Type, "");
  EXPECT_EQ(bareRow.Quality, "");
}

TEST(ItemListRows, RowsOfAWholeListMatchTheRowOfEachShownItem) {
  ItemVector items;
  for (std::uint8_t tag = 0; tag <= 12; ++tag) {
    for (int quality : {0, 3, 5, 200}) {
      auto item = CreateItemFromTag(tag);
      item->Index = tag * 1000 + quality;
      item->Quality = static_cast<std::uint8_t>(quality);
      item->Price = quality == 3 ? 0 : tag;
      item->Name = "n" + std::to_string(item->Index);
      items.push_back(std::move(item));
    }
  }
  items.push_back(nullptr);  // a hole is skipped, not dereferenced
  ItemFilter filter;
  filter.ShowQuality[5] = false;
  filter.HidePrice0 = true;

  const std::vector<ItemListRow> rows = MakeItemListRows(items, filter);
  std::size_t next = 0;
  for (const auto& item : items) {
    if (!item || !IsItemShown(*item, filter)) continue;
    ASSERT_LT(next, rows.size());
    const ItemListRow expected = MakeItemListRow(*item);
    const ItemListRow& row = rows[next++];
    EXPECT_EQ(row.Index, expected.Index);
    EXPECT_EQ(row.Name, expected.Name);
    EXPECT_EQ(row.Type, expected.Type) << ClassName(*item);
    EXPECT_EQ(row.Quality, expected.Quality);
    EXPECT_EQ(row.Price, expected.Price);
  }
  EXPECT_EQ(next, rows.size());
  EXPECT_GT(rows.size(), 10u);
}

TEST(ItemListOrder, EachColumnAndItsInversion) {
  const std::vector<ItemListRow> rows = {
      Row(10, "epee", 5, "Arme", "Unique", "b"),
      Row(9, "Bouclier", 300, "Bouclier", "Crafted", "a"),
      Row(-1, "anneau", -2, "Anneau", "Set", "C"),
      Row(2147483647,
          "\xC9"
          "cu",
          0, "", "Magique", ""),
  };
  using V = std::vector<std::int32_t>;
  EXPECT_EQ(SortedIndexes(rows, kColIndex, false), (V{-1, 9, 10, 2147483647}));
  EXPECT_EQ(SortedIndexes(rows, kColIndex, true), (V{2147483647, 10, 9, -1}));
  EXPECT_EQ(SortedIndexes(rows, kColName, false), (V{-1, 9, 10, 2147483647}));
  EXPECT_EQ(SortedIndexes(rows, kColName, true), (V{2147483647, 10, 9, -1}));
  EXPECT_EQ(SortedIndexes(rows, kColType, false), (V{2147483647, -1, 10, 9}));
  EXPECT_EQ(SortedIndexes(rows, kColType, true), (V{9, 10, -1, 2147483647}));
  // Qualities by their labels, not by their codes.
  EXPECT_EQ(SortedIndexes(rows, kColQuality, false), (V{9, 2147483647, -1, 10}));
  EXPECT_EQ(SortedIndexes(rows, kColQuality, true), (V{10, -1, 2147483647, 9}));
  // Prices: highest first, inverted lowest first.
  EXPECT_EQ(SortedIndexes(rows, kColPrice, false), (V{9, 10, 2147483647, -1}));
  EXPECT_EQ(SortedIndexes(rows, kColPrice, true), (V{-1, 2147483647, 10, 9}));
  EXPECT_EQ(SortedIndexes(rows, kColNotes, false), (V{2147483647, 9, 10, -1}));
  EXPECT_EQ(SortedIndexes(rows, kColNotes, true), (V{-1, 10, 9, 2147483647}));
}

TEST(ItemListOrder, ColumnOutsideTheListSortsByNumber) {
  const std::vector<ItemListRow> rows = {Row(3, "a"), Row(1, "c"), Row(2, "b")};
  using V = std::vector<std::int32_t>;
  for (std::int32_t column : {-1, 6, 99, INT_MIN, INT_MAX}) {
    EXPECT_EQ(EffectiveSortColumn(column), kColIndex);
    EXPECT_EQ(SortedIndexes(rows, column, false), (V{1, 2, 3})) << column;
    EXPECT_EQ(SortedIndexes(rows, column, true), (V{3, 2, 1})) << column;
  }
}

TEST(ItemListOrder, EqualRowsKeepCatalogueOrderAndCompareAgreesWithSort) {
  // Names that differ only in case are equal: they stay in catalogue order both ways.
  const std::vector<ItemListRow> rows = {Row(1, "ARC"), Row(2, "b"), Row(3, "arc"), Row(4, "Arc")};
  using V = std::vector<std::int32_t>;
  EXPECT_EQ(SortedIndexes(rows, kColName, false), (V{1, 3, 4, 2}));
  EXPECT_EQ(SortedIndexes(rows, kColName, true), (V{2, 1, 3, 4}));
  EXPECT_EQ(CompareItemListRows(rows[0], rows[2], kColName, false), 0);
  EXPECT_LT(CompareItemListRows(rows[0], rows[1], kColName, false), 0);
  EXPECT_GT(CompareItemListRows(rows[0], rows[1], kColName, true), 0);
  EXPECT_LT(CompareItemListRows(Row(1, "", 50), Row(2, "", 7), kColPrice, false), 0);
  EXPECT_LT(CompareItemListRows(Row(1, ""), Row(2, ""), 42, false), 0);
}

}  // namespace
