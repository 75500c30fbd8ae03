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

QRect BesideRect(const QRect& caller, const QSize& frame, const QRect& area) {
  const QSize size = frame.boundedTo(area.size());
  const int roomRight = area.right() - caller.right();
  const int roomLeft = caller.left() - area.left();
  int left = 0;
  if (size.width() <= roomRight) {
    left = caller.right() + 1;
  } else if (size.width() <= roomLeft) {
    left = caller.left() - size.width();
  } else {
    left = roomRight >= roomLeft ? area.right() + 1 - size.width() : area.left();
  }
  const int top = std::clamp(caller.top(), area.top(), area.bottom() + 1 - size.height());
  return QRect(QPoint(left, top), size);
}

void PlaceBeside(QWidget& window, const QWidget* over) {
  if (over == nullptr) {
    CentreOnScreen(window);
    return;
  }
  QScreen* screen = over->screen() != nullptr ? over->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QSize frame = OuterBounds(window).size();
  const QRect place = BesideRect(OuterBounds(*over), frame, screen->availableGeometry());
  if (place.size() != frame) ResizeOuter(window, place.width(), place.height());
  MoveOuter(window, place.topLeft());
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
