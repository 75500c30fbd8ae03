// Every row of the item database list with the folded texts the quick search
// looks in, made once per change of the catalogue. Filtering then only picks
// positions: a keystroke in the search field neither copies texts nor touches
// the items, which keeps it fast on a catalogue of a million items.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/item_list_rows.h"

namespace kistora {

class ItemListSnapshot {
 public:
  // The rows of every item (null entries skipped), in list order, as
  // MakeItemListRows makes them with no filter.
  void Build(const ItemVector& items);

  const std::vector<ItemListRow>& Rows() const { return rows_; }
  // Positions in Rows() of the rows the filter shows, in list order: the same
  // rows as MakeItemListRows(items, filter) while the items are unchanged.
  void Select(const ItemFilter& filter, std::vector<std::uint32_t>& positions) const;

 private:
  std::string_view SearchText(std::size_t position) const;

  std::vector<ItemListRow> rows_;
  // Quality code and price of each row, side by side for a quick pass.
  std::vector<std::uint8_t> qualities_;
  std::vector<std::int32_t> prices_;
  std::string searchText_;               // AppendItemSearchText of every row, end to end
  std::vector<std::size_t> textStarts_;  // row -> start in searchText_, plus the end
};

}  // namespace kistora
