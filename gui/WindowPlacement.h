// Placement and fitting of the windows: the main window centred on its screen,
// the base program's other windows centred over the window they belong to, the
// windows added beside it (statistics, history, restore), and captions drawn
// smaller rather than cut when the desktop font is wider than the design.
// Positions and sizes are those of the windows' frames, which are kept wholly
// on the screen (gui/WindowFrame.h).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
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
// Where a frame of size frame goes beside the frame caller, inside area: right
// of it when it fits there, else left of it; when neither side has room,
// against the side of area that has more, covering as little of the caller as
// it can (its list stays in sight). Its top is the caller's, moved down or up
// as little as keeps it inside area; a frame larger than area is made smaller.
QRect BesideRect(const QRect& caller, const QSize& frame, const QRect& area);
// Moves (and if need be shrinks) window's frame to BesideRect of over's frame,
// on the available area of over's screen; centred over its own screen when over is null.
void PlaceBeside(QWidget& window, const QWidget* over);
// Call from a dialog's showEvent after QDialog::showEvent: from then on the
// dialog keeps its position (the user's last one) instead of re-centring.
void KeepPositionAfterFirstShow(QWidget& dialog, const QShowEvent& event);
// Gives widget its font made smaller by half points (down to 6 points, or 6
// pixels) until fits(font) holds.
void ShrinkFontToFit(QWidget& widget, const std::function<bool(const QFont&)>& fits);

}  // namespace kistora
