// Counts and total values of the lists, and their French lines. Expected texts
// are written in UTF-8 and converted to Windows-1252 by Cp(...); "_" stands for
// the no-break space that groups digits.
#include "model/item_counts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "core_test_support.h"
#include "model/cp1252.h"

namespace kistora {
namespace {

std::string Cp(std::string_view utf8) {
  std::string text = Utf8ToCp1252(utf8);
  std::replace(text.begin(), text.end(), '_', '\xA0');
  return text;
}

TEST(ItemCounts, ValuesAreSummedIn64BitsNegativesIncluded) {
  ItemTotals totals;
  for (const std::int32_t price : {INT_MAX, INT_MAX, -5}) totals.Add(price);
  EXPECT_EQ(totals.Count, 3);
  EXPECT_EQ(totals.Value, 2 * std::int64_t{INT_MAX} - 5);
}

TEST(ItemCounts, NumbersAreGroupedByThreeWithNoBreakSpaces) {
  EXPECT_EQ(GroupedNumber(0), "0");
  EXPECT_EQ(GroupedNumber(999), "999");
  EXPECT_EQ(GroupedNumber(1000), Cp("1_000"));
  EXPECT_EQ(GroupedNumber(-1234567), Cp("-1_234_567"));
  EXPECT_EQ(GroupedNumber(-100000), Cp("-100_000"));
  EXPECT_EQ(GroupedNumber(INT64_MIN), Cp("-9_223_372_036_854_775_808"));
}

TEST(ItemCounts, FrenchLines) {
  EXPECT_EQ(ItemWindowCountText(12, 3400, -2500), Cp("12 objets affichés sur 3_400 — valeur totale -2_500"));
  EXPECT_EQ(ItemWindowCountText(1, 1, 7), Cp("1 objet affiché sur 1 — valeur totale 7"));
  EXPECT_EQ(ItemWindowCountText(0, 5, 0), Cp("0 objet affiché sur 5 — valeur totale 0"));
  EXPECT_EQ(InventoryCountText({2, 1500}), Cp("2 objets — valeur 1_500"));
  EXPECT_EQ(InventoryCountText({1, 0}), Cp("1 objet — valeur 0"));
  // The dash and the accent are single Windows-1252 bytes.
  EXPECT_NE(InventoryCountText({3, 0}).find("\x97"), std::string::npos);
}

}  // namespace
}  // namespace kistora
