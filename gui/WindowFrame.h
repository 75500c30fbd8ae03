// The outer bounds of a top-level window: its frame included (the title bar and
// borders a window manager draws), which is what the options file keeps and
// what the designed sizes give. On X11 the frame is known only once the window
// manager has taken the window, after it was first shown: until then its size
// is estimated from the frames already seen, and once the frame is known the
// window is given the outer bounds asked for, then kept wholly on its screen.
#pragma once

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>

class QWidget;

namespace kistora {

// The frame's bounds; for a frame not known yet, the bounds asked for (or the
// window's own ones plus the estimated frame).
QRect OuterBounds(const QWidget& window);
// Puts the frame's top-left corner at topLeft.
void MoveOuter(QWidget& window, QPoint topLeft);
// Gives the frame this width and height; a negative one leaves that side of the
// window itself (the client area) as it is. A window of fixed size stays fixed.
void ResizeOuter(QWidget& window, int width, int height);
// The frame's borders around the window: the real ones once known, else those
// of the last frame seen on any window (none before the first).
QMargins FrameMargins(const QWidget& window);
// True once the window manager's frame around window is known.
bool FrameKnown(const QWidget& window);
// Where a frame goes so that all of it is seen, title bar included: where it is
// when the screen areas together show all of it, else moved the least into the
// area it overlaps most (the nearest when it overlaps none). A frame larger
// than that area keeps its top-left corner, and so its title bar, in it.
QPoint PositionOnScreens(const QRect& frame, const QList<QRect>& areas);
// Moves window's frame by PositionOnScreens over the screens' available areas
// (a stored position partly off the screen, a dialog widened past its edge).
void KeepOnScreen(QWidget& window);
// Follows window from now on (MoveOuter and ResizeOuter do it themselves): its
// outer bounds are finished and it is kept on its screen once its frame is
// known, and kept on its screen at every later show.
void FollowFrame(QWidget& window);

}  // namespace kistora
