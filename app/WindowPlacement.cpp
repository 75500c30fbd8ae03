#include "app/WindowPlacement.h"

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

void KeepPositionAfterFirstShow(QWidget& dialog, const QShowEvent& event) {
  // A dialog without an explicit position is centred over its parent at every
  // show; marking the position as explicit keeps where it was last left.
  if (!event.spontaneous()) dialog.setAttribute(Qt::WA_Moved, true);
}

}  // namespace kistora
