// Whole trading lists, HTML and text, compared line for line.
#include <gtest/gtest.h>

#include "core_test_support.h"
#include "export/export_settings.h"
#include "export_test_support.h"

namespace kistora {
namespace {

using testing::AddChar;
using testing::AddItem;
using testing::CrLf;
using testing::Export;
using testing::W;

const std::initializer_list<std::string> kScript = {
    "<SCRIPT LANGUAGE=\"JavaScript\">",
    "function bascule(texte)",
    "{",
    "  if (texte.style.display==\"none\")",
    "  {",
    "    texte.style.display=\"\"",
    "  }",
    "  else",
    "  {",
    "    texte.style.display=\"none\"",
    "  }",
    "}",
    "</SCRIPT>",
    "<style type=\"text/css\">",
    "<!--",
    "        A:link {text-decoration: none; color: #000080}",
    "        A:visited {text-decoration: none; color: #000080}",
    "        A:active {text-decoration: none; color: #0000FF}",
    "        A:hover {text-decoration: underline; color: #0000FF}",
    "-->",
    "</style>",
    "",
};

std::string SectionHead(const std::string& title) {
  return CrLf({"<TR BGCOLOR=#40C0FF><TH COLSPAN = 3>" + title + "</TH></TR>", "<TR BGCOLOR=#B0E0FF>", "  <TH>Nom</TH>",
               W("  <TH>Catégorie</TH>"), "  <TH>Notes</TH>", "</TR>"});
}

// One of each section, every kind of name cell, notes with HTML characters,
// and an item held by nobody.
class TradingList : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& blade = AddItem<TD2Weapon>(catalogue, 1, "Lame Ancienne", 5, 10);
    blade.MinDmg = 5;
    blade.MaxDmg = 12;
    blade.Speed = 3;
    blade.CLvl = 20;
    blade.Str = 50;
    blade.Dur = 30;
    blade.MaxDur = 40;
    blade.MagicProps = {W("+50% dégâts"), "Vol de vie 5%"};
    AddItem<TD2Helm>(catalogue, 2, "Casque de Fer", 4, 0).Def = 25;
    AddItem<TD2Ring>(catalogue, 3, "Anneau <rare> & co", 2, 3, W("à vendre"));
    AddItem<TD2Amulet>(catalogue, 4, "Amulette du Ciel", 1, 1).MagicProps = {W("+1 aux compétences"), "+10 vie"};
    AddItem<TD2Item>(catalogue, 5, "  ", 0, 0);
    AddItem<TD2Jewel>(catalogue, 6, "Joyau perdu", 5, 99);  // held by nobody
    AddChar(catalogue, "Bob", {5, 1, 2, 3, 4, 5, 77});
  }
  TCatalogue catalogue;
  ExportSettings settings;
};

