// How many items a list shows and what they are worth, and the French lines
// that say it under the item database list and beside the inventory.
#pragma once

#include <cstdint>
#include <string>

namespace kistora {

struct ItemTotals {
  std::int64_t Count = 0;
  // The sum of the prices in 64 bits: a million prices of any 32-bit value fit.
  std::int64_t Value = 0;

  void Add(std::int32_t price) {
    ++Count;
    Value += price;
  }
  bool operator==(const ItemTotals&) const = default;
};

// Decimal, digits grouped by three with a no-break space (0xA0) so that the
// line never wraps inside a number, "-" before a negative: "-1\xA0" "234\xA0" "567".
std::string GroupedNumber(std::int64_t value);

// "N objets affich\xE9s sur M \x97 valeur totale P" (Windows-1252); the singular
// "objet affich\xE9" for N of 0 or 1, as French writes it.
std::string ItemWindowCountText(std::int64_t shown, std::int64_t total, std::int64_t value);
// "N objets \x97 valeur P"; "objet" for N of 0 or 1.
std::string InventoryCountText(const ItemTotals& totals);

}  // namespace kistora
