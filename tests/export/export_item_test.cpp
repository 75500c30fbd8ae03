// One item as the writers put it: characteristic lines per class, links and
// set titles, highlighting, row numbers, category labels and text padding.
#include <gtest/gtest.h>

#include "core_test_support.h"
#include "export/export_writer.h"
#include "export_test_support.h"

namespace kistora {
namespace {

using testing::AddChar;
using testing::AddItem;
using testing::CrLf;
using testing::ItemText;
using testing::W;

// The lines between the span's opening and closing lines.
std::string Block(const std::string& row) {
  const std::string open = "display:none\"><P>\r\n";
  const auto from = row.find(open);
  const auto to = row.find("    <P></span>");
  if (from == std::string::npos || to == std::string::npos) return "<no block>";
  return row.substr(from + open.size(), to - from - open.size());
}

TEST(ExportItem, WeaponWithZerosStillGetsDamageSpeedAndSeparator) {
  TD2Weapon weapon;
  weapon.Name = "Gourdin";
  weapon.Speed = 9;
  EXPECT_EQ(Block(ItemText(ExportSettings(), weapon)),
            CrLf({W("      Dommages: 0 à 0<BR>"), "      Vitesse d'attaque: Normale<BR>", "      <BR>"}));
}

TEST(ExportItem, ShieldGetsDefenceAndBlockAndEveryRequirementInOrder) {
  TD2Shield shield;
  shield.Name = "Pavois";
  shield.Def = -3;
  shield.Parade = 40;
  shield.Dur = 5;
  shield.MaxDur = 1;
  shield.Dex = 7;
  shield.Str = 8;
  shield.CLvl = 9;
  shield.MagicProps = {"a", "", "<b>"};
  EXPECT_EQ(Block(ItemText(ExportSettings(), shield)),
            CrLf({W("      Défense: -3<BR>"), W("      Capacité à parer: 40%<BR>"), W("      Résistance: 5 sur 1<BR>"),
                  W("      Dextérité nécessaire: 7<BR>"), W("      Force nécessaire: 8<BR>"),
                  W("      Niveau nécessaire: 9<BR>"), "      <BR>", "      a<BR>", "      <BR>", "      <b><BR>"}));
}

TEST(ExportItem, RequirementsAtZeroOrBelowAreLeftOut) {
  TD2Amulet amulet;
  amulet.Name = "Talisman";
  amulet.MaxDur = 0;
  amulet.Dur = 10;
  amulet.Dex = -1;
  amulet.Str = 0;
  amulet.CLvl = -5;
  amulet.MagicProps = {"+1", "+2"};
  EXPECT_EQ(Block(ItemText(ExportSettings(), amulet)), CrLf({"      +1<BR>", "      +2<BR>"}))
      << "no characteristic line, so no separating <BR>";
}

TEST(ExportItem, EveryDefensiveClassGetsItsDefence) {
  TD2Gloves gloves;
  TD2Boots boots;
  TD2Belt belt;
  TD2Helm helm;
  TD2Armor armor;
  TD2DefItem bare;
  for (TD2DefItem* item : std::initializer_list<TD2DefItem*>{&gloves, &boots, &belt, &helm, &armor, &bare}) {
    item->Name = "x";
    item->Def = 12;
    EXPECT_EQ(Block(ItemText(ExportSettings(), *item)), CrLf({W("      Défense: 12<BR>"), "      <BR>"}));
  }
}

TEST(ExportItem, CategoryLabelsUseTheExportSpelling) {
  TD2Jewel jewel;
  TD2Item bare;
  TD2DefItem defItem;
  TD2Boots boots;
  TD2Charm charm;
  EXPECT_EQ(ExportCategoryLabel(jewel, "&nbsp"), "Joyaux");
  EXPECT_EQ(ExportCategoryLabel(boots, "&nbsp"), "Bottes");
  EXPECT_EQ(ExportCategoryLabel(charm, "&nbsp"), "Charme");
  EXPECT_EQ(ExportCategoryLabel(bare, "&nbsp"), "&nbsp");
  EXPECT_EQ(ExportCategoryLabel(defItem, "?"), "?");
}

TEST(ExportItem, SetItemsAreLinkedUnderTheirSetTitleOnlyWithTheScript) {
  TD2Gloves gloves;
  gloves.Name = "Gants de Fer";
  gloves.Quality = 4;
  ExportSettings settings;
  const std::string linked = ItemText(settings, gloves);
  EXPECT_NE(linked.find("  <TD><A HREF=\"javascript:bascule(i1)\">Fer: Gants</A>\r\n"), std::string::npos) << linked;
  settings.UseBascule = false;
  EXPECT_EQ(ItemText(settings, gloves),
            CrLf({"<TR>", "  <TD>Gants de Fer</TD>", "  <TD>Gants</TD>", "  <TD>&nbsp;</TD>", "</TR>"}));
  gloves.Quality = 5;
  settings.UseBascule = true;
  EXPECT_NE(ItemText(settings, gloves).find(">Gants de Fer</A>"), std::string::npos);
}

TEST(ExportItem, BlankNamesGetNoLinkAndBlankNotesAnEmptyCell) {
  TD2Ring ring;
  ring.Name = "   ";
  ring.Notes = "  ";
  ring.Price = 4;
  ring.MagicProps = {"never shown"};
  ExportSettings settings;
  settings.ShowPrice = true;
  EXPECT_EQ(ItemText(settings, ring), CrLf({"<TR BGCOLOR=#FFFFFF>", "  <TD>&nbsp;</TD>", "  <TD>Anneau</TD>",
                                            "  <TD>4</TD>", "  <TD>&nbsp;</TD>", "</TR>"}));
  ring.Notes = " a ";
  EXPECT_NE(ItemText(settings, ring).find("  <TD> a </TD>\r\n"), std::string::npos) << "notes as stored";
}

TEST(ExportItem, HighlightingComparesThePriceWithTheMinimum) {
  ExportSettings settings;
  settings.IICol = 0x0000FF;
  TD2Ring ring;
  ring.Name = "r";
  const auto highlighted = [&](std::int32_t price, std::int32_t minimum) {
    ring.Price = price;
    settings.IIPrice = minimum;
    const std::string row = ItemText(settings, ring);
    if (row.rfind("<TR BGCOLOR=#FF0000>\r\n", 0) == 0) return true;
    EXPECT_EQ(row.rfind("<TR>\r\n", 0), 0u) << row;
    return false;
  };
  EXPECT_TRUE(highlighted(0, 0));
  EXPECT_TRUE(highlighted(5, 0));
  EXPECT_FALSE(highlighted(-1, 0));
  EXPECT_FALSE(highlighted(1, 2));
  EXPECT_TRUE(highlighted(2, 2));
  EXPECT_TRUE(highlighted(-2147483647 - 1, -2147483647 - 1));
}

TEST(ExportItem, RowNumbersRunAcrossSections) {
  TCatalogue catalogue;
  for (int i = 1; i <= 3; ++i) AddItem<TD2Ring>(catalogue, i, "Unique " + std::to_string(i), 5);
  AddItem<TD2Gloves>(catalogue, 4, "Gants de Fer", 4);
  AddItem<TD2Boots>(catalogue, 5, "Bottes de Fer", 4);
  AddChar(catalogue, "A", {1, 2, 3, 4, 5});
  const std::string page = testing::Export(ExportSettings(), catalogue);
  EXPECT_NE(page.find("bascule(i4)\">Fer: Bottes</A>"), std::string::npos);
  EXPECT_NE(page.find("<span id=\"i5\""), std::string::npos);
  EXPECT_EQ(page.find("i6"), std::string::npos);
  EXPECT_LT(page.find("Unique 3"), page.find(">Sets<"));
}

TEST(ExportItem, TextLinesPadTheNameAndThePriceWithoutCutting) {
  ExportSettings settings;
  settings.Format = ExportFormat::Ascii;
  settings.ShowPrice = true;
  TD2Weapon weapon;
  weapon.Quality = 4;
  weapon.Name = "Lame de Fer";
  weapon.Price = 7;
  weapon.Notes = "note";
  weapon.MagicProps = {"hidden"};
  EXPECT_EQ(ItemText(settings, weapon), "  Lame de Fer                       7   note\r\n")
      << "set items show their plain name; no category, no properties";
  weapon.Name = std::string(35, 'n');
  weapon.Price = 123456;
  EXPECT_EQ(ItemText(settings, weapon), "  " + std::string(35, 'n') + "123456   note\r\n");
  weapon.Price = -42;
  settings.ShowPrice = false;
  EXPECT_EQ(ItemText(settings, weapon), "  " + std::string(35, 'n') + "note\r\n");
}

}  // namespace
}  // namespace kistora
