// The rows of the item database list `Liste` as a Qt table model: a snapshot of
// the shown items' cell texts in sorted order, rebuilt whole by the window.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

#include "model/catalogue.h"
#include "model/item_list_rows.h"

class ItemListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit ItemListModel(QObject* parent = nullptr);

  // Lists every shown item of the catalogue, in catalogue order, then sorts
  // (one model reset, so views drop their selection).
  void Rebuild(const kistora::TCatalogue& catalogue, const kistora::ItemFilter& filter, std::int32_t sortColumn,
               bool sortInverted);
  // Re-sorts the rows in place; the view's selection follows its row.
  void Resort(std::int32_t sortColumn, bool sortInverted);

  // The row shown at position viewRow, or nullptr outside the list.
  const kistora::ItemListRow* RowAt(int viewRow) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  std::vector<kistora::ItemListRow> rows_;  // catalogue order
  std::vector<std::uint32_t> order_;        // view row -> position in rows_
};
