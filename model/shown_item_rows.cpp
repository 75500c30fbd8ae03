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
      ErasedFromSnapshot(position);
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
  const int row = ViewRowOf(position);
  if (row >= 0) RemoveAt(row, price);
}

void ShownItemRows::InsertIfShown(const ItemListSnapshot& snapshot, std::uint32_t position) {
  const int row = PlaceFor(snapshot, position);
  if (row >= 0) InsertAt(snapshot, row, position);
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

void ShownItemRows::RepricedAt(const ItemListSnapshot& snapshot, int viewRow, std::int32_t oldPrice) {
  totals_.Value += static_cast<std::int64_t>(snapshot.PriceAt(order_[static_cast<std::size_t>(viewRow)])) - oldPrice;
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

void ShownItemRows::InsertAt(const ItemListSnapshot& snapshot, int viewRow, std::uint32_t position) {
  order_.insert(order_.begin() + viewRow, position);
  totals_.Add(snapshot.PriceAt(position));
}

void ShownItemRows::ErasedFromSnapshot(std::uint32_t position) {
  for (std::uint32_t& shown : order_) {
    if (shown > position) --shown;
  }
}

}  // namespace kistora
