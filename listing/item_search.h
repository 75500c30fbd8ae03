// Quick search over the texts of an item: the typed text is folded and split
// into words once; an item matches when every word occurs in one of its texts.
// Folding removes case and accents of Windows-1252 letters, so "epee" finds
// "\xC9p\xE9e" and "coeur" finds "C\x9Cur".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/items.h"

namespace kistora {

// Appends s folded for searching: letters lower-cased and stripped of their
// accent ("\xC9" -> "e"), the ligatures and sharp s spelled out ("\x8C" -> "oe",
// "\xC6" -> "ae", "\xDF" -> "ss"), every control byte, space and no-break space
// as a space; any other byte kept.
void AppendSearchFolded(std::string_view s, std::string& out);
std::string SearchFolded(std::string_view s);

// Appends the texts of the item a query looks in, folded, each followed by a
// space: its number in decimal, name, notes, list and dialog category labels,
// quality label and magic property lines. (The set name is the end of the
// name, lower-cased and trimmed, so the name already holds it.)
void AppendItemSearchText(const TD2Item& item, std::string& out);

class ItemSearchQuery {
 public:
  // The empty query: matches every item.
  ItemSearchQuery() = default;
  // Prepares the typed text (Windows-1252): folded, then split at spaces.
  explicit ItemSearchQuery(std::string_view typed);

  bool IsEmpty() const { return words_.empty(); }
  // The folded words, in typed order.
  const std::vector<std::string>& Words() const { return words_; }

  // Whether every word occurs in one of the item's texts (a word holds no
  // space, so it never spans two texts). Allocates nothing per item once
  // warmed up (one reused buffer per thread).
  bool Matches(const TD2Item& item) const;
  // The same on texts made by AppendItemSearchText beforehand.
  bool MatchesSearchText(std::string_view searchText) const;

 private:
  std::vector<std::string> words_;
};

}  // namespace kistora