TEST_F(TradingList, HtmlPageWithDesignedSettings) {
  std::string expected =
      CrLf({W("<! Fichier généré le 12/06/26 à 17:55:03 par Kistora>"), "<HTML>",
            "<HEAD><TITLE>Inventaire de Diablo II - Liste de trade</TITLE></HEAD>", "<BODY BGCOLOR=#FFFFFF>", ""});
  expected += CrLf(kScript);
  expected +=
      CrLf({"<CENTER><H2>Inventaire de Diablo II - Liste de trade</H2></CENTER><P>", "",
            W("<I>Dernière mise à jour le Sunday 06 December</I>"), "<TABLE WIDTH=100% BORDER BGCOLOR=#FFFFFF>"});
  expected += SectionHead("Uniques");
  expected += CrLf(
      {"<TR BGCOLOR=#FFFFFF>", "  <TD><A HREF=\"javascript:bascule(i1)\">Lame Ancienne</A>",
       "    <span id=\"i1\" style=\"z-index:1; overflow: visible; display:none\"><P>", W("      Dommages: 5 à 12<BR>"),
       W("      Résistance: 30 sur 40<BR>"), W("      Force nécessaire: 50<BR>"), W("      Niveau nécessaire: 20<BR>"),
       "      Vitesse d'attaque: Rapide<BR>", "      <BR>", W("      +50% dégâts<BR>"), "      Vol de vie 5%<BR>",
       "    <P></span>", "  </TD>", "  <TD>Arme</TD>", "  <TD>&nbsp;</TD>", "</TR>", ""});
  expected += SectionHead("Sets");
  expected +=
      CrLf({"<TR>", "  <TD><A HREF=\"javascript:bascule(i2)\">Fer: Casque</A>",
            "    <span id=\"i2\" style=\"z-index:1; overflow: visible; display:none\"><P>", W("      Défense: 25<BR>"),
            "      <BR>", "    <P></span>", "  </TD>", "  <TD>Casque</TD>", "  <TD>&nbsp;</TD>", "</TR>", ""});
  expected += SectionHead("Crafted / Rares");
  expected += CrLf({"<TR BGCOLOR=#FFFFFF>", "  <TD><A HREF=\"javascript:bascule(i3)\">Anneau <rare> & co</A>",
                    "    <span id=\"i3\" style=\"z-index:1; overflow: visible; display:none\"><P>", "    <P></span>",
                    "  </TD>", "  <TD>Anneau</TD>", W("  <TD>à vendre</TD>"), "</TR>", ""});
  expected += SectionHead("Magiques / Normaux");
  expected += CrLf({"<TR>", "  <TD>&nbsp;</TD>", "  <TD>&nbsp</TD>", "  <TD>&nbsp;</TD>", "</TR>",
                    "<TR BGCOLOR=#FFFFFF>", "  <TD><A HREF=\"javascript:bascule(i5)\">Amulette du Ciel</A>",
                    "    <span id=\"i5\" style=\"z-index:1; overflow: visible; display:none\"><P>",
                    W("      +1 aux compétences<BR>"), "      +10 vie<BR>", "    <P></span>", "  </TD>",
                    "  <TD>Amulette</TD>", "  <TD>&nbsp;</TD>", "</TR>", "</TABLE>", "</BODY>", "</HTML>"});
  EXPECT_EQ(Export(settings, catalogue), expected);
}

TEST_F(TradingList, HtmlPageWithEveryPresentationOptionTurned) {
  settings.UseBascule = false;
  settings.ShowMajDate = false;
  settings.TabBorder = false;
  settings.ShowPrice = true;
  settings.PageTitle = "Mes <objets>";
  settings.Sign = W(" Signé: moi & co ");
  settings.PageCol = 0x112233;
  settings.TabCol = 0x445566;
  settings.PTCol = 0x000001;
  settings.STCol = 0x000002;
  settings.IICol = 0xD9D9FF;
  settings.IIPrice = 5;
  settings.ShowMagics = false;
  settings.ShowNormals = false;
  settings.ShowRares = false;
  settings.ShowSets = false;
  const auto head = [](const std::string& title) {
    return CrLf({"<TR BGCOLOR=#010000><TH COLSPAN = 4>" + title + "</TH></TR>", "<TR BGCOLOR=#020000>",
                 "  <TH>Nom</TH>", W("  <TH>Catégorie</TH>"), "  <TH>Prix</TH>", "  <TH>Notes</TH>", "</TR>"});
  };
  std::string expected = CrLf({W("<! Fichier généré le 12/06/26 à 17:55:03 par Kistora>"), "<HTML>",
                               "<HEAD><TITLE>Mes <objets></TITLE></HEAD>", "<BODY BGCOLOR=#332211>", "",
                               "<CENTER><H2>Mes <objets></H2></CENTER><P>", "", "<TABLE WIDTH=100% BGCOLOR=#665544>"});
  expected += head("Uniques");
  expected +=
      CrLf({"<TR BGCOLOR=#FFD9D9>", "  <TD>Lame Ancienne</TD>", "  <TD>Arme</TD>", "  <TD>10</TD>", "  <TD>&nbsp;</TD>",
            "</TR>", "", "</TABLE>", W("<P ALIGN = right><I> Signé: moi & co </I></P>"), "</BODY>", "</HTML>"});
  EXPECT_EQ(Export(settings, catalogue), expected);
}

