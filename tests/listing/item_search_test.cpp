// Quick search: folding of Windows-1252 text, and which texts of an item a
// query's words are looked for in. Texts are written in UTF-8 here for
// readability and converted to the program's Windows-1252 by W(...).
#include "listing/item_search.h"

#include <gtest/gtest.h>

#include "alloc_probe.h"
#include "core_test_support.h"
#include "listing/item_list_rows.h"
#include "model/cp1252.h"

namespace kistora {
namespace {

using testing::AddItem;
using testing::W;

bool Finds(std::string_view typedUtf8, const TD2Item& item) { return ItemSearchQuery(W(typedUtf8)).Matches(item); }

TEST(SearchFolding, CaseAccentsLigaturesAndSpaces) {
  EXPECT_EQ(SearchFolded(W("Épée")), "epee");
  EXPECT_EQ(SearchFolded(W("Cœur ŒIL")), "coeur oeil");
  EXPECT_EQ(SearchFolded(W("Ægis æß")), "aegis aess");
  EXPECT_EQ(SearchFolded(W("ŠšŽžŸÿÇçÑñ")), "sszzyyccnn");
  EXPECT_EQ(SearchFolded(W("ABC xyz 0-9 +d'×÷")), W("abc xyz 0-9 +d'×÷"));
  EXPECT_EQ(SearchFolded(W("a\tb\r\nc\u00A0d")), "a b  c d");
  // Every letter of the upper half becomes plain lower-case letters.
  for (int b = 0xC0; b <= 0xFF; ++b) {
    if (b == 0xD7 || b == 0xF7) continue;  // multiplication and division signs
    const std::string folded = SearchFolded(std::string(1, static_cast<char>(b)));
    ASSERT_FALSE(folded.empty()) << b;
    for (char c : folded) EXPECT_TRUE(c >= 'a' && c <= 'z') << "byte " << b;
  }
}

TEST(SearchQuery, WordsAreFoldedAndEmptyQueriesMatchEverything) {
  EXPECT_EQ(ItemSearchQuery(W("  ÉPÉE\tde  FEU ")).Words(), (std::vector<std::string>{"epee", "de", "feu"}));
  TD2Ring ring;
  EXPECT_TRUE(ItemSearchQuery().IsEmpty());
  EXPECT_TRUE(ItemSearchQuery(W(" \t\u00A0")).IsEmpty());
  EXPECT_TRUE(Finds("", ring));
  EXPECT_TRUE(Finds("   ", ring));
}

TEST(SearchQuery, EachTextOfTheItemIsSearched) {
  TCatalogue catalogue;
  TD2Jewel& jewel = AddItem<TD2Jewel>(catalogue, 4711, W("Épée de Tal Rasha"), 1, 250, W("éthérée"));
  jewel.MagicProps = {W("+10 Résistance au Feu"), "Vol de vie 5%"};
  EXPECT_TRUE(Finds("4711", jewel));
  EXPECT_TRUE(Finds("71", jewel));
  EXPECT_TRUE(Finds("EPEE", jewel));        // name
  EXPECT_TRUE(Finds("tal rasha", jewel));   // set name
  EXPECT_TRUE(Finds("ethere", jewel));      // notes
  EXPECT_TRUE(Finds("joyaux", jewel));      // dialog category label
  EXPECT_TRUE(Finds("magique", jewel));     // quality label
  EXPECT_TRUE(Finds("résistance", jewel));  // first property line
  EXPECT_TRUE(Finds("vie 5%", jewel));      // last property line
  EXPECT_FALSE(Finds("250", jewel));        // the price is not a text of the item
  EXPECT_FALSE(Finds("unique", jewel));
  EXPECT_FALSE(Finds("4712", jewel));

  TD2Helm& helm = AddItem<TD2Helm>(catalogue, -5, "Couronne", 9);
  EXPECT_TRUE(Finds("casque", helm));  // list category label
  EXPECT_TRUE(Finds("-5", helm));
  EXPECT_FALSE(Finds("normal", helm));  // no label for quality code 9
  TD2Item bare;
  bare.Quality = 5;
  EXPECT_TRUE(Finds("unique", bare));
  EXPECT_FALSE(Finds("joyau", bare));
}

// A class the program does not create still gets its family's labels.
class TestRing : public TD2Ring {};

TEST(SearchQuery, ItemOfAnotherClassGetsItsFamilyLabels) {
  TestRing ring;
  EXPECT_TRUE(Finds("anneau", ring));
  EXPECT_FALSE(Finds("amulette", ring));
}

TEST(SearchQuery, EveryWordMustOccurAndNoWordSpansTwoTexts) {
  TCatalogue catalogue;
  TD2Weapon& sword = AddItem<TD2Weapon>(catalogue, 3, "Lame de feu", 5, 0, "abc");
  sword.MagicProps = {"def"};
  EXPECT_TRUE(Finds("feu lame", sword));
  EXPECT_TRUE(Finds("arme UNIQUE abc def", sword));
  EXPECT_FALSE(Finds("feu glace", sword));
  EXPECT_FALSE(Finds("bcde", sword));  // end of the notes + start of the property
  EXPECT_FALSE(Finds("feuarme", sword));
}

TEST(SearchQuery, CombinesWithTheBoxesAndListsOnlyMatchingRows) {
  TCatalogue catalogue;
  AddItem<TD2Ring>(catalogue, 1, "Anneau de Feu", 5, 10);
  AddItem<TD2Ring>(catalogue, 2, "Anneau de Glace", 5, 20);
  AddItem<TD2Amulet>(catalogue, 3, "Amulette de Feu", 2, 0);
  AddItem<TD2Boots>(catalogue, 4, "Bottes de feu", 0, 40);
  ItemFilter filter;
  filter.Search = ItemSearchQuery("FEU");
  filter.HidePrice0 = true;
  filter.ShowQuality[0] = false;
  const std::vector<ItemListRow> rows = MakeItemListRows(catalogue.ItemList, filter);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Index, 1);
  filter = ItemFilter();
  EXPECT_EQ(MakeItemListRows(catalogue.ItemList, filter).size(), 4u);
}

TEST(SearchQuery, MatchingAllocatesNothingPerItem) {
  TCatalogue catalogue;
  for (int i = 0; i < 200; ++i) {
    TD2Shield& shield = AddItem<TD2Shield>(catalogue, i, W("Bouclier de l'Ange déchu numéro ") + std::to_string(i),
                                           i % 6, i, "notes assez longues pour le tas");
    shield.MagicProps = {"+20% chances de bloquer", W("Résistance à tout +15")};
  }
  const ItemSearchQuery query("ange 19");
  ASSERT_TRUE(query.Matches(*catalogue.ItemList.back()));  // warms the reused buffer up with the longest texts
  test::AllocProbe probe;
  int matched = 0;
  for (const auto& item : catalogue.ItemList) matched += query.Matches(*item) ? 1 : 0;
  EXPECT_EQ(matched, 12);  // 19, 119 and 190..199
  EXPECT_EQ(probe.Total(), 0u);
}

}  // namespace
}  // namespace kistora
