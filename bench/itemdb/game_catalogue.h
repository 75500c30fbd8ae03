// A big catalogue in the style of the game's, shared by the item list benchmarks.
#pragma once

#include <memory>

#include "model/catalogue.h"

namespace kistora {

// count items: names "Bouclier de Tal Rasha 4812" with mixed case and accented
// letters, notes on a third of the items, zero to four magic property lines,
// every quality, prices over a wide range, required level, strength,
// dexterity, durability and the defence, block and damage of their class;
// numbered 1..count. The same items at every call.
std::unique_ptr<TCatalogue> MakeGameCatalogue(int count);
// The same catalogue, made once per count for the whole run and shared by the
// benchmarks that only read it.
const TCatalogue& SharedGameCatalogue(int count);

// Adds characters "Mule0001"... each holding perCharacter item numbers spread
// over the catalogue (the same ones at every call).
void AddGameCharacters(TCatalogue& catalogue, int characters, int perCharacter);

}  // namespace kistora
