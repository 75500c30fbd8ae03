// What a trading list says of an item, shared by every writer: the name it goes
// by, its category label, and the characteristic lines that unfold under its
// name (damage, defence, block, durability, requirements, attack speed, each
// under its condition and in that order) before its property lines.
// Windows-1252, like the item.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "model/items.h"

namespace kistora {

// Calls visit(label, values) for each characteristic line the item gets, label
// ending with ": " ("Dommages: ", "12 à 40"); returns how many there were.
// Weapons always get damage and speed, defensive items their defence and
// shields their block, zeros included; durability and requirements only above 0.
int ForEachCharacteristic(const TD2Item& item,
                          const std::function<void(std::string_view label, const std::string& values)>& visit);

// The "Catégorie" cell: the category label in its export spelling ("Joyaux" for
// jewels), or fallback for a bare item (TD2Item, TD2DefItem).
std::string ExportCategoryLabel(const TD2Item& item, std::string_view fallback);

// The name a list shows: with the characteristics unfolding, a set item goes
// by its set title (the set first, then the piece); otherwise by its name.
std::string ListedName(const TD2Item& item, bool unfolding);

}  // namespace kistora
