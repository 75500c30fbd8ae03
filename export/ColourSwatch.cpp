#include "export/ColourSwatch.h"

#include <QMouseEvent>
#include <QPalette>

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

}  // namespace kistora
