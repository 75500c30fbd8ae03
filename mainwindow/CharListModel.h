// The rows of the character list: a view of the catalogue's characters, row i
// being CharList entry i, with the columns "Nom", "Account", "Classe", "CLvl", "Notes".
#pragma once

#include <QAbstractTableModel>

namespace kistora {

class TCatalogue;

class CharListModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kName, kAccount, kClass, kLevel, kNotes, kColumnCount };

  explicit CharListModel(const TCatalogue& catalogue, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The list is rebuilt whole after characters were added, removed or moved
  // (the selection goes with it).
  void Rebuild();
  // One character's texts changed.
  void RowChanged(int row);
  // The row an item dragged over the window would go to, drawn highlighted; -1 for none.
  void SetDropRow(int row);
  int DropRow() const { return dropRow_; }

 private:
  const TCatalogue& catalogue_;
  int dropRow_ = -1;
};

}  // namespace kistora
