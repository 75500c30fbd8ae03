// kistora_sample_data DIR: writes items.kdb and chars.kdb with a few characters
// and items into DIR (for screenshots and trying the program out).
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "model/catalogue.h"
#include "storage/database.h"

using namespace kistora;

namespace {

template <class T>
T& Item(TCatalogue& catalogue, const char* name, std::uint8_t quality, std::int32_t price, const char* notes = "") {
  auto item = std::make_unique<T>();
  item->Index = catalogue.NewItemIndex();
  item->Name = name;
  item->Quality = quality;
  item->Price = price;
  item->Notes = notes;
  T& ref = *item;
  catalogue.ItemList.push_back(std::move(item));
  catalogue.SyncLastItemIndex();
  return ref;
}

TChar& Char(TCatalogue& catalogue, const char* name, const char* cls, const char* level, const char* notes) {
  auto character = std::make_unique<TChar>();
  character->Name = name;
  character->Account = "joueur";
  character->Class = cls;
  character->Level = level;
  character->Notes = notes;
  TChar& ref = *character;
  catalogue.CharList.push_back(std::move(character));
  return ref;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  // Texts are Windows-1252 bytes, as the program stores them.
  TCatalogue c;
  Item<TD2Helm>(c, "Shako d'Arlequin", 5, 90, "Parfait").Def = 141;
  Item<TD2Armor>(c, "Peau du Vipermagi", 5, 25, "").Def = 254;
  Item<TD2Gloves>(c, "Gants de Fer", 4, 8, "Set complet").Def = 12;
  Item<TD2Boots>(c, "Bottes de l'Ombre", 1, 0, "").Def = 40;
  Item<TD2Ring>(c, "Anneau de Pierre de Jordan", 5, 60, "").MagicProps = {"+1 aux comp\xE9tences"};
  Item<TD2Amulet>(c, "Amulette du Mage", 2, 15, "2 comp. sorci\xE8re");
  Item<TD2Weapon>(c, "Oculus", 5, 30, "").MaxDmg = 20;
  Item<TD2Shield>(c, "Bouclier des Rois", 4, 12, "").Parade = 40;
  Item<TD2Charm>(c, "Petit charme de vie", 1, 5, "+20 vie");
  Item<TD2Jewel>(c, "Joyau rapide", 2, 10, "40% IAS");
  Item<TD2Belt>(c, "Ceinture de Verdugo", 5, 45, "");

  Char(c, "Z\xE9phyrine", "Amazone", "87", "mule gemmes").Items = {1, 3, 5, 9, 10};
  Char(c, "Grimbald", "Barbare", "74", "").Items = {2, 7};
  Char(c, "Nyx",
       "N\xE9"
       "cromancien",
       "91", "mon premier perso")
      .Items = {6, 8, 11, 4};
  Char(c, "Tyrael", "Paladin", "85", "").Items = {};
  try {
    SaveItems(c, dir + "items.kdb");
    SaveChars(c, dir + "chars.kdb");
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
    return 1;
  }
  return 0;
}
