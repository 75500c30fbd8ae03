// Who holds an item, and the line that says it.
#include "listing/item_holders.h"

#include <gtest/gtest.h>

#include "core_test_support.h"

namespace kistora {
namespace {

using testing::W;

TEST(ItemHolders, EachCharacterOnceWithItsCountAndTheLineThatSaysIt) {
  TCatalogue catalogue;
  testing::AddChar(catalogue, "Mule01", {7, 3, 7});
  testing::AddChar(catalogue, W("Sorcière"), {3});
  testing::AddChar(catalogue, "", {3});
  testing::AddChar(catalogue, "Zoe", {});
  const std::vector<ItemHolder> three = HoldersOf(catalogue.CharList, 3);
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(three[1].Row, 1);
  EXPECT_EQ(Cp1252ToUtf8(HeldByText(three)), "Détenu par Mule01, Sorcière, (sans nom)");
  EXPECT_EQ(Cp1252ToUtf8(HeldByText(three, 2)), "Détenu par Mule01, Sorcière et 1 autre");
  EXPECT_EQ(Cp1252ToUtf8(HeldByText(three, 1)), "Détenu par Mule01 et 2 autres");
  EXPECT_EQ(Cp1252ToUtf8(HeldByText(HoldersOf(catalogue.CharList, 7))), "Détenu par Mule01 (2×)");
  EXPECT_EQ(Cp1252ToUtf8(HeldByText(HoldersOf(catalogue.CharList, 8))), "Détenu par aucun perso");

  EXPECT_EQ(HeldNumbers(catalogue.CharList, ""), (std::vector<std::int32_t>{3, 7}));
  EXPECT_EQ(HeldNumbers(catalogue.CharList, "sorciere"), (std::vector<std::int32_t>{3}));

  // Numbers close together are held as bits, far apart as a sorted list: the same answers.
  for (const bool farApart : {false, true}) {
    if (farApart) testing::AddChar(catalogue, "Zoe", {-2000000000, 2000000000});
    const HeldNumberSet held(catalogue.CharList, "");
    EXPECT_TRUE(held.Contains(3) && held.Contains(7)) << farApart;
    EXPECT_FALSE(held.Contains(4) || held.Contains(8) || held.Contains(2)) << farApart;
    EXPECT_EQ(held.Contains(2000000000), farApart);
    EXPECT_EQ(held.Sorted(), HeldNumbers(catalogue.CharList, ""));
  }
}

}  // namespace
}  // namespace kistora
