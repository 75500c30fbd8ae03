// The rows of the item database list that the filter shows, in sort order, with
// their count and value. A keystroke or a sort lists them from the snapshot; a
// change of one item moves only that item's row: it leaves the order where it
// was and goes back in at the place a binary search finds. That keeps a change
// in a catalogue of a million items far cheaper than filtering and sorting a
// million rows again, and gives exactly the order a full listing gives.
#pragma once

#include <cstdint>
#include <vector>

#include "model/item_counts.h"
#include "model/item_list_rows.h"
#include "model/item_list_snapshot.h"

namespace kistora {

class ShownItemRows {
 public:
  // Picks the rows of snapshot the filter shows, sorts them by the column
  // (SortItemListOrder) and totals their prices.
  void Relist(const ItemListSnapshot& snapshot, const ItemFilter& filter, std::int32_t column, bool inverted);
  // Follows one edit of the snapshot, as its Apply reported it, with the same
  // filter and sort; a rebuilt snapshot is listed again.
  void Follow(const ItemListSnapshot& snapshot, const SnapshotEdit& edit);
  // Sorts the shown rows again by another column (the same rows, the same totals).
  void Resort(const ItemListSnapshot& snapshot, std::int32_t column, bool inverted);

  // View row -> position in the snapshot's rows.
  const std::vector<std::uint32_t>& Order() const { return order_; }
  const ItemTotals& Totals() const { return totals_; }
  const ItemFilter& Filter() const { return filter_; }
  std::int32_t SortColumn() const { return column_; }
  bool SortInverted() const { return inverted_; }

 private:
  // Whether the row at position a goes before the row at position b: by the
  // sort column, and rows that compare equal in list order (as the stable sort).
  bool GoesBefore(const ItemListSnapshot& snapshot, std::uint32_t a, std::uint32_t b) const;
  // Takes position out of the order (and the totals) when it is shown.
  void Withdraw(std::uint32_t position, std::int32_t price);
  // Puts position in its sorted place when the filter shows its row.
  void InsertIfShown(const ItemListSnapshot& snapshot, std::uint32_t position);

  ItemFilter filter_;
  std::int32_t column_ = 0;
  bool inverted_ = false;
  std::vector<std::uint32_t> order_;
  ItemTotals totals_;
};

}  // namespace kistora
