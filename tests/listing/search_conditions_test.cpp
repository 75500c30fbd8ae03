// The search's grammar, one typed query per row: which items of a small
// catalogue it finds, and the sentence for a condition that cannot be read.
// Texts are written in UTF-8 here and converted by W(...).
#include "listing/search_conditions.h"

#include <gtest/gtest.h>

#include "core_test_support.h"
#include "listing/item_search.h"

namespace kistora {
namespace {

using testing::AddItem;
using testing::W;

TCatalogue SampleCatalogue() {
  TCatalogue c;
  TD2Ring& fire = AddItem<TD2Ring>(c, 1, "Anneau de feu", 5, 500);
  fire.MagicProps = {W("+30% Résistance au feu"), W("+1 à toutes les compétences")};
  fire.CLvl = 30;
  TD2Ring& ice = AddItem<TD2Ring>(c, 2, "Anneau de glace", 2, 1000);
  ice.MagicProps = {W("+25% Résistance au Feu"), W("Résistance au froid +15%")};
  ice.CLvl = 12;
  TD2Weapon& sword = AddItem<TD2Weapon>(c, 3, W("Épée longue"), 0, 2000);
  sword.MagicProps = {W("Ajoute 5-10 dégâts de feu")};
  sword.CLvl = 45;
  sword.Str = 55;
  sword.Dex = 40;
  sword.MinDmg = 10;
  sword.MaxDmg = 40;
  TD2Shield& shield = AddItem<TD2Shield>(c, 4, "Bouclier", 4, 0);
  shield.MagicProps = {"Indestructible"};
  shield.Def = 120;
  shield.Parade = 30;
  shield.Dur = 50;
  shield.MaxDur = 60;
  AddItem<TD2Amulet>(c, 5, "Amulette", 1, -5).MagicProps = {W("-25% Résistance au feu")};
  AddItem<TD2Helm>(c, 6, "Heaume").MagicProps = {W("+10 à la Force")};
  static_cast<TD2Helm&>(*c.ItemList.back()).Def = 8;
  testing::AddChar(c, "Mule 01", {1, 1, 3});
  testing::AddChar(c, W("Sorcière"), {2});
  return c;
}

struct Row {
  const char* typed;  // UTF-8
  std::vector<std::int32_t> found;
  const char* problem = "";  // part of the sentence (UTF-8); "" when everything is read
};

TEST(SearchGrammar, EachConditionFindsItsItemsOrSaysWhyItCannotBeRead) {
  const TCatalogue catalogue = SampleCatalogue();
  const std::vector<Row> rows = {
      // Each operator on a magic property line; "5-10" is 5 and 10, "-25%" is negative.
      {"feu>=30", {1}},
      {"feu>30", {}},
      {"feu > 24", {1, 2}},
      {"feu<=10", {3, 5}},
      {"feu<0", {5}},
      {"feu=10", {3}},
      {"FEU>=30%", {1}},
      {"froid>=15", {2}},
      // Ranges, bounds in any order.
      {"feu 5..10", {3}},
      {"feu 30..25", {1, 2}},
      {"prix=400..1000", {1, 2}},
      // Accents and case fold; a line without a number holds no condition.
      {"résistance>=15", {1, 2}},
      {"RESISTANCE>=26", {1}},
      {"compétences=1", {1}},
      {"indestructible>=0", {}},
      // Field names, with or without accents; classes without the field never match.
      {"prix>=1000", {2, 3}},
      {"prix<0", {5}},
      {"prix=0", {4, 6}},
      {"niveau<=30", {1, 2, 4, 5, 6}},
      {"clvl>40", {3}},
      {"force>=50", {3}},
      {"\"force\">=10", {6}},  // quoted: the property line, not the field
      {"dextérité=40", {3}},
      {"dex=40", {3}},
      {"défense>100", {4}},
      {"defense<10", {6}},
      {"blocage>=30", {4}},
      {"parade>=30", {4}},
      {"durabilité>=50", {4}},
      {"durmax=60", {4}},
      {"dégâts>=40", {3}},
      {"dmgmin=10", {3}},
      {"numero>=5", {5, 6}},
      // Combined with words and with each other: all must hold.
      {"anneau feu>=20", {1, 2}},
      {"anneau feu>=20 niveau<20", {2}},
      {"\"de feu\"", {1, 3}},
      // Who holds it.
      {"perso:Mule01", {1, 3}},
      {"perso:\"mule 01\"", {1, 3}},
      {"perso:SORCIERE", {2}},
      {"libre", {4, 5, 6}},
      {"libre prix<0", {5}},
      {"\"libre\"", {}},
      // Conditions that cannot be read: said, and left out of the query.
      {"feu>=", {1, 2, 3, 4, 5, 6}, "« feu>= » : il manque un nombre après « >= »"},
      {"anneau feu >=", {1, 2}, "il manque un nombre après « >= »"},
      {">=30", {1, 2, 3, 4, 5, 6}, "« >=30 » : il manque le mot avant « >= »"},
      {"feu=>30", {1, 2, 3, 4, 5, 6}, "« => » n'est pas un opérateur"},
      {"feu>=abc", {1, 2, 3, 4, 5, 6}, "« abc » n'est pas un nombre"},
      {"prix 100..", {1, 2, 3, 4, 5, 6}, "un intervalle s'écrit A..B"},
      {"prix>=100..500", {1, 2, 3, 4, 5, 6}, "un intervalle s'écrit A..B"},
      {"100..500", {1, 2, 3, 4, 5, 6}, "il manque le mot avant l'intervalle"},
      {"perso:", {1, 2, 3, 4, 5, 6}, "il manque le nom du perso"},
      // Numbers as the program writes them: groups of three after a space or a no-break space.
      {"prix<=1 000", {1, 2, 4, 5, 6}},
      {"prix<=1\u00A0000", {1, 2, 4, 5, 6}},
      {"prix 1 000..2 000", {2, 3}},
      {"prix 1\u00A0000..2\u00A0000 anneau", {2}},
      {"prix<1 000 000", {1, 2, 3, 4, 5, 6}},
      {"prix<=1 00", {1, 2, 3, 4, 5, 6}, "« prix<=1 00 » : les chiffres d'un nombre se groupent par trois"},
      {"prix<=1000 000", {1, 2, 3, 4, 5, 6}, "se groupent par trois"},
      {"anneau 1 000", {}},  // no condition: three words
      // A broken condition leaves the next word alone; glued to it, the word is its number.
      {"feu>= libre", {4, 5, 6}, "« feu>= » : il manque un nombre après « >= »"},
      {"feu >= anneau", {1, 2}, "il manque un nombre après « >= »"},
      // A name no character has is said, with the nearest one (case and accents folded).
      {"perso:Mul01", {}, "« perso:Mul01 » : aucun perso ne porte ce nom ; le plus proche : « Mule 01 »"},
      {"perso:sorcire", {}, "le plus proche : « Sorcière »"},
      {"prix>99999999999999999999", {1, 2, 3, 4, 5, 6}, "est un nombre trop grand"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    ItemSearchQuery query(W(row.typed));
    query.ResolveHolders(catalogue.CharList);
    std::vector<std::int32_t> found;
    for (const auto& item : catalogue.ItemList) {
      if (query.Matches(*item)) found.push_back(item->Index);
    }
    EXPECT_EQ(found, row.found);
    const std::string problem = Cp1252ToUtf8(query.Problem());
    if (*row.problem == '\0') {
      EXPECT_EQ(problem, "");
    } else {
      EXPECT_NE(problem.find(row.problem), std::string::npos) << problem;
    }
  }
}

}  // namespace
}  // namespace kistora
