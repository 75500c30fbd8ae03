// Rows of the item database list: which items are shown (quality, price and
// quick search filter), the six cell texts of a row, and the order of the rows for a sort
// column. Kept free of any toolkit so that the window and the command line
// share one implementation.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "listing/item_search.h"
#include "model/items.h"

namespace kistora {

// Columns of the item lists, in display order.
enum ItemListColumn : int {
  kColIndex = 0,    // "Item #"
  kColName = 1,     // "Nom"
  kColType = 2,     // "Type"
  kColQuality = 3,  // "Qualité"
  kColPrice = 4,    // "Prix"
  kColNotes = 5,    // "Notes"
  kItemListColumnCount = 6,
};

// The seven filter boxes and the quick search field of the item database window.
struct ItemFilter {
  // Indexed by quality code 0 ("Normal") .. 5 ("Unique").
  std::array<bool, 6> ShowQuality{true, true, true, true, true, true};
  bool HidePrice0 = false;
  // The typed search text, prepared once per change of the text (empty: every item).
  ItemSearchQuery Search;
};

// Hidden when the price is exactly 0 and HidePrice0 is set, when the quality
// is 0..5 and its box is off (other quality codes are filtered by price alone),
// or when the item does not match the search.
bool IsItemShown(const TD2Item& item, const ItemFilter& filter);
// The quality and price part of IsItemShown.
bool PassesFilterBoxes(std::uint8_t quality, std::int32_t price, const ItemFilter& filter);

// One listed item: its numbers, and views of its texts where they are kept (the
// item's own name and notes, the constant labels), so that listing a million
// rows copies no text. The item must outlive the row.
struct ItemListRow {
  std::int32_t Index = 0;
  std::int32_t Price = 0;
  std::string_view Name;
  std::string_view Type;     // list category label ("Joyau"), empty for a bare item
  std::string_view Quality;  // quality label, empty for a code outside 0..5
  std::string_view Notes;
};

ItemListRow MakeItemListRow(const TD2Item& item);
// The rows of every shown item, in list order (null entries are skipped), in a
// vector with room for at least capacity rows.
std::vector<ItemListRow> MakeItemListRows(const ItemVector& items, const ItemFilter& filter, std::size_t capacity = 0);
// The text of a cell (Windows-1252): numbers in decimal, the others as stored.
std::string ItemListCell(const ItemListRow& row, int column);

// The row at a position of some list of rows (made on demand where the list keeps only its items).
using ItemListRowAt = std::function<ItemListRow(std::uint32_t position)>;

// Parses both texts as signed 32-bit decimals (text that does not parse counts
// as 0); negative, 0 or positive as a is smaller than, equal to or larger than b.
int CompareAsNumbers(std::string_view a, std::string_view b);
// Byte by byte with only a..z folded onto A..Z, every other byte by its
// Windows-1252 code; a text that begins the other goes first.
int CompareFoldedText(std::string_view a, std::string_view b);

// A sort column outside 0..5 (a hand-edited options file) sorts by "Item #".
int EffectiveSortColumn(std::int32_t column);
// Negative when a goes before b: "Item #" lowest first, "Prix" highest first,
// text columns by CompareFoldedText; the result negated when inverted.
int CompareItemListRows(const ItemListRow& a, const ItemListRow& b, std::int32_t column, bool inverted);
// Sorts order (positions into rows) by CompareItemListRows. Rows that compare
// equal keep their relative order, so the result does not depend on the library.
// A list that keeps its rows' numbers and prices side by side (by position)
// gives them in values: sorting by "Item #" or "Prix" then reads them there
// instead of making each row.
struct ItemListValues {
  const std::vector<std::int32_t>* Numbers = nullptr;
  const std::vector<std::int32_t>* Prices = nullptr;
};
void SortItemListOrder(const ItemListRowAt& rowAt, std::vector<std::uint32_t>& order, std::int32_t column,
                       bool inverted, const ItemListValues& values = {});
void SortItemListOrder(const std::vector<ItemListRow>& rows, std::vector<std::uint32_t>& order, std::int32_t column,
                       bool inverted);

}  // namespace kistora
