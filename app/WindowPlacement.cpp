#include "app/WindowPlacement.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>

namespace kistora {

void CentreOnScreen(QWidget& window) {
  QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  window.move(area.x() + (area.width() - window.width()) / 2, area.y() + (area.height() - window.height()) / 2);
}

void CentreOver(QWidget& window, const QWidget* over) {
  if (over == nullptr) return;
  const QRect owner = over->frameGeometry();
  QSize self = window.frameGeometry().size();
  // A window never shown has no frame yet: it will get the same as its owner's.
  if (self == window.size()) self += owner.size() - over->size();
  // Moving marks the window as placed, so later shows keep where the user put it.
  window.move(owner.left() + (owner.width() - self.width()) / 2, owner.top() + (owner.height() - self.height()) / 2);
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
