// Statistics of the shown items: groups, 64-bit sums, negative prices, items
// held twice, by two characters or by no one, entries of unknown numbers, and
// the tab-separated text.
#include "listing/item_stats.h"

#include <gtest/gtest.h>

#include <climits>

#include "core_test_support.h"

namespace kistora {
namespace {

using testing::AddChar;
using testing::AddItem;
using testing::W;

ItemTotals Of(const std::vector<StatsGroup>& groups, std::string_view label) {
  for (const StatsGroup& group : groups) {
    if (group.Label == label) return group.Totals;
  }
  ADD_FAILURE() << "no group " << label;
  return {};
}

// Dense numbers are looked up in a table, scattered ones by a search: both must agree.
class ItemStatsByNumbering : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(ItemStatsByNumbering, GroupsAndSums) {
  const std::int32_t step = GetParam();
  const auto n = [step](std::int32_t k) { return k * step; };
  TCatalogue c;
  AddItem<TD2Ring>(c, n(1), "Anneau", 5, INT_MAX);
  AddItem<TD2Armor>(c, n(2), "Armure", 5, INT_MAX);
  AddItem<TD2Weapon>(c, n(3), "Arme", 4, -50);
  AddItem<TD2Jewel>(c, n(4), "Joyau", 0, 0);
  AddItem<TD2Item>(c, n(5), "Sans classe", 9, 7);
  AddItem<TD2Charm>(c, n(6), "Charme masqué", 1, 20);
  // An older, hidden item of number 4 before the last one: an entry of 4 stands for the last.
  c.ItemList.insert(c.ItemList.begin(), std::make_unique<TD2Ring>());
  c.ItemList.front()->Index = n(4);
  c.ItemList.front()->Quality = 1;
  AddChar(c, "Alice", {n(1), n(2), n(4), n(6), n(999)});
  AddChar(c, "Bob", {n(2), n(3), n(3)});
  AddChar(c, "Vide");

  ItemFilter filter;
  filter.ShowQuality[1] = false;  // "Magique": the charm and the older 4 are not counted
  const ItemStats stats = CountItemStats(c, filter);

  const std::int64_t max = INT_MAX;
  EXPECT_EQ(stats.InDatabase, 7);
  EXPECT_EQ(stats.Counted, (ItemTotals{5, 2 * max - 50 + 7}));
  EXPECT_EQ(stats.HighestPrice, INT_MAX);
  EXPECT_EQ(stats.AtPriceZero, 1);

  ASSERT_EQ(stats.ByQuality.size(), 7u);
  EXPECT_EQ(stats.ByQuality[0].Label, "Unique");
  EXPECT_EQ(stats.ByQuality[0].Totals, (ItemTotals{2, 2 * max}));
  EXPECT_EQ(Of(stats.ByQuality, "Set"), (ItemTotals{1, -50}));
  EXPECT_EQ(Of(stats.ByQuality, "Magique"), (ItemTotals{0, 0}));
  EXPECT_EQ(Of(stats.ByQuality, "Normal"), (ItemTotals{1, 0}));
  EXPECT_EQ(Of(stats.ByQuality, W("Autre qualité")), (ItemTotals{1, 7}));

  ASSERT_EQ(stats.ByCategory.size(), 12u);
  EXPECT_EQ(stats.ByCategory[0].Label, "Amulette");
  EXPECT_EQ(Of(stats.ByCategory, "Anneau"), (ItemTotals{1, max}));
  EXPECT_EQ(Of(stats.ByCategory, "Arme"), (ItemTotals{1, -50}));
  EXPECT_EQ(Of(stats.ByCategory, "Joyau"), (ItemTotals{1, 0}));
  EXPECT_EQ(Of(stats.ByCategory, "Charme"), (ItemTotals{0, 0}));
  EXPECT_EQ(Of(stats.ByCategory, W("Sans catégorie")), (ItemTotals{1, 7}));

  // Alice: the hidden charm and the unknown 999 are left out. Bob: item 3 twice
  // counts twice; item 2 counts for both. Nobody holds the bare item.
  ASSERT_EQ(stats.ByCharacter.size(), 3u);
  EXPECT_EQ(stats.ByCharacter[0].Totals, (ItemTotals{3, 2 * max}));
  EXPECT_EQ(stats.ByCharacter[1].Totals, (ItemTotals{3, max - 100}));
  EXPECT_EQ(stats.ByCharacter[2].Totals, (ItemTotals{0, 0}));
  EXPECT_EQ(stats.HeldByNobody, (ItemTotals{1, 7}));

  // The same figures from the positions a list shows, without the filter.
  std::vector<bool> shownAt;
  for (const auto& item : c.ItemList) shownAt.push_back(IsItemShown(*item, filter));
  const ItemStats fromList = CountItemStats(c, shownAt);
  EXPECT_EQ(ItemStatsText(fromList), ItemStatsText(stats));
  EXPECT_EQ(fromList.InDatabase, stats.InDatabase);
}

INSTANTIATE_TEST_SUITE_P(DenseAndScattered, ItemStatsByNumbering, ::testing::Values(1, 2000000));

TEST(ItemStats, MeanRoundsHalvesAwayFromZeroAndNothingHasNoHighest) {
  struct Case {
    std::vector<std::int32_t> prices;
    std::int64_t mean;
  };
  const Case cases[] = {{{}, 0}, {{1, 2}, 2}, {{-1, -2}, -2}, {{1, 1, 2}, 1}, {{INT_MAX, INT_MAX, INT_MAX}, INT_MAX}};
  for (const Case& k : cases) {
    TCatalogue c;
    std::int32_t number = 0;
    for (const std::int32_t price : k.prices) AddItem(c, ++number, "", 0, price);
    const ItemStats stats = CountItemStats(c, ItemFilter{});
    EXPECT_EQ(stats.MeanPrice(), k.mean) << k.prices.size();
    EXPECT_EQ(stats.HighestPrice.has_value(), !k.prices.empty());
  }
}

TEST(ItemStats, TextIsTabSeparatedWithPlainNumbers) {
  TCatalogue c;
  AddItem(c, 1, "", 5, 1500);
  AddChar(c, "Mule\t1", {1});
  const std::string text = ItemStatsText(CountItemStats(c, ItemFilter{}));
  EXPECT_EQ(text.rfind("Regroupement\tGroupe\tObjets\tValeur\nQualit\xE9\tUnique\t1\t1500\n", 0), 0u) << text;
  EXPECT_NE(text.find("\nPersonnage\tMule 1\t1\t1500\nPersonnage\taucun perso\t0\t0\n\nObjets\t1\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("\nPrix le plus haut\t1500\nObjets \xE0 prix 0\t0\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace kistora
