// Who holds an item: the characters whose inventory holds its number, each
// with how many entries, and the French line that says it (« Détenu par
// Mule01, Sorcière (2×) »); and the numbers a group of characters holds,
// for the search's perso:NOM and libre.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/catalogue.h"

namespace kistora {

struct ItemHolder {
  int Row = 0;  // the character's row
  std::string Name;
  int Count = 0;  // entries of the number in its inventory
};

// The characters holding number, in row order; one pass over every inventory.
std::vector<ItemHolder> HoldersOf(const std::vector<std::unique_ptr<TChar>>& characters, std::int32_t number);

// « Détenu par Mule01, Sorcière (2×) » (in Windows-1252), or « Détenu par
// aucun perso »; past maxNames names, "et N autres" ends the list. A character
// without a name is "(sans nom)".
std::string HeldByText(const std::vector<ItemHolder>& holders,
                       std::size_t maxNames = std::numeric_limits<std::size_t>::max());

// Whether a character's name is the one the search's perso:NOM names: the name
// folded as the search folds, with or without its spaces, equals foldedName.
bool CharacterNamed(std::string_view name, std::string_view foldedName);

// Whether some character is CharacterNamed foldedName.
bool SomeCharacterNamed(const std::vector<std::unique_ptr<TChar>>& characters, std::string_view foldedName);
// The character whose name is nearest to foldedName (fewest letters to add,
// remove or change, the name folded as the search folds, with or without its
// spaces; the first of equals), or null when there is none.
const TChar* ClosestCharacter(const std::vector<std::unique_ptr<TChar>>& characters, std::string_view foldedName);

// The numbers held by the characters CharacterNamed foldedName, or by any
// character when foldedName is empty; sorted, each once.
std::vector<std::int32_t> HeldNumbers(const std::vector<std::unique_ptr<TChar>>& characters,
                                      std::string_view foldedName);

// The same numbers for asking, item after item, whether one is held: a bit per
// number when they lie close together (the usual case, numbers counting up
// from 1), so that neither making the set nor asking it sorts or searches.
class HeldNumberSet {
 public:
  HeldNumberSet() = default;
  HeldNumberSet(const std::vector<std::unique_ptr<TChar>>& characters, std::string_view foldedName);

  bool Contains(std::int32_t number) const {
    if (bits_.empty()) return std::binary_search(sorted_.begin(), sorted_.end(), number);
    const std::uint64_t offset = static_cast<std::uint64_t>(static_cast<std::int64_t>(number) - low_);
    return offset < span_ && ((bits_[offset >> 6] >> (offset & 63)) & 1) != 0;
  }
  // Every number held, sorted.
  std::vector<std::int32_t> Sorted() const;

 private:
  std::int64_t low_ = 0;
  std::uint64_t span_ = 0;
  std::vector<std::uint64_t> bits_;   // bit n - low_ for each number n held
  std::vector<std::int32_t> sorted_;  // instead, when the numbers are far apart
};

}  // namespace kistora
