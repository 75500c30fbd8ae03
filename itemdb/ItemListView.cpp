#include "itemdb/ItemListView.h"

#include <QDrag>
#include <QMimeData>

#include "gui/ItemDrag.h"
#include "listing/item_list_rows.h"

void ItemListView::startDrag(Qt::DropActions supportedActions) {
  const QModelIndexList rows = selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  QMimeData* mime = model()->mimeData(rows);
  if (mime == nullptr) return;
  const QString name = model()->index(rows.first().row(), kistora::kColName).data().toString();
  auto* drag = new QDrag(this);
  drag->setMimeData(mime);
  drag->setPixmap(kistora::ItemDragLabel(name, *this));
  // Below and right of the pointer: the row under it stays visible.
  drag->setHotSpot(QPoint(-12, -12));
  drag->exec(supportedActions, defaultDropAction());
}
