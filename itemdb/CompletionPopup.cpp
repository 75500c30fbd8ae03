#include "itemdb/CompletionPopup.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <algorithm>

namespace {

constexpr int kRowsShown = 8;

}  // namespace

CompletionPopup::CompletionPopup(QWidget* field, QWidget* dialog)
    : QObject(field), field_(field), dialog_(dialog), list_(new QListWidget(dialog)) {
  list_->hide();
  list_->setFocusPolicy(Qt::NoFocus);
  list_->viewport()->setFocusPolicy(Qt::NoFocus);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setAccessibleName(QStringLiteral("Propositions"));
  connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { emit chosen(list_->row(item)); });
  field_->installEventFilter(this);
}

void CompletionPopup::Show(const QStringList& entries, const QRect& around) {
  if (entries.isEmpty()) {
    Hide();
    return;
  }
  list_->clear();
  list_->addItems(entries);
  list_->setCurrentRow(-1);
  list_->clearSelection();
  const int rows = std::min<int>(kRowsShown, static_cast<int>(entries.size()));
  const int height = rows * list_->sizeHintForRow(0) + 2 * list_->frameWidth();
  const bool roomBelow = around.bottom() + 1 + height <= dialog_->height();
  const int top = roomBelow ? around.bottom() + 1 : std::max(0, around.top() - height);
  list_->setGeometry(around.left(), top, around.width(), height);
  list_->raise();
  list_->show();
}

void CompletionPopup::Hide() { list_->hide(); }

bool CompletionPopup::IsShown() const { return list_->isVisible(); }

bool CompletionPopup::eventFilter(QObject* watched, QEvent* event) {
  if (watched != field_ || !IsShown()) return QObject::eventFilter(watched, event);
  if (event->type() == QEvent::FocusOut) {
    Hide();
  } else if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const int row = list_->currentRow();
    const bool highlighted = row >= 0;
    switch (key->key()) {
      case Qt::Key_Down:
      case Qt::Key_Up:
      case Qt::Key_PageDown:
      case Qt::Key_PageUp: {
        if (event->type() == QEvent::ShortcutOverride) {
          event->accept();  // the list's, not a shortcut's
          return true;
        }
        const int last = list_->count() - 1;
        const int step = key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp ? kRowsShown : 1;
        const bool down = key->key() == Qt::Key_Down || key->key() == Qt::Key_PageDown;
        // Up from the first proposal goes back to the field with nothing highlighted.
        const int next = down ? std::min(last, row + step) : (row <= 0 ? -1 : std::max(0, row - step));
        list_->setCurrentRow(next);
        if (next < 0) list_->clearSelection();
        return true;
      }
      case Qt::Key_Return:
      case Qt::Key_Enter: {
        // With nothing highlighted Enter only closes the list: in a one-line
        // field it would confirm the dialog with the letters typed so far. A
        // box of several lines still starts its new line.
        const bool consumed = highlighted || qobject_cast<QLineEdit*>(field_) != nullptr;
        if (event->type() == QEvent::ShortcutOverride) {
          if (!consumed) break;
          event->accept();
          return true;
        }
        if (highlighted) {
          emit chosen(row);
        } else {
          Hide();
        }
        if (!consumed) break;
        return true;
      }
      case Qt::Key_Escape:
        // Closes the list only, not the dialog.
        if (event->type() == QEvent::ShortcutOverride) {
          event->accept();
          return true;
        }
        Hide();
        return true;
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
        Hide();
        break;
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}
