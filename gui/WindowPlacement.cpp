#include "gui/WindowPlacement.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>
#include <algorithm>
#include <cstdint>

namespace kistora {

void CentreOnScreen(QWidget& window) {
  QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  window.move(area.x() + (area.width() - window.width()) / 2, area.y() + (area.height() - window.height()) / 2);
}

QPoint CentredOverPosition(const QWidget& window, const QWidget* over) {
  if (over == nullptr) return window.frameGeometry().topLeft();
  const QRect owner = over->frameGeometry();
  QSize self = window.frameGeometry().size();
  // A window never shown has no frame yet: it will get the same as its owner's.
  if (self == window.size()) self += owner.size() - over->size();
  return {owner.left() + (owner.width() - self.width()) / 2, owner.top() + (owner.height() - self.height()) / 2};
}

void CentreOver(QWidget& window, const QWidget* over) {
  if (over == nullptr) return;
  // Moving marks the window as placed, so later shows keep where the user put it.
  window.move(CentredOverPosition(window, over));
}

QPoint PositionOnScreens(const QRect& frame, const QList<QRect>& areas) {
  const QRect* nearest = nullptr;
  std::int64_t nearestDistance = 0;
  for (const QRect& area : areas) {
    if (area.intersects(frame)) return frame.topLeft();
    // Squared distance between the frame and the area (0 on an axis where they overlap).
    const std::int64_t dx = std::max({0, area.left() - frame.right(), frame.left() - area.right()});
    const std::int64_t dy = std::max({0, area.top() - frame.bottom(), frame.top() - area.bottom()});
    const std::int64_t distance = dx * dx + dy * dy;
    if (!nearest || distance < nearestDistance) {
      nearest = &area;
      nearestDistance = distance;
    }
  }
  if (!nearest) return frame.topLeft();
  // Inside the area as far as it fits; a frame larger than the area keeps its top-left corner in.
  const int x = std::max(nearest->left(), std::min(frame.left(), nearest->right() + 1 - frame.width()));
  const int y = std::max(nearest->top(), std::min(frame.top(), nearest->bottom() + 1 - frame.height()));
  return {x, y};
}

void PullOntoScreen(QWidget& window) {
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens()) areas.append(screen->availableGeometry());
  const QRect frame = window.frameGeometry();
  const QPoint place = PositionOnScreens(frame, areas);
  if (place != frame.topLeft()) window.move(place);
}

void CentreOverWhollyOnScreen(QWidget& window, const QWidget* over) {
  QSize frame = window.frameGeometry().size();
  // A window never shown has no frame yet: it will get the same as its owner's.
  if (frame == window.size() && over != nullptr) frame += over->frameGeometry().size() - over->size();
  const QPoint centred = CentredOverPosition(window, over);
  QScreen* screen = QGuiApplication::screenAt(QRect(centred, frame).center());
  if (screen == nullptr) screen = over != nullptr ? over->screen() : window.screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize fitted = frame.boundedTo(area.size());
  if (fitted != frame) window.resize(window.size() - (frame - fitted));
  // Centred over the same point, then pushed inside the area.
  const QPoint place = centred + QPoint((frame.width() - fitted.width()) / 2, (frame.height() - fitted.height()) / 2);
  window.move(std::clamp(place.x(), area.left(), area.right() + 1 - fitted.width()),
              std::clamp(place.y(), area.top(), area.bottom() + 1 - fitted.height()));
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
