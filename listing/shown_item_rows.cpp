#include "listing/shown_item_rows.h"

#include <algorithm>

namespace kistora {

void ShownItemRows::Relist(const ItemListSnapshot& snapshot, const ItemFilter& filter, std::int32_t column,
                           bool inverted) {
  filter_ = filter;
  column_ = column;
  inverted_ = inverted;
  snapshot.Select(filter_, order_);
  SortItemListOrder(snapshot.Rows(), order_, column_, inverted_);
  totals_ = ItemTotals();
  for (const std::uint32_t position : order_) totals_.Add(snapshot.PriceAt(position));
}

void ShownItemRows::Resort(const ItemListSnapshot& snapshot, std::int32_t column, bool inverted) {
  column_ = column;
  inverted_ = inverted;
  SortItemListOrder(snapshot.Rows(), order_, column_, inverted_);
}

void ShownItemRows::FollowChange(ItemListSnapshot& snapshot, const CatalogueChange& change, const ItemVector& items,
                                 ShownRowsListener* listener) {
  ShownRowsListener quiet;
  ShownRowsListener& tell = listener ? *listener : quiet;
  const auto position = static_cast<std::uint32_t>(std::max(change.Position, 0));
  // A deleted item's row goes before the snapshot drops it, while the rows
  // around it still show what they showed.
  const int erasedRow = change.Kind == ChangeKind::ItemDeleted && change.Position >= 0 ? ViewRowOf(position) : -1;
  if (erasedRow >= 0) tell.RowAboutToGo(erasedRow);
  const SnapshotEdit edit = snapshot.Apply(change, items);
  const bool erased = edit.What == SnapshotEdit::Kind::Erased;
  if (erasedRow >= 0) RemoveAt(erasedRow, erased ? edit.OldPrice : 0);
  if (erased) {
    // The rows after it moved up by one; their relative order is unchanged.
    for (std::uint32_t& shown : order_) {
      if (shown > position) --shown;
    }
  }
  if (erasedRow >= 0) tell.RowGone();
  if (edit.What == SnapshotEdit::Kind::Inserted) {
    // The rows from its place on moved down by one; their relative order is unchanged.
    for (std::uint32_t& shown : order_) {
      if (shown >= position) ++shown;
    }
  }

  switch (edit.What) {
    case SnapshotEdit::Kind::Replaced:
      if (const int row = ViewRowOf(position); row >= 0) {
        if (StaysAt(snapshot, row)) {
          totals_.Value += static_cast<std::int64_t>(snapshot.PriceAt(position)) - edit.OldPrice;
          tell.RowRedrawn(row);
          return;
        }
        tell.RowAboutToGo(row);
        RemoveAt(row, edit.OldPrice);
        tell.RowGone();
      }
      [[fallthrough]];
    case SnapshotEdit::Kind::Inserted:
    case SnapshotEdit::Kind::Appended:
      if (const int row = PlaceFor(snapshot, position); row >= 0) {
        tell.RowAboutToCome(row);
        order_.insert(order_.begin() + row, position);
        totals_.Add(snapshot.PriceAt(position));
        tell.RowCame();
      }
      return;
    case SnapshotEdit::Kind::Rebuilt:
      tell.AboutToRelist();
      Relist(snapshot, filter_, column_, inverted_);
      tell.Relisted();
      return;
    case SnapshotEdit::Kind::Erased:
    case SnapshotEdit::Kind::Nothing:
      return;
  }
}

bool ShownItemRows::GoesBefore(const ItemListSnapshot& snapshot, std::uint32_t a, std::uint32_t b) const {
  const int order = CompareItemListRows(snapshot.Rows()[a], snapshot.Rows()[b], column_, inverted_);
  return order < 0 || (order == 0 && a < b);
}

int ShownItemRows::ViewRowOf(std::uint32_t position) const {
  const auto found = std::find(order_.begin(), order_.end(), position);
  return found == order_.end() ? -1 : static_cast<int>(found - order_.begin());
}

bool ShownItemRows::StaysAt(const ItemListSnapshot& snapshot, int viewRow) const {
  const auto row = static_cast<std::size_t>(viewRow);
  const std::uint32_t position = order_[row];
  return snapshot.Shows(position, filter_) && (row == 0 || GoesBefore(snapshot, order_[row - 1], position)) &&
         (row + 1 == order_.size() || GoesBefore(snapshot, position, order_[row + 1]));
}

void ShownItemRows::RemoveAt(int viewRow, std::int32_t price) {
  order_.erase(order_.begin() + viewRow);
  --totals_.Count;
  totals_.Value -= price;
}

int ShownItemRows::PlaceFor(const ItemListSnapshot& snapshot, std::uint32_t position) const {
  if (!snapshot.Shows(position, filter_)) return -1;
  const auto at =
      std::lower_bound(order_.begin(), order_.end(), position,
                       [&](std::uint32_t shown, std::uint32_t added) { return GoesBefore(snapshot, shown, added); });
  return static_cast<int>(at - order_.begin());
}

}  // namespace kistora
