// Placement and fitting of the windows: the main window centred on its screen,
// the other windows centred over the window they belong to, and captions drawn
// smaller rather than cut when the desktop font is wider than the design.
// Positions and sizes are those of the windows' frames, which are kept wholly
// on the screen (gui/WindowFrame.h).
#pragma once

#include <QPoint>
#include <functional>

class QFont;
class QWidget;
class QShowEvent;

namespace kistora {

void CentreOnScreen(QWidget& window);
// Moves window (by its frame) so that its centre is over the centre of over's frame;
// nothing when over is null.
void CentreOver(QWidget& window, const QWidget* over);
// Where CentreOver would put window's frame (its current place when over is null).
QPoint CentredOverPosition(const QWidget& window, const QWidget* over);
// Puts window's frame centred over over's (over its current place when over
// is null), then wholly inside the available area of the screen under that
// place: moved the least, and made smaller first when it is larger than the area.
void CentreOverWhollyOnScreen(QWidget& window, const QWidget* over);
// Call from a dialog's showEvent after QDialog::showEvent: from then on the
// dialog keeps its position (the user's last one) instead of re-centring.
void KeepPositionAfterFirstShow(QWidget& dialog, const QShowEvent& event);
// Gives widget its font made smaller by half points (down to 6 points, or 6
// pixels) until fits(font) holds.
void ShrinkFontToFit(QWidget& widget, const std::function<bool(const QFont&)>& fits);

}  // namespace kistora
