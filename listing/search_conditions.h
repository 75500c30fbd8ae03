// What a typed search asks for besides its words: conditions on values
// ("feu>=30", "prix 100..500", "niveau<=30") and on who holds the item
// ("perso:Mule01", "libre"). The typed text is read once into words and
// conditions; a condition that cannot be read is reported in a French sentence,
// never taken as a word.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/items.h"

namespace kistora {

// The fields a value condition can name, by one of the folded French words of
// ItemFieldNamed.
enum class ItemField : std::uint8_t {
  Number,         // numero, num
  Price,          // prix
  Level,          // niveau, niv, clvl, lvl
  Strength,       // force, str
  Dexterity,      // dex, dexterite
  Durability,     // durabilite, dur
  MaxDurability,  // durmax, durabilitemax
  Defence,        // defense, def (defence-family items only)
  Block,          // blocage, parade (shields only)
  MinDamage,      // dmgmin, degatsmin (weapons only)
  MaxDamage,      // degats, dmg, dmgmax, degatsmax (weapons only)
};

// The field a folded word names, or nothing (then the word is looked for in
// the magic property lines).
std::optional<ItemField> ItemFieldNamed(std::string_view foldedWord);
// The item's value of field; nothing when its class has no such field (the
// defence of a ring), so that no condition on it holds.
std::optional<std::int64_t> ItemFieldValue(const TD2Item& item, ItemField field);

struct ValueCondition {
  // The field compared, or nothing: then the condition holds when one magic
  // property line contains Word and a number on that line lies in the bounds.
  std::optional<ItemField> Field;
  std::string Word;  // folded, as typed before the operator
  std::int64_t Low = std::numeric_limits<std::int64_t>::min();
  std::int64_t High = std::numeric_limits<std::int64_t>::max();

  bool Admits(std::int64_t value) const { return value >= Low && value <= High; }
};

struct ParsedSearch {
  std::vector<std::string> Words;  // folded, in typed order; a quoted phrase is one word
  std::vector<ValueCondition> Values;
  // perso:NOM, the folded name; an empty name stands for "libre" (held by no character).
  std::vector<std::string> Holders;
  std::vector<std::string> HolderTexts;  // each holder condition as typed ("perso:Mule01", "libre")
  // The first condition that cannot be read, said in French (Windows-1252); empty when every one was read.
  std::string Problem;
};

// Reads typed (Windows-1252) into words and conditions. Words and conditions
// are separated by spaces; double quotes make a phrase (or a word that is never
// a field name or a keyword). Conditions: WORD OP NUMBER with OP one of >=, <=,
// >, <, = (spaces allowed around OP), WORD A..B (both bounds included, in any
// order), perso:NOM, libre. Numbers are decimal with an optional sign and "%";
// their digits may be grouped by three as the program writes them, a space or
// a no-break space between groups ("1 000..2 000").
ParsedSearch ParseSearch(std::string_view typed);

// The mark that opens each magic property line in an item's search text (see
// AppendItemSearchText); a line ends at the next '\n'.
constexpr char kPropertyLineMark = '\x01';

// Whether one magic property line of searchText contains condition.Word and a
// number that condition admits. The numbers of a line are its runs of digits;
// a '-' just before one, not after a digit, makes it negative ("-25%", but
// "5-10" is 5 and 10).
bool PropertyLinesHold(std::string_view searchText, const ValueCondition& condition);

}  // namespace kistora
