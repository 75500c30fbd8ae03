// Quick search over the texts of an item: the typed text is folded and split
// into words once; an item matches when every word occurs in one of its texts.
// Folding removes case and accents of Windows-1252 letters, so "epee" finds
// "\xC9p\xE9e" and "coeur" finds "C\x9Cur".
#pragma once

#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

#include "model/items.h"

namespace kistora {

// Appends s folded for searching: letters lower-cased and stripped of their
// accent ("\xC9" -> "e"), the ligatures and sharp s spelled out ("\x8C" -> "oe",
// "\xC6" -> "ae", "\xDF" -> "ss"), every control byte, space and no-break space
// as a space; any other byte kept.
void AppendSearchFolded(std::string_view s, std::string& out);
std::string SearchFolded(std::string_view s);

class ItemSearchQuery {
 public:
  // The empty query: matches every item.
  ItemSearchQuery() = default;
  // Prepares the typed text (Windows-1252): folded, then split at spaces.
  explicit ItemSearchQuery(std::string_view typed);

  bool IsEmpty() const { return words_.empty(); }
  // The folded words, in typed order.
  const std::vector<std::string>& Words() const { return words_; }

  // Whether every word occurs in one of the item's texts: its number in
  // decimal, name, notes, set name, list and dialog category labels, quality
  // label, or one of its magic property lines. A word never spans two texts.
  // Allocates nothing per item once warmed up (one reused buffer per thread).
  bool Matches(const TD2Item& item) const;

 private:
  // The folded category labels of each item class ("gants gants"), found by
  // the address of its type_info; quality labels by code.
  std::vector<std::pair<const std::type_info*, std::string>> classLabels_;
  std::vector<std::string> qualityLabels_;
  std::vector<std::string> words_;
};

}  // namespace kistora
