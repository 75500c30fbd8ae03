#include "mainwindow/CharDropTarget.h"

#include <QDropEvent>
#include <QTreeView>
#include <optional>
#include <utility>

#include "gui/ItemDrag.h"
#include "mainwindow/CharListModel.h"

namespace kistora {

CharDropTarget::CharDropTarget(QTreeView* chars, CharListModel* charsModel, QTreeView* inventory,
                               std::function<int()> selectedRow, QObject* parent)
    : QObject(parent),
      chars_(chars),
      charsModel_(charsModel),
      inventory_(inventory),
      selectedRow_(std::move(selectedRow)) {
  for (QTreeView* list : {chars_, inventory_}) {
    list->viewport()->setAcceptDrops(true);
    list->viewport()->installEventFilter(this);
  }
}

CharDropTarget::~CharDropTarget() {
  chars_->viewport()->removeEventFilter(this);
  inventory_->viewport()->removeEventFilter(this);
}

bool CharDropTarget::eventFilter(QObject* watched, QEvent* event) {
  // The event type first: while a list is being destroyed its viewport still
  // gets events, and the list must not be asked anything then.
  const QEvent::Type type = event->type();
  const bool dragEvent = type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
  if (!dragEvent && type != QEvent::DragLeave) return QObject::eventFilter(watched, event);
  const bool onChars = watched == chars_->viewport();
  if (!onChars && watched != inventory_->viewport()) return QObject::eventFilter(watched, event);
  if (dragEvent) return DragEvent(onChars, static_cast<QDropEvent*>(event));
  charsModel_->SetDropRow(-1);
  return QObject::eventFilter(watched, event);
}

int CharDropTarget::TargetRow(bool onChars, const QPoint& position) const {
  return onChars ? chars_->indexAt(position).row() : selectedRow_();
}

bool CharDropTarget::DragEvent(bool onChars, QDropEvent* event) {
  const std::optional<std::int32_t> number = ItemNumberFromMime(event->mimeData());
  const int row = TargetRow(onChars, event->position().toPoint());
  const bool dropped = event->type() == QEvent::Drop;
  // While the item is dragged, the character that would receive it is highlighted.
  charsModel_->SetDropRow(number && row >= 0 && !dropped ? row : -1);
  // An item entering the character list is taken even where no row is (below
  // the last one, say): a drag refused as it enters gets no moves, and could
  // not reach a row after.
  const bool entersChars = onChars && event->type() == QEvent::DragEnter;
  if (!number || (row < 0 && !entersChars)) {
    event->ignore();
    return true;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  if (dropped) emit itemDropped(*number, row);
  return true;
}

}  // namespace kistora
