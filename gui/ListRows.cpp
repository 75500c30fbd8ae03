#include "gui/ListRows.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QStyledItemDelegate>
#include <algorithm>

namespace kistora {

namespace {

// The pixels that accents above capitals, and the cedilla below, need beyond
// the font's own height.
int AccentOverflow(const QFont& font) {
  const QFontMetrics metrics(font);
  const QRect ink = metrics.tightBoundingRect(QString::fromUtf8("ÉÈÊÀÂÅÔÇ"));
  const int above = std::max(0, -ink.top() - metrics.ascent());
  const int below = std::max(0, ink.bottom() + 1 - metrics.descent());
  return above + below;
}

class RoomyRows final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    // One pixel more on each side keeps the ink off the row's edges.
    size.setHeight(size.height() + AccentOverflow(option.font) + 2);
    return size;
  }
};

}  // namespace

void GiveRowsRoomForAccents(QAbstractItemView& list) { list.setItemDelegate(new RoomyRows(&list)); }

}  // namespace kistora
