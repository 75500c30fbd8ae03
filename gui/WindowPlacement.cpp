#include "gui/WindowPlacement.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>
#include <algorithm>

#include "gui/WindowFrame.h"

namespace kistora {

void CentreOnScreen(QWidget& window) {
  QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize outer = OuterBounds(window).size();
  MoveOuter(window, {area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2});
}

QPoint CentredOverPosition(const QWidget& window, const QWidget* over) {
  const QRect self = OuterBounds(window);
  if (over == nullptr) return self.topLeft();
  const QRect owner = OuterBounds(*over);
  return {owner.left() + (owner.width() - self.width()) / 2, owner.top() + (owner.height() - self.height()) / 2};
}

void CentreOver(QWidget& window, const QWidget* over) {
  if (over == nullptr) return;
  // Moving marks the window as placed, so later shows keep where the user put it.
  MoveOuter(window, CentredOverPosition(window, over));
}

void CentreOverWhollyOnScreen(QWidget& window, const QWidget* over) {
  const QSize frame = OuterBounds(window).size();
  const QPoint centred = CentredOverPosition(window, over);
  QScreen* screen = QGuiApplication::screenAt(QRect(centred, frame).center());
  if (screen == nullptr) screen = over != nullptr ? over->screen() : window.screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize fitted = frame.boundedTo(area.size());
  if (fitted != frame) ResizeOuter(window, fitted.width(), fitted.height());
  // Centred over the same point, then pushed inside the area.
  const QPoint place = centred + QPoint((frame.width() - fitted.width()) / 2, (frame.height() - fitted.height()) / 2);
  MoveOuter(window, {std::clamp(place.x(), area.left(), area.right() + 1 - fitted.width()),
                     std::clamp(place.y(), area.top(), area.bottom() + 1 - fitted.height())});
}

void KeepPositionAfterFirstShow(QWidget& dialog, const QShowEvent& event) {
  // A dialog without an explicit position is centred over its parent at every
  // show; marking the position as explicit keeps where it was last left.
  if (!event.spontaneous()) dialog.setAttribute(Qt::WA_Moved, true);
}

void ShrinkFontToFit(QWidget& widget, const std::function<bool(const QFont&)>& fits) {
  QFont font = widget.font();
  while (!fits(font)) {
    if (font.pointSizeF() > 0) {
      if (font.pointSizeF() <= 6.0) break;
      font.setPointSizeF(font.pointSizeF() - 0.5);
    } else {
      if (font.pixelSize() <= 6) break;
      font.setPixelSize(font.pixelSize() - 1);
    }
  }
  widget.setFont(font);
}

}  // namespace kistora
