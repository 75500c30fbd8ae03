#include "bench/itemdb/game_catalogue.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

namespace kistora {

std::unique_ptr<TCatalogue> MakeGameCatalogue(int count) {
  static const char* const kPieces[] = {"Gants",    "bottes",        "Ceinture", "Heaume",    "armure",
                                        "Bouclier", "\xC9p\xE9\x65", "Arc",      "anneau",    "Amulette",
                                        "Charme",   "joyau",         "Cape",     "\xE9\x63u", "Hache"};
  static const char* const kSets[] = {"Fer",         "feu",   "Roi",      "Tal Rasha", "l'Ange",
                                      "\xC9\x63lat", "Sigon", "Immortel", "Griswold",  "M'avina"};
  static const char* const kProps[] = {"+10 \xE0 la Force",      "+25% R\xE9sistance au Feu",
                                       "Vol de vie 5%",          "+1 \xE0 toutes les comp\xE9tences",
                                       "+15% Vitesse d'attaque", "D\xE9g\xE2ts am\xE9lior\xE9s +120%",
                                       "Indestructible",         "+2 aux comp\xE9tences de Paladin"};
  std::uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  auto catalogue = std::make_unique<TCatalogue>();
  catalogue->ItemList.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::unique_ptr<TD2Item> item = CreateItemFromTag(static_cast<std::uint8_t>(1 + next() % 11));
    item->Index = i + 1;
    item->Name = std::string(kPieces[next() % std::size(kPieces)]) + " de " + kSets[next() % std::size(kSets)] + " " +
                 std::to_string(next() % 100000);
    item->Notes = (next() % 3 == 0) ? "eth. " + std::to_string(next() % 1000) : std::string();
    item->Quality = static_cast<std::uint8_t>(next() % 6);
    item->Price = static_cast<std::int32_t>(next() % 2000001) - 1000000;
    for (std::uint32_t p = next() % 5; p > 0; --p) item->MagicProps.emplace_back(kProps[next() % std::size(kProps)]);
    // Values taken from the number, so that the random draws, and with them
    // every name and line, stay those of the catalogues measured before.
    item->CLvl = 1 + i % 99;
    item->Str = (i * 7) % 200;
    item->Dex = (i * 13) % 150;
    item->MaxDur = 10 + i % 240;
    item->Dur = item->MaxDur - i % 10;
    if (auto* def = dynamic_cast<TD2DefItem*>(item.get())) def->Def = 5 + (i * 11) % 600;
    if (auto* shield = dynamic_cast<TD2Shield*>(item.get())) shield->Parade = (i * 3) % 75;
    if (auto* weapon = dynamic_cast<TD2Weapon*>(item.get())) {
      weapon->MinDmg = 1 + i % 50;
      weapon->MaxDmg = weapon->MinDmg + (i * 17) % 200;
    }
    catalogue->ItemList.push_back(std::move(item));
  }
  return catalogue;
}

void AddGameCharacters(TCatalogue& catalogue, int characters, int perCharacter) {
  const auto count = static_cast<std::uint32_t>(std::max<std::size_t>(1, catalogue.ItemList.size()));
  std::uint32_t state = 777;
  for (int c = 0; c < characters; ++c) {
    auto character = std::make_unique<TChar>();
    char name[16];
    std::snprintf(name, sizeof name, "Mule%04d", c + 1);
    character->Name = name;
    for (int i = 0; i < perCharacter; ++i) {
      state = state * 1664525u + 1013904223u;
      character->Items.push_back(static_cast<std::int32_t>(1 + (state >> 8) % count));
    }
    catalogue.CharList.push_back(std::move(character));
  }
}

const TCatalogue& SharedGameCatalogue(int count) {
  static std::map<int, std::unique_ptr<TCatalogue>> made;
  auto& catalogue = made[count];
  if (!catalogue) catalogue = MakeGameCatalogue(count);
  return *catalogue;
}

}  // namespace kistora
