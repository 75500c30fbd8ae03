// The order and the rows of the statistics table: a click on a column sorts
// the rows within their grouping (qualities among qualities, categories among
// categories, characters among characters), the groupings keeping their
// order whichever way the column sorts; the rows of no item can be hidden.
#pragma once

#include <QSortFilterProxyModel>

class StatsTableOrder : public QSortFilterProxyModel {
 public:
  // The source's rows give their grouping under this role in their first
  // column, and their item count under the sort role in countColumn.
  static constexpr int kGroupingRole = Qt::UserRole + 1;

  StatsTableOrder(int countColumn, QObject* parent = nullptr);

  // Whether rows whose count is 0 are left out.
  void SetHideEmpty(bool hide);
  bool HidesEmpty() const { return hideEmpty_; }

 protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  int countColumn_;
  bool hideEmpty_ = false;
};
