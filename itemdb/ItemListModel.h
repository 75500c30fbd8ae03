// The rows of the item database list `Liste` as a Qt table model. It keeps a
// snapshot of every item's row and search texts, updated one item at a time as
// the catalogue changes; a change of the filter (a keystroke in the search
// field, a check box) only picks and sorts positions in it, and a change of one
// item only moves that item's row among the shown ones.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <optional>
#include <vector>

#include "listing/item_list_rows.h"
#include "listing/item_list_snapshot.h"
#include "listing/shown_item_rows.h"
#include "model/catalogue.h"
#include "model/item_counts.h"

class ItemListModel : public QAbstractTableModel, private kistora::ShownRowsListener {
  Q_OBJECT
 public:
  explicit ItemListModel(QObject* parent = nullptr);

  // Makes the snapshot of every item again, then lists the shown ones sorted
  // (one model reset, so views drop their selection).
  void Rebuild(const kistora::TCatalogue& catalogue, const kistora::ItemFilter& filter, std::int32_t sortColumn,
               bool sortInverted);
  // Follows one change of the catalogue's items in the snapshot and in the
  // shown rows, with the last filter and sort: the views are told of the one
  // row that changed, came or went (their selection stays), and of nothing when
  // the filter hides the item; a snapshot made again resets the model.
  void ApplyChange(const kistora::CatalogueChange& change, const kistora::TCatalogue& catalogue);
  // Lists the rows the filter shows from the snapshot as it is (one model reset).
  void Refilter(const kistora::ItemFilter& filter, std::int32_t sortColumn, bool sortInverted);
  // Re-sorts the rows in place; the view's selection follows its row.
  void Resort(std::int32_t sortColumn, bool sortInverted);

  // The row shown at position viewRow, or nullptr outside the list.
  // The row a view row shows (views of its item's texts, valid until the next change).
  std::optional<kistora::ItemListRow> RowAt(int viewRow) const;
  // Makes up to maxRows more of the search texts (made after the first screen,
  // or all at once by the first search); true when every row has its text.
  bool BuildSearchTexts(std::size_t maxRows = SIZE_MAX) { return snapshot_.BuildSearchTexts(maxRows); }
  // For each position of items, whether the list shows that item; none when
  // the snapshot does not stand for items one for one.
  std::optional<std::vector<bool>> ShownAt(const kistora::ItemVector& items) const;
  // Rows in the snapshot (every item) and the shown rows' count and value.
  std::int64_t TotalCount() const { return static_cast<std::int64_t>(snapshot_.Size()); }
  const kistora::ItemTotals& ShownTotals() const { return shown_.Totals(); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  // A dragged row carries its item's number (gui/ItemDrag.h).
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

 signals:
  // The shown rows changed (after every reset): the count line follows.
  void listed();

 private:
  // The shown rows tell of each row as it goes, comes or changes: the views hear it.
  void RowAboutToGo(int viewRow) override;
  void RowGone() override;
  void RowAboutToCome(int viewRow) override;
  void RowCame() override;
  void RowRedrawn(int viewRow) override;
  void AboutToRelist() override;
  void Relisted() override;

  kistora::ItemListSnapshot snapshot_;
  kistora::ShownItemRows shown_;  // view row -> position in the snapshot's rows
};
