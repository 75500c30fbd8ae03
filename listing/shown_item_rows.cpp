#include "listing/shown_item_rows.h"

#include <algorithm>

namespace kistora {

void ShownItemRows::Relist(const ItemListSnapshot& snapshot, const ItemFilter& filter, std::int32_t column,
                           bool inverted) {
  filter_ = filter;
  column_ = column;
  inverted_ = inverted;
  ShownRowsListener quiet;
  RelistTelling(snapshot, quiet);
}

void ShownItemRows::Resort(const ItemListSnapshot& snapshot, std::int32_t column, bool inverted) {
  column_ = column;
  inverted_ = inverted;
  SortItemListOrder(snapshot.RowSource(), order_, column_, inverted_, snapshot.Values());
}

void ShownItemRows::FollowChange(ItemListSnapshot& snapshot, const CatalogueChange& change, const TCatalogue& catalogue,
                                 ShownRowsListener* listener) {
  ShownRowsListener quiet;
  ShownRowsListener& tell = listener ? *listener : quiet;
  // The holders first, so that rows placed or listed below already see them.
  std::vector<std::int32_t> holderChanges;
  if (filter_.Search.DependsOnHolders() && change.TouchesChars()) {
    holderChanges = filter_.Search.ResolveHoldersTellingChanges(catalogue.CharList);
  }
  if (FollowItemChange(snapshot, change, catalogue.ItemList, tell) && !holderChanges.empty()) {
    FollowHolders(snapshot, holderChanges, catalogue, tell);
  }
}

bool ShownItemRows::FollowItemChange(ItemListSnapshot& snapshot, const CatalogueChange& change, const ItemVector& items,
                                     ShownRowsListener& tell) {
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
          return true;
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
      return true;
    case SnapshotEdit::Kind::Rebuilt:
      if (edit.KeptFrom.empty()) {
        RelistTelling(snapshot, tell);
        return false;
      }
      RelistKeptTelling(snapshot, edit.KeptFrom, tell);
      return true;  // kept rows whose holders changed move next
    case SnapshotEdit::Kind::Erased:
    case SnapshotEdit::Kind::Nothing:
      return true;
  }
  return true;
}

void ShownItemRows::FollowHolders(const ItemListSnapshot& snapshot, const std::vector<std::int32_t>& numbers,
                                  const TCatalogue& catalogue, ShownRowsListener& tell) {
  // Each number costs a pass over the shown rows: past a few, listing again is cheaper.
  constexpr std::size_t kRowByRowUpTo = 16;
  if (numbers.size() > kRowByRowUpTo) {
    RelistTelling(snapshot, tell);
    return;
  }
  std::vector<std::uint32_t> positions;
  const std::vector<std::int32_t>& rows = snapshot.Numbers();
  if (catalogue.ItemsInNumberOrder() && snapshot.AlignedWith(catalogue.ItemList)) {
    // The usual case: the rows come in number order, so each number is found by a binary search.
    for (const std::int32_t number : numbers) {
      for (auto at = std::lower_bound(rows.begin(), rows.end(), number); at != rows.end() && *at == number; ++at) {
        positions.push_back(static_cast<std::uint32_t>(at - rows.begin()));
      }
    }
  } else {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (std::binary_search(numbers.begin(), numbers.end(), rows[i])) {
        positions.push_back(static_cast<std::uint32_t>(i));
      }
    }
  }
  for (const std::uint32_t position : positions) {
    if (const int row = ViewRowOf(position); row >= 0) {
      if (!snapshot.Shows(position, filter_)) {
        tell.RowAboutToGo(row);
        RemoveAt(row, snapshot.PriceAt(position));
        tell.RowGone();
      }
    } else if (const int place = PlaceFor(snapshot, position); place >= 0) {
      tell.RowAboutToCome(place);
      order_.insert(order_.begin() + place, position);
      totals_.Add(snapshot.PriceAt(position));
      tell.RowCame();
    }
  }
}

void ShownItemRows::RelistTelling(const ItemListSnapshot& snapshot, ShownRowsListener& tell) {
  tell.AboutToRelist();
  snapshot.Select(filter_, order_);
  SortAndTotal(snapshot);
  tell.Relisted();
}

void ShownItemRows::RelistKeptTelling(const ItemListSnapshot& snapshot, const std::vector<std::uint32_t>& keptFrom,
                                      ShownRowsListener& tell) {
  tell.AboutToRelist();
  std::vector<bool> shownBefore;
  for (const std::uint32_t position : order_) {
    if (position >= shownBefore.size()) shownBefore.resize(position + 1);
    shownBefore[position] = true;
  }
  order_.clear();
  for (std::uint32_t position = 0; position < keptFrom.size(); ++position) {
    const std::uint32_t before = keptFrom[position];
    const bool shown = before == SnapshotEdit::kNewRow ? snapshot.Shows(position, filter_)
                                                       : before < shownBefore.size() && shownBefore[before];
    if (shown) order_.push_back(position);
  }
  SortAndTotal(snapshot);
  tell.Relisted();
}

void ShownItemRows::SortAndTotal(const ItemListSnapshot& snapshot) {
  SortItemListOrder(snapshot.RowSource(), order_, column_, inverted_, snapshot.Values());
  totals_ = ItemTotals();
  for (const std::uint32_t position : order_) totals_.Add(snapshot.PriceAt(position));
}

bool ShownItemRows::GoesBefore(const ItemListSnapshot& snapshot, std::uint32_t a, std::uint32_t b) const {
  const int order = CompareItemListRows(snapshot.Row(a), snapshot.Row(b), column_, inverted_);
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
