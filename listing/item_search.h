// Quick search over the texts of an item: the typed text is folded and read
// once into words and conditions (listing/search_conditions.h); an item
// matches when every word occurs in one of its texts and every condition holds.
// Folding removes case and accents of Windows-1252 letters, so "epee" finds
// "\xC9p\xE9e" and "coeur" finds "C\x9Cur".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "listing/item_holders.h"
#include "listing/search_conditions.h"
#include "model/catalogue.h"
#include "model/items.h"

namespace kistora {

// Appends s folded for searching: letters lower-cased and stripped of their
// accent ("\xC9" -> "e"), the ligatures and sharp s spelled out ("\x8C" -> "oe",
// "\xC6" -> "ae", "\xDF" -> "ss"), every control byte, space and no-break space
// as a space; any other byte kept.
void AppendSearchFolded(std::string_view s, std::string& out);
std::string SearchFolded(std::string_view s);

// Appends the texts of the item a query looks in, folded: its number in
// decimal, name and notes, each followed by '\n'; then each magic property
// line, opened by kPropertyLineMark and followed by '\n'; then the list and
// dialog category labels and the quality label, each followed by '\n'. (The set name is the end of the
// name, lower-cased and trimmed, so the name already holds it.) No folded word
// holds either byte, so a word never spans two texts.
void AppendItemSearchText(const TD2Item& item, std::string& out);
// The part of those texts that is the item's own: name, notes and property
// lines (a list keeps only these per item; the number is at hand, and the
// labels are the same for every item of a class and quality).
void AppendItemOwnSearchText(const TD2Item& item, std::string& out);
// The labels part: the category labels of the class tag, then the quality
// label (none for a code outside 0..5), each followed by '\n'.
std::string_view ItemLabelSearchText(std::uint8_t tag, std::uint8_t quality);

// What a query reads of one item: its number and price at hand, its texts
// made by AppendItemSearchText, and the item itself for its other fields (read
// only when a condition names one). Or its texts in parts: Text made by
// AppendItemOwnSearchText and Labels by ItemLabelSearchText (never empty),
// the number's decimal text then made when a word is looked for.
struct SearchedItem {
  std::int32_t Number = 0;
  std::int32_t Price = 0;
  std::string_view Text;
  const TD2Item* Item = nullptr;
  std::string_view Labels;  // empty: Text holds every text, the number and labels included
};

class ItemSearchQuery {
 public:
  // The empty query: matches every item.
  ItemSearchQuery() = default;
  // Reads the typed text (Windows-1252) into words and conditions.
  explicit ItemSearchQuery(std::string_view typed);

  // No word and no condition that could be read: every item matches.
  bool IsEmpty() const { return parsed_.Words.empty() && parsed_.Values.empty() && parsed_.Holders.empty(); }
  // The folded words, in typed order.
  const std::vector<std::string>& Words() const { return parsed_.Words; }
  const std::vector<ValueCondition>& Values() const { return parsed_.Values; }
  // The first condition that could not be read, in French (Windows-1252), or
  // empty. The query holds every condition but that one. Once the holders are
  // resolved, a perso:NOM that names no character is one too (and lists nothing).
  const std::string& Problem() const { return parsed_.Problem.empty() ? holderProblem_ : parsed_.Problem; }

  // Whether the query asks who holds the item (perso:NOM, libre): it then
  // needs ResolveHolders, and again after each change of the characters.
  bool DependsOnHolders() const { return !parsed_.Holders.empty(); }
  // Whether a condition reads a field of the item itself (all but the price and the number).
  bool ReadsItemFields() const;
  // Learns from the characters which numbers perso:NOM and libre ask for (a
  // name matches when it folds to NOM, spaces included or left out). Before
  // the first call nobody holds anything.
  void ResolveHolders(const std::vector<std::unique_ptr<TChar>>& characters);
  // The same; returns the numbers whose answer may have changed since the
  // last time, sorted.
  std::vector<std::int32_t> ResolveHoldersTellingChanges(const std::vector<std::unique_ptr<TChar>>& characters);
  // Only what Problem() says of the names perso:NOM gives (both calls above
  // do it too, at more cost): whether some character bears each.
  void CheckHolderNames(const std::vector<std::unique_ptr<TChar>>& characters);

  // Whether the item matches: every word occurs in one of its texts, every
  // condition holds. Allocates nothing per item once warmed up (one reused
  // buffer per thread).
  bool Matches(const TD2Item& item) const;
  // The same on what is at hand of an item (its texts made beforehand).
  bool Matches(const SearchedItem& item) const;

 private:
  ParsedSearch parsed_;
  // For each holder condition: the numbers held by the characters it names
  // (libre: by any character).
  std::vector<HeldNumberSet> held_;
  std::string holderProblem_;  // the first perso:NOM that names no character, as last checked
};

}  // namespace kistora
