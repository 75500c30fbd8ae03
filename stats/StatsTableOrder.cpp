#include "stats/StatsTableOrder.h"

StatsTableOrder::StatsTableOrder(int countColumn, QObject* parent)
    : QSortFilterProxyModel(parent), countColumn_(countColumn) {}

void StatsTableOrder::SetHideEmpty(bool hide) {
  if (hide == hideEmpty_) return;
  hideEmpty_ = hide;
  invalidateRowsFilter();
}

bool StatsTableOrder::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  const int leftGrouping = sourceModel()->index(left.row(), 0).data(kGroupingRole).toInt();
  const int rightGrouping = sourceModel()->index(right.row(), 0).data(kGroupingRole).toInt();
  if (leftGrouping != rightGrouping) {
    // A descending sort reverses this answer: the groupings come out in their order either way.
    return (leftGrouping < rightGrouping) == (sortOrder() == Qt::AscendingOrder);
  }
  return QSortFilterProxyModel::lessThan(left, right);
}

bool StatsTableOrder::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  return !hideEmpty_ || sourceModel()->index(sourceRow, countColumn_, sourceParent).data(sortRole()).toLongLong() != 0;
}