TEST_F(TradingList, TextListWithPricesAndSignature) {
  settings.Format = ExportFormat::Ascii;
  settings.ShowPrice = true;
  settings.Sign = "Bob";
  settings.Scope = ExportScope::AllItems;
  EXPECT_EQ(Export(settings, catalogue),
            CrLf({W("Fichier généré le 12/06/26 à 17:55:03 par Kistora"), "Inventaire de Diablo II - Liste de trade",
                  "", "Uniques", "  Joyau perdu                      99   ", "  Lame Ancienne                    10   ",
                  "", "Sets", "  Casque de Fer                     0   ", "", "Crafted / Rares",
                  W("  Anneau <rare> & co                3   à vendre"), "", "Magiques / Normaux",
                  "                                    0   ", "  Amulette du Ciel                  1   ", "",
                  "          Bob"}));
}

TEST_F(TradingList, TextListWithoutPrices) {
  settings.Format = ExportFormat::Ascii;
  settings.ShowSets = false;
  settings.ShowMagics = false;
  settings.ShowNormals = false;
  settings.Sign = "   ";
  EXPECT_EQ(Export(settings, catalogue),
            CrLf({W("Fichier généré le 12/06/26 à 17:55:03 par Kistora"), "Inventaire de Diablo II - Liste de trade",
                  "", "Uniques", "  Lame Ancienne                 ", "", "Crafted / Rares",
                  W("  Anneau <rare> & co            à vendre"), "", ""}));
}

TEST(TradingListEmpty, NothingSelectedLeavesTheFrame) {
  TCatalogue catalogue;
  AddItem<TD2Ring>(catalogue, 1, "Anneau", 2);
  ExportSettings settings;  // "Tous les personnages", and nobody holds the ring
  settings.UseBascule = false;
  settings.Sign = "Moi";
  EXPECT_EQ(Export(settings, catalogue),
            CrLf({W("<! Fichier généré le 12/06/26 à 17:55:03 par Kistora>"), "<HTML>",
                  "<HEAD><TITLE>Inventaire de Diablo II - Liste de trade</TITLE></HEAD>", "<BODY BGCOLOR=#FFFFFF>", "",
                  "<CENTER><H2>Inventaire de Diablo II - Liste de trade</H2></CENTER><P>", "",
                  W("<I>Dernière mise à jour le Sunday 06 December</I>"), "<TABLE WIDTH=100% BORDER BGCOLOR=#FFFFFF>",
                  "</TABLE>", "<P ALIGN = right><I>Moi</I></P>", "</BODY>", "</HTML>"}));
  settings.Format = ExportFormat::Ascii;
  settings.Sign = "";
  EXPECT_EQ(Export(settings, catalogue), CrLf({W("Fichier généré le 12/06/26 à 17:55:03 par Kistora"),
                                               "Inventaire de Diablo II - Liste de trade", "", ""}));
}

TEST(TradingListEmpty, OnlyCraftedItemsGiveOneSection) {
  TCatalogue catalogue;
  AddItem<TD2Ring>(catalogue, 1, "Bague", 3, 4, "n");
  ExportSettings settings;
  settings.Scope = ExportScope::AllItems;
  settings.Format = ExportFormat::Ascii;
  EXPECT_EQ(Export(settings, catalogue),
            CrLf({W("Fichier généré le 12/06/26 à 17:55:03 par Kistora"), "Inventaire de Diablo II - Liste de trade",
                  "", "Crafted / Rares", "  Bague                         n", "", ""}));
}

}  // namespace
}  // namespace kistora
