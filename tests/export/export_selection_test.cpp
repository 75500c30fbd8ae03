// Which items are exported, and in which order.
#include "export/export_selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "export_test_support.h"

namespace kistora {
namespace {

using testing::AddChar;
using testing::AddItem;
using testing::W;

std::vector<std::string> Names(const ExportSelection& selection, int section) {
  std::vector<std::string> names;
  for (const TD2Item* item : selection.SectionItems(section)) names.push_back(item->Name);
  return names;
}

using Names_ = std::vector<std::string>;

TEST(CompareTextAZ, FoldsOnlyAToZAndPutsPrefixesFirst) {
  EXPECT_EQ(CompareTextAZ("abc", "ABC"), 0);
  EXPECT_LT(CompareTextAZ("abc", "abd"), 0);
  EXPECT_LT(CompareTextAZ("Ab", "abc"), 0);
  EXPECT_GT(CompareTextAZ("b", "Abc"), 0);
  EXPECT_EQ(CompareTextAZ("", ""), 0);
  EXPECT_NE(CompareTextAZ(W("é"), W("É")), 0);
  EXPECT_GT(CompareTextAZ(W("é"), "z"), 0) << "accented letters compare by their code, after ASCII";
  EXPECT_GT(CompareTextAZ("_", "z"), 0) << "a..z are taken as A..Z, so '_' (0x5F) follows every letter";
}

class Selection : public ::testing::Test {
 protected:
  TCatalogue catalogue;
  ExportSettings settings;
};

TEST_F(Selection, ScopesChooseByHolder) {
  AddItem<TD2Ring>(catalogue, 1, "Un", 2);
  AddItem<TD2Ring>(catalogue, 2, "Deux", 2);
  AddItem<TD2Ring>(catalogue, 3, "Trois", 2);
  AddChar(catalogue, "A", {1, 1, 99});
  AddChar(catalogue, "B", {2});

  settings.Scope = ExportScope::AllChars;
  EXPECT_EQ(Names(ExportSelection(settings, catalogue, -1), 2), (Names_{"Deux", "Un"}));
  settings.Scope = ExportScope::AllItems;
  EXPECT_EQ(Names(ExportSelection(settings, catalogue, -1), 2), (Names_{"Deux", "Trois", "Un"}));
  settings.Scope = ExportScope::SelectedChar;
  const ExportSelection selected(settings, catalogue, 0);
  EXPECT_EQ(Names(selected, 2), (Names_{"Un"})) << "held twice, written once";
  EXPECT_EQ(selected.CountExported(2), 1);
  EXPECT_EQ(Names(ExportSelection(settings, catalogue, 1), 2), (Names_{"Deux"}));
  EXPECT_TRUE(Names(ExportSelection(settings, catalogue, -1), 2).empty());
  EXPECT_TRUE(Names(ExportSelection(settings, catalogue, 5), 2).empty()) << "a row beyond the list is no selection";
}

TEST_F(Selection, QualityBoxesAndPriceMask) {
  const char* names[] = {"normal", "magique", "rare", "crafted", "set", "unique"};
  for (int q = 0; q < 6; ++q) {
    AddItem<TD2Charm>(catalogue, q * 2, names[q], q, 0);
    AddItem<TD2Charm>(catalogue, q * 2 + 1, std::string(names[q]) + " cher", q, 5);
  }
  AddItem<TD2Charm>(catalogue, 50, "hors code", 6, 5);
  AddItem<TD2Charm>(catalogue, 51, "hors code 255", 255, 5);
  settings.Scope = ExportScope::AllItems;
  settings.MaskPrice0 = true;
  settings.ShowRares = false;
  settings.ShowUniques = false;
  const ExportSelection selection(settings, catalogue, -1);
  const int expected[] = {1, 1, 0, 1, 1, 0};
  for (int q = 0; q < 6; ++q) EXPECT_EQ(selection.CountExported(q), expected[q]) << "quality " << q;
  EXPECT_EQ(selection.CountExported(6), 0);
  EXPECT_FALSE(selection.IsExported(*catalogue.ItemList[12]));
  EXPECT_FALSE(selection.IsExported(*catalogue.ItemList[13]));
  EXPECT_TRUE(Names(selection, 0).empty());
  EXPECT_EQ(Names(selection, 2), (Names_{"crafted cher"}));
  EXPECT_EQ(Names(selection, 3), (Names_{"magique cher", "normal cher"}));
}

TEST_F(Selection, NameSortFoldsCaseAndMixesTheTwoQualitiesOfASection) {
  AddItem<TD2Ring>(catalogue, 1, "bague", 3);
  AddItem<TD2Ring>(catalogue, 2, "Anneau", 2);
  AddItem<TD2Ring>(catalogue, 3, "anneau d'or", 3);
  AddItem<TD2Ring>(catalogue, 4, "Cercle", 2);
  AddItem<TD2Ring>(catalogue, 5, W("Écrin"), 2);
  settings.Scope = ExportScope::AllItems;
  EXPECT_EQ(Names(ExportSelection(settings, catalogue, -1), 2),
            (Names_{"Anneau", "anneau d'or", "bague", "Cercle", W("Écrin")}));
}

TEST_F(Selection, PriceSortPutsTheHighestFirstAndKeepsTiesInDatabaseOrder) {
  AddItem<TD2Ring>(catalogue, 1, "a", 5, 10);
  AddItem<TD2Ring>(catalogue, 2, "b", 5, -5);
  AddItem<TD2Ring>(catalogue, 3, "c", 5, 300);
  AddItem<TD2Ring>(catalogue, 4, "d", 5, 10);
  settings.Scope = ExportScope::AllItems;
  settings.SortBy = ExportSort::Price;
  EXPECT_EQ(Names(ExportSelection(settings, catalogue, -1), 0), (Names_{"c", "a", "d", "b"}));
  settings.SortBy = ExportSort::None;
  EXPECT_EQ(Names(ExportSelection(settings, catalogue, -1), 0), (Names_{"a", "b", "c", "d"}));
}

TEST_F(Selection, SetItemsAreGroupedBySetThenByThePrimaryOrder) {
  AddItem<TD2Gloves>(catalogue, 1, "Gants de Fer", 4, 5);
  AddItem<TD2Helm>(catalogue, 2, "Heaume du Roi", 4, 50);
  AddItem<TD2Boots>(catalogue, 3, "Bottes de fer", 4, 7);
  AddItem<TD2Armor>(catalogue, 4, "Armure d'Acier", 4, 1);
  AddItem<TD2Belt>(catalogue, 5, "Ceinture du Roi", 4, 9);
  settings.Scope = ExportScope::AllItems;

  EXPECT_EQ(Names(ExportSelection(settings, catalogue, -1), 1),
            (Names_{"Armure d'Acier", "Bottes de fer", "Gants de Fer", "Ceinture du Roi", "Heaume du Roi"}));
  settings.SortBy = ExportSort::Price;
  EXPECT_EQ(Names(ExportSelection(settings, catalogue, -1), 1),
            (Names_{"Armure d'Acier", "Bottes de fer", "Gants de Fer", "Heaume du Roi", "Ceinture du Roi"}));
  settings.SortBy = ExportSort::None;
  EXPECT_EQ(Names(ExportSelection(settings, catalogue, -1), 1),
            (Names_{"Armure d'Acier", "Gants de Fer", "Bottes de fer", "Heaume du Roi", "Ceinture du Roi"}))
      << "without a sort key the sets are still grouped";
  settings.TrierSets = false;
  settings.SortBy = ExportSort::Name;
  EXPECT_EQ(Names(ExportSelection(settings, catalogue, -1), 1),
            (Names_{"Armure d'Acier", "Bottes de fer", "Ceinture du Roi", "Gants de Fer", "Heaume du Roi"}));
}

TEST_F(Selection, CompareExportItemsFollowsTheSortOptions) {
  auto& setA = AddItem<TD2Gloves>(catalogue, 1, "Z de Alpha", 4, 1);
  auto& setB = AddItem<TD2Gloves>(catalogue, 2, "A de Beta", 4, 2);
  auto& rare = AddItem<TD2Ring>(catalogue, 3, "m", 2, 3);
  const ExportSelection byName(settings, catalogue, -1);
  EXPECT_LT(byName.CompareExportItems(setA, setB), 0) << "different sets: by set name";
  EXPECT_GT(byName.CompareExportItems(setA, rare), 0) << "a set item against another: by name";
  EXPECT_EQ(byName.CompareExportItems(setA, setA), 0);
  settings.SortBy = ExportSort::Price;
  settings.TrierSets = false;
  const ExportSelection byPrice(settings, catalogue, -1);
  EXPECT_GT(byPrice.CompareExportItems(setA, setB), 0);
  EXPECT_LT(byPrice.CompareExportItems(rare, setB), 0);
}

// Random catalogues: every section is ordered as CompareExportItems says, and
// holds exactly the items that IsExported accepts.
TEST_F(Selection, SectionsAgreeWithCompareAndIsExportedOnRandomCatalogues) {
  std::mt19937 random(2024);
  const std::string pieces[] = {"Gants", "gants", "Casque", "Armure", "bottes", "_x", "[y", W("Épée")};
  const char* sets[] = {"Fer", "fer", "Roi", "Acier", "", "Ciel"};
  const char* connectors[] = {" de ", " du ", " d'", " des "};
  for (int round = 0; round < 40; ++round) {
    TCatalogue random_catalogue;
    for (int i = 0; i < 120; ++i) {
      std::string name = pieces[random() % 8] + connectors[random() % 4] + sets[random() % 6];
      AddItem<TD2Helm>(random_catalogue, static_cast<std::int32_t>(random() % 150), name,
                       static_cast<int>(random() % 7), static_cast<std::int32_t>(random() % 5) - 1);
    }
    AddChar(random_catalogue, "A", {1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144});
    AddChar(random_catalogue, "B", {4, 8, 15, 16, 23, 42, 108});
    ExportSettings s;
    s.SortBy = static_cast<ExportSort>(round % 3);
    s.TrierSets = (round / 3) % 2 == 0;
    s.Scope = static_cast<ExportScope>(round % 3);
    s.MaskPrice0 = round % 5 == 0;
    s.ShowRares = round % 4 != 1;
    const ExportSelection selection(s, random_catalogue, round % 2);
    int total = 0;
    for (int section = 0; section < 4; ++section) {
      const auto& items = selection.SectionItems(section);
      total += static_cast<int>(items.size());
      for (std::size_t i = 0; i < items.size(); ++i) {
        ASSERT_TRUE(selection.IsExported(*items[i]));
        for (std::size_t j = i + 1; j < items.size(); ++j) {
          ASSERT_LE(selection.CompareExportItems(*items[i], *items[j]), 0)
              << "round " << round << ": " << items[i]->Name << " before " << items[j]->Name;
        }
      }
    }
    int exported = 0;
    for (const auto& item : random_catalogue.ItemList) exported += selection.IsExported(*item) ? 1 : 0;
    EXPECT_EQ(total, exported);
    int counted = 0;
    for (int q = 0; q < 6; ++q) counted += selection.CountExported(q);
    EXPECT_EQ(counted, exported);
  }
}

}  // namespace
}  // namespace kistora

namespace kistora {
namespace {

TEST(SelectionLifetime, KeepsItsOwnCopyOfTheSettings) {
  TCatalogue catalogue;
  testing::AddItem<TD2Ring>(catalogue, 1, "b", 2);
  testing::AddItem<TD2Ring>(catalogue, 2, "a", 2);
  const ExportSelection selection(
      [] {
        ExportSettings settings;
        settings.Scope = ExportScope::AllItems;
        settings.SortBy = ExportSort::Price;
        return settings;
      }(),
      catalogue, -1);
  EXPECT_TRUE(selection.IsExported(*catalogue.ItemList[0]));
  EXPECT_EQ(selection.Settings().SortBy, ExportSort::Price);
  EXPECT_EQ(selection.SectionItems(2).front()->Name, "b");
}

}  // namespace
}  // namespace kistora
