#include "export/ColourSwatch.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace kistora {

QColor ToQColor(TColor colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

TColor FromQColor(const QColor& colour) {
  return static_cast<TColor>(colour.red()) | static_cast<TColor>(colour.green()) << 8 |
         static_cast<TColor>(colour.blue()) << 16;
}

ColourSwatch::ColourSwatch(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setFixedSize(17, 17);
  setAutoFillBackground(true);
  setCursor(Qt::PointingHandCursor);
  // Reachable with Tab, and Space or Enter opens the picker as a click does.
  setFocusPolicy(Qt::StrongFocus);
  SetColour(colour_);
}

void ColourSwatch::SetColour(TColor colour) {
  colour_ = colour & 0xFFFFFF;
  QPalette shown = palette();
  shown.setColor(QPalette::Window, ToQColor(colour_));
  setPalette(shown);
}

void ColourSwatch::mouseReleaseEvent(QMouseEvent* event) {
  QFrame::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

void ColourSwatch::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && !event->isAutoRepeat()) {
    event->accept();
    emit clicked();
    return;
  }
  QFrame::keyPressEvent(event);
}

void ColourSwatch::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (!hasFocus()) return;
  // The focused swatch shows it with a dotted inner frame.
  QPainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.rect = contentsRect().adjusted(1, 1, -1, -1);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

}  // namespace kistora
