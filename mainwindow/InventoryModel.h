// The rows of the inventory list: one per entry of the selected character, in
// order, duplicates included, with the texts of the item the entry's number
// names. An entry whose number matches no item shows its number and empty cells.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

#include "listing/item_list_rows.h"
#include "model/item_counts.h"

namespace kistora {

class TCatalogue;
class TChar;

class InventoryModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  InventoryModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Rebuilds every row from the character's entries (no rows for nullptr). The
  // texts are copied: the rows never point into the catalogue.
  void Fill(const TCatalogue& catalogue, const TChar* character);
  // Count and value of the listed entries (an entry with no item counts, at price 0).
  ItemTotals Totals() const;
  // Whether a row shows that item number.
  bool Lists(std::int32_t number) const;
  // The "Item #" text of a row (Windows-1252).
  std::string NumberText(int row) const;

 private:
  struct Row {
    ItemListRow cells;   // views of the item's texts
    ItemPtr item;        // the item, kept alive for the views
    bool known = false;  // false: no item has this number
  };
  std::vector<Row> rows_;
};

}  // namespace kistora
