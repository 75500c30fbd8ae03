// The item database as CSV: the file's shape, a round trip through an empty
// catalogue, and bad lines reported one by one with nothing added.
#include "storage/items_csv.h"

#include <gtest/gtest.h>

#include "core_test_support.h"
#include "fuzz/catalogue_diff.h"
#include "model/cp1252.h"
#include "storage/file_error.h"

namespace kistora {
namespace {

using namespace testing;

const std::string kHeader =
    "\xEF\xBB\xBFNum\xC3\xA9ro,Cat\xC3\xA9gorie,Nom,Notes,Qualit\xC3\xA9,Prix estim\xC3\xA9,CLvl requis,Force requise,"
    "Dext\xC3\xA9rit\xC3\xA9 requise,Durabilit\xC3\xA9,Durabilit\xC3\xA9 maximum,D\xC3\xA9"
    "fense,Parade,D\xC3\xA9g\xC3\xA2ts min,D\xC3\xA9g\xC3\xA2ts max,Vitesse,Propri\xC3\xA9t\xC3\xA9s magiques\r\n";

// One item of every class, with texts a CSV writer must quote or convert.
TCatalogue EveryKindOfItem() {
  TCatalogue c;
  c.ItemList.push_back(ExampleRing());
  auto& shield = AddItem<TD2Shield>(c, 9,
                                    "Bouclier \"d\xE9"
                                    "fi\", grand",
                                    6, -3, "ligne 1\r\nligne\t2 \x80 ; fin");
  shield.Def = 40;
  shield.Parade = 20;
  shield.MagicProps = {"+1 \xE0 tout", "", "R\xE9sistance | feu", "x |", "| y", "a||b"};
  auto& axe = AddItem<TD2Weapon>(c, -7, "Hache", 5);
  axe.MinDmg = 3;
  axe.MaxDmg = 11;
  axe.Speed = 9;
  axe.Str = 2147483647;
  axe.Dex = -2147483647 - 1;
  AddItem<TD2Weapon>(c, 11, "Arc", 2).Speed = 4;
  AddItem<TD2Item>(c, 12, "Sans cat\xE9gorie").Dur = 7;
  AddItem<TD2Gloves>(c, 13, "Gants").Def = 1;
  AddItem<TD2Boots>(c, 14, "Bottes").MaxDur = 30;
  AddItem<TD2Belt>(c, 15, "Ceinture").CLvl = 4;
  AddItem<TD2Helm>(c, 16, "Heaume du Roi", 4).Def = 2;
  AddItem<TD2Armor>(c, 17, "Armure").Def = 300;
  AddItem<TD2Amulet>(c, 18, "Amulette", 3).Price = 1000;
  AddItem<TD2Charm>(c, 19, "Charme", 1);
  AddItem<TD2Jewel>(c, 20, "Joyau", 2);
  return c;
}

TEST(ItemsCsv, WritesAHeaderAndOneQuotedLinePerItem) {
  TCatalogue c;
  c.ItemList.push_back(ExampleRing());
  auto& shield = AddItem<TD2Shield>(c, 6,
                                    "Bouclier \"d\xE9"
                                    "fi\"",
                                    0, 0, "a\r\nb");
  shield.Def = 40;
  shield.Parade = 20;
  shield.MagicProps = {"+1", "+2"};
  AddItem<TD2Weapon>(c, 7, "Hache").Speed = 3;
  EXPECT_EQ(ItemsToCsv(c), kHeader +
                               "5,\"Anneau\",\"Bague\",\"\",\"Magique\",100,12,0,0,0,0,,,,,,\"+10 Force\"\r\n"
                               "6,\"Bouclier\",\"Bouclier \"\"d\xC3\xA9"
                               "fi\"\"\",\"a\r\nb\",\"Normal\",0,0,0,0,0,0,"
                               "40,20,,,,\"+1 | +2\"\r\n"
                               "7,\"Arme\",\"Hache\",\"\",\"Normal\",0,0,0,0,0,0,,,0,0,\"Rapide\",\"\"\r\n");
  EXPECT_EQ(ItemsToCsv(TCatalogue()), kHeader);
}

TEST(ItemsCsv, RoundTripGivesTheSameItemsWithNewNumbers) {
  const TCatalogue original = EveryKindOfItem();
  CsvItems read = ItemsFromCsv(ItemsToCsv(original));
  ASSERT_TRUE(read.problems.empty()) << read.problems.front().line << ": " << read.problems.front().reason;
  TCatalogue imported;
  imported.LastItemIndex = 40;
  AddWithNewNumbers(imported, std::move(read.items));
  ASSERT_EQ(imported.ItemList.size(), original.ItemList.size());
  for (std::size_t i = 0; i < original.ItemList.size(); ++i) {
    EXPECT_EQ(imported.ItemList[i]->Index, static_cast<std::int32_t>(41 + i));
    imported.ItemList[i]->Index = original.ItemList[i]->Index;
    EXPECT_EQ(check::ItemDifference(*imported.ItemList[i], *original.ItemList[i]), "") << "item " << i;
  }
  EXPECT_EQ(imported.LastItemIndex, static_cast<std::int32_t>(40 + original.ItemList.size()));
}

TEST(ItemsCsv, ReadsWhatSpreadsheetsWrite) {
  // No byte order mark, semicolons, LF line ends, empty cells for zeros,
  // the list's "Joyau", a speed given by its code, a blank line.
  std::string header = kHeader.substr(3);
  for (char& c : header) c = c == ',' ? ';' : c;
  header.resize(header.size() - 2);
  const CsvItems read =
      ItemsFromCsv(header + "\n;Joyau;\"Pierre; bleue\";;Rare;;;;;;;;;;;;\n\n" + "1;Arme;Lame;;;;;;;;;;;1;2;3;a | b\n");
  ASSERT_TRUE(read.problems.empty()) << read.problems.front().reason;
  ASSERT_EQ(read.items.size(), 2u);
  EXPECT_EQ(ClassName(*read.items[0]), "TD2Jewel");
  EXPECT_EQ(read.items[0]->Name, "Pierre; bleue");
  EXPECT_EQ(read.items[0]->Quality, 2);
  const auto& blade = dynamic_cast<const TD2Weapon&>(*read.items[1]);
  EXPECT_EQ(blade.Speed, 3);
  EXPECT_EQ(blade.MaxDmg, 2);
  EXPECT_EQ(blade.MagicProps, (std::vector<std::string>{"a", "b"}));
}

TEST(ItemsCsv, ReportsEveryBadLineByNumberAndKeepsNoItem) {
  const std::string good = "1,\"Anneau\",\"Bague\",\"\",\"Magique\",100,12,0,0,0,0,,,,,,\"\"\r\n";
  const std::string csv = kHeader + good +                                             // line 2: good
                          "2,\"Anneau\",\"Bague\",\"\",\"Magique\",100\r\n" +          // 3: columns missing
                          "3,\"Cape\",\"x\",\"\",\"\",0,0,0,0,0,0,,,,,,\r\n" +         // 4: unknown category
                          "4,\"Anneau\",\"x\",\"\",\"\",douze,0,0,0,0,0,5,,,,,\r\n" +  // 5: number, Def
                          "5,\"Arme\",\"\xE2\x98\x83\",\"\",\"L\xC3\xA9gendaire\",0,0,0,0,0,0,,,0,0,\"Vite\",\r\n" +
                          good +                                 // 7: good
                          "7,\"Arme\",\"\"\"x\" y\",\"\"\r\n" +  // 8: text after a quote
                          "8,\"Anneau\",\"ouvert\r\n\r\n";       // 9: never closed
  const CsvItems read = ItemsFromCsv(csv);
  EXPECT_TRUE(read.items.empty());
  std::vector<std::pair<int, std::string>> lines;
  for (const CsvProblem& p : read.problems) lines.emplace_back(p.line, Cp1252ToUtf8(p.reason));
  const auto has = [&](int line, const std::string& part) {
    for (const auto& [l, reason] : lines) {
      if (l == line && reason.find(part) != std::string::npos) return true;
    }
    return false;
  };
  EXPECT_TRUE(has(3, "17 colonnes attendues, 6 trouvées"));
  EXPECT_TRUE(has(4, "catégorie inconnue « Cape »"));
  EXPECT_TRUE(has(5, "colonne Prix estimé : nombre entier attendu, pas « douze »"));
  EXPECT_TRUE(has(5, "colonne Défense : sans objet pour la catégorie Anneau"));
  EXPECT_TRUE(has(6, "colonne Nom : caractère impossible"));
  EXPECT_TRUE(has(6, "colonne Qualité : valeur inconnue « Légendaire »"));
  EXPECT_TRUE(has(6, "colonne Vitesse : valeur inconnue « Vite »"));
  EXPECT_TRUE(has(8, "texte après le guillemet fermant"));
  EXPECT_TRUE(has(9, "guillemet ouvert ligne 9 jamais refermé"));
  EXPECT_EQ(lines.size(), 9u) << "lines 2 and 7 are good";

  const CsvItems wrongHeader = ItemsFromCsv("Nom,Prix\r\n" + good);
  ASSERT_EQ(wrongHeader.problems.size(), 1u);
  EXPECT_EQ(wrongHeader.problems[0].line, 1);
  EXPECT_EQ(ItemsFromCsv("").problems.size(), 1u);
}

TEST(ItemsCsv, AColumnTheCategoryHasNotTakesEmptyOrZeroOnly) {
  // Défense, Parade, Dégâts min, Dégâts max, Vitesse: the five last number columns.
  struct Case {
    const char* category;
    const char* columns;  // those five cells
    const char* problem;  // part of the reason (UTF-8), "" when the line is read
  };
  const Case cases[] = {
      {"Anneau", ",,,,", ""},
      {"Anneau", "0,0,0,0,0", ""},
      {"Anneau", "5,,,,", "colonne Défense : sans objet pour la catégorie Anneau, elle doit rester vide ou valoir 0"},
      {"Anneau", ",,,,Lente", "colonne Vitesse : sans objet"},
      {"Casque", "12,0,0,0,0", ""},
      {"Casque", "12,3,,,", "colonne Parade : sans objet pour la catégorie Casque"},
      {"Arme", "0,0,1,2,Lente", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.category) + " " + c.columns);
    const CsvItems read = ItemsFromCsv(kHeader + "1,\"" + c.category + "\",\"x\",\"\",\"Magique\",100,12,0,0,0,0," +
                                       c.columns + ",\"\"\r\n");
    if (*c.problem == '\0') {
      EXPECT_TRUE(read.problems.empty()) << Cp1252ToUtf8(read.problems.empty() ? "" : read.problems[0].reason);
      EXPECT_EQ(read.items.size(), 1u);
    } else {
      ASSERT_EQ(read.problems.size(), 1u);
      EXPECT_NE(Cp1252ToUtf8(read.problems[0].reason).find(c.problem), std::string::npos)
          << Cp1252ToUtf8(read.problems[0].reason);
    }
  }
}

TEST(ItemsCsv, SaveGoesThroughTheSafeSave) {
  TempDir dir;
  const TCatalogue c = EveryKindOfItem();
  SaveItemsCsv(c, dir.File("objets.csv"));
  EXPECT_EQ(ReadBytes(dir.File("objets.csv")), ItemsToCsv(c));
  WriteBytes(dir.File("dossier"), "un fichier");
  EXPECT_THROW(SaveItemsCsv(c, dir.File("dossier/objets.csv")), EFileError);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"dossier", "objets.csv"}));
}

}  // namespace
}  // namespace kistora
