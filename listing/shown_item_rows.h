// The rows of the item database list that the filter shows, in sort order, with
// their count and value. A keystroke or a sort lists them from the snapshot; a
// change of one item moves only that item's row: it leaves the order where it
// was and goes back in at the place a binary search finds. That keeps a change
// in a catalogue of a million items far cheaper than filtering and sorting a
// million rows again, and gives exactly the order a full listing gives.
#pragma once

#include <cstdint>
#include <vector>

#include "listing/item_list_rows.h"
#include "listing/item_list_snapshot.h"
#include "model/catalogue.h"
#include "model/item_counts.h"

namespace kistora {

// Hears of each change to the shown rows as it happens, so that a list model
// can tell its views: each About call comes before the rows change, its pair
// after. A change this way keeps the views' selection and spares them a
// relayout of a million rows.
class ShownRowsListener {
 public:
  virtual ~ShownRowsListener() = default;
  virtual void RowAboutToGo(int /*viewRow*/) {}
  virtual void RowGone() {}
  virtual void RowAboutToCome(int /*viewRow*/) {}
  virtual void RowCame() {}
  virtual void RowRedrawn(int /*viewRow*/) {}
  virtual void AboutToRelist() {}
  virtual void Relisted() {}
};

class ShownItemRows {
 public:
  // Picks the rows of snapshot the filter shows, sorts them by the column
  // (SortItemListOrder) and totals their prices.
  void Relist(const ItemListSnapshot& snapshot, const ItemFilter& filter, std::int32_t column, bool inverted);
  // Follows one change of catalogue (already made): the snapshot takes it,
  // then the shown rows, with the same filter and sort. Only the changed item's
  // row moves; a rebuilt snapshot is listed again. A search that asks who holds
  // the items (perso:, libre) learns the holders again after a change of the
  // characters, and only the rows of the numbers whose answer changed move
  // (many at once: everything is listed again). listener (if any) hears of
  // each row that goes, comes or is redrawn as it happens.
  void FollowChange(ItemListSnapshot& snapshot, const CatalogueChange& change, const TCatalogue& catalogue,
                    ShownRowsListener* listener = nullptr);
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
  // The view row showing the snapshot's row at position, or -1.
  int ViewRowOf(std::uint32_t position) const;
  // Whether the row at viewRow, changed in the snapshot, is still shown and
  // still goes between its neighbours.
  bool StaysAt(const ItemListSnapshot& snapshot, int viewRow) const;
  // Takes out the row at viewRow, whose price was price.
  void RemoveAt(int viewRow, std::int32_t price);
  // The view row where the snapshot's row at position goes, or -1 when the filter hides it.
  int PlaceFor(const ItemListSnapshot& snapshot, std::uint32_t position) const;
  // The item part of FollowChange; false when it listed everything again.
  bool FollowItemChange(ItemListSnapshot& snapshot, const CatalogueChange& change, const ItemVector& items,
                        ShownRowsListener& tell);
  // Shows or hides the rows of the items numbered numbers, as the filter now says.
  void FollowHolders(const ItemListSnapshot& snapshot, const std::vector<std::int32_t>& numbers,
                     const TCatalogue& catalogue, ShownRowsListener& tell);
  void RelistTelling(const ItemListSnapshot& snapshot, ShownRowsListener& tell);
  // Lists again after a rebuild that kept rows: a kept row shows as it did
  // (the same item, the same filter), only the rows made anew are filtered.
  void RelistKeptTelling(const ItemListSnapshot& snapshot, const std::vector<std::uint32_t>& keptFrom,
                         ShownRowsListener& tell);
  void SortAndTotal(const ItemListSnapshot& snapshot);

  ItemFilter filter_;
  std::int32_t column_ = 0;
  bool inverted_ = false;
  std::vector<std::uint32_t> order_;
  ItemTotals totals_;
};

}  // namespace kistora
