#include "model/shown_item_rows.h"

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

void ShownItemRows::Follow(const ItemListSnapshot& snapshot, const SnapshotEdit& edit) {
  const auto position = static_cast<std::uint32_t>(edit.Position);
  switch (edit.What) {
    case SnapshotEdit::Kind::Nothing:
      return;
    case SnapshotEdit::Kind::Appended:
      InsertIfShown(snapshot, position);
      return;
    case SnapshotEdit::Kind::Replaced:
      Withdraw(position, edit.OldPrice);
      InsertIfShown(snapshot, position);
      return;
    case SnapshotEdit::Kind::Erased:
      Withdraw(position, edit.OldPrice);
      // The rows after it moved up by one; their relative order is unchanged.
      for (std::uint32_t& shown : order_) {
        if (shown > position) --shown;
      }
      return;
    case SnapshotEdit::Kind::Rebuilt:
      break;
  }
  Relist(snapshot, filter_, column_, inverted_);
}

bool ShownItemRows::GoesBefore(const ItemListSnapshot& snapshot, std::uint32_t a, std::uint32_t b) const {
  const int order = CompareItemListRows(snapshot.Rows()[a], snapshot.Rows()[b], column_, inverted_);
  return order < 0 || (order == 0 && a < b);
}

void ShownItemRows::Withdraw(std::uint32_t position, std::int32_t price) {
  const auto found = std::find(order_.begin(), order_.end(), position);
  if (found == order_.end()) return;
  order_.erase(found);
  --totals_.Count;
  totals_.Value -= price;
}

void ShownItemRows::InsertIfShown(const ItemListSnapshot& snapshot, std::uint32_t position) {
  if (!snapshot.Shows(position, filter_)) return;
  const auto at =
      std::lower_bound(order_.begin(), order_.end(), position,
                       [&](std::uint32_t shown, std::uint32_t added) { return GoesBefore(snapshot, shown, added); });
  order_.insert(at, position);
  totals_.Add(snapshot.PriceAt(position));
}

}  // namespace kistora
