#include "itemdb/ItemListView.h"

#include <QDrag>
#include <QFocusEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <algorithm>

#include "gui/ItemDrag.h"
#include "listing/item_list_rows.h"

ItemListView::ItemListView(QWidget* parent) : QTableView(parent) {
  setShowGrid(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setTabKeyNavigation(false);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  verticalHeader()->hide();
  // Rows of one height: the view then places a million rows by arithmetic.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setHighlightSections(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void ItemListView::FitRowsToText() {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.features |= QStyleOptionViewItem::HasDisplay;
  option.text = QString::fromUtf8("\u00C9g");
  const int height = itemDelegate()->sizeHint(option, QModelIndex()).height();
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(std::max(height, fontMetrics().height()));
}

QModelIndex ItemListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
  const QModelIndex current = currentIndex();
  const int rows = model() ? model()->rowCount(rootIndex()) : 0;
  const int column = current.isValid() ? current.column() : 0;
  switch (cursorAction) {
    case MoveHome:
      return rows > 0 ? model()->index(0, column, rootIndex()) : current;
    case MoveEnd:
      return rows > 0 ? model()->index(rows - 1, column, rootIndex()) : current;
    case MoveLeft:
    case MoveRight: {
      // Whole rows are selected: left and right scroll the columns into view, as in the other lists.
      QScrollBar* bar = horizontalScrollBar();
      bar->triggerAction(cursorAction == MoveLeft ? QAbstractSlider::SliderSingleStepSub
                                                  : QAbstractSlider::SliderSingleStepAdd);
      return current;
    }
    default:
      return QTableView::moveCursor(cursorAction, modifiers);
  }
}

void ItemListView::focusInEvent(QFocusEvent* event) {
  QTableView::focusInEvent(event);
  // A click selects its own row; a dialog closing gives the focus back without choosing one.
  const Qt::FocusReason reason = event->reason();
  const bool byKeyboard =
      reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
  if (!byKeyboard || !model() || model()->rowCount(rootIndex()) == 0 || selectionModel()->hasSelection()) return;
  const QModelIndex current = currentIndex().isValid() ? currentIndex() : model()->index(0, 0, rootIndex());
  selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

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
