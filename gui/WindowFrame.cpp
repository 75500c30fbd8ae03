#include "gui/WindowFrame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdint>
#include <optional>

namespace kistora {

namespace {

constexpr const char* kFollowerName = "kistora-frame-follower";

// The borders of the last frame a window manager drew around one of the
// windows: the best guess for a window it has not framed yet.
QMargins lastMarginsSeen;

QMargins RealMargins(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  const QRect inner = window.geometry();
  return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
          frame.bottom() - inner.bottom()};
}

// Gives window this client size; a window of fixed size stays fixed.
void ResizeClient(QWidget& window, QSize size) {
  if (window.minimumSize() == window.maximumSize()) {
    window.setFixedSize(size);
  } else {
    window.resize(size);
  }
}

// What was asked of a window whose frame is not known yet, finished once it is.
class FrameFollower final : public QObject {
 public:
  explicit FrameFollower(QWidget& window) : QObject(&window), window_(window) {
    setObjectName(QLatin1String(kFollowerName));
    window.installEventFilter(this);
    WatchWindowHandle();
  }

  bool Known = false;
  std::optional<QPoint> Position;
  int Width = -1;  // outer sides asked for, -1 when none
  int Height = -1;

  void ApplySize(const QMargins& margins) {
    const int width = Width >= 0 ? Width - margins.left() - margins.right() : window_.width();
    const int height = Height >= 0 ? Height - margins.top() - margins.bottom() : window_.height();
    ResizeClient(window_, QSize(std::max(width, 1), std::max(height, 1)));
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::Show && !static_cast<QShowEvent*>(event)->spontaneous()) {
      WatchWindowHandle();
      if (Known) {
        // Shown again: where it was left, but wholly on its screen.
        KeepOnScreen(window_);
      } else if (FrameKnown(window_)) {
        FrameNowKnown();  // a platform that knows the frame as soon as the window is made
      }
    } else if (watched == handle_ && event->type() == QEvent::Expose && handle_->isExposed() && !Known) {
      FrameNowKnown();
    }
    return false;
  }

 private:
  void WatchWindowHandle() {
    QWindow* handle = window_.windowHandle();
    if (handle == nullptr || handle == handle_) return;
    handle->installEventFilter(this);
    handle_ = handle;
  }

  // The window manager has framed the window: the bounds asked for are given
  // again with the real frame, and the whole frame is brought onto the screen.
  void FrameNowKnown() {
    Known = true;
    const QMargins margins = RealMargins(window_);
    if (!margins.isNull()) lastMarginsSeen = margins;
    if (Width >= 0 || Height >= 0) ApplySize(margins);
    if (Position && window_.frameGeometry().topLeft() != *Position) window_.move(*Position);
    Width = Height = -1;
    Position.reset();
    KeepOnScreen(window_);
  }

  QWidget& window_;
  QPointer<QWindow> handle_;
};

FrameFollower* FindFollower(const QWidget& window) {
  return static_cast<FrameFollower*>(
      window.findChild<QObject*>(QLatin1String(kFollowerName), Qt::FindDirectChildrenOnly));
}

FrameFollower& Follower(QWidget& window) {
  FrameFollower* follower = FindFollower(window);
  return follower != nullptr ? *follower : *new FrameFollower(window);
}

}  // namespace

bool FrameKnown(const QWidget& window) {
  if (const FrameFollower* follower = FindFollower(window); follower != nullptr && follower->Known) return true;
  // Qt learns the frame when the window manager takes the window (at once on
  // platforms without one).
  return window.testAttribute(Qt::WA_WState_Created) && window.frameGeometry() != window.geometry();
}

QMargins FrameMargins(const QWidget& window) { return FrameKnown(window) ? RealMargins(window) : lastMarginsSeen; }

QRect OuterBounds(const QWidget& window) {
  if (FrameKnown(window)) return window.frameGeometry();
  const FrameFollower* follower = FindFollower(window);
  const QMargins margins = lastMarginsSeen;
  QPoint topLeft = window.frameGeometry().topLeft();
  QSize size = window.size().grownBy(margins);
  if (follower != nullptr) {
    if (follower->Position) topLeft = *follower->Position;
    if (follower->Width >= 0) size.setWidth(follower->Width);
    if (follower->Height >= 0) size.setHeight(follower->Height);
  }
  return {topLeft, size};
}

void MoveOuter(QWidget& window, QPoint topLeft) {
  FrameFollower& follower = Follower(window);
  if (FrameKnown(window)) {
    window.move(topLeft);  // Qt places the frame itself
    follower.Position.reset();
    return;
  }
  follower.Position = topLeft;
  if (!window.testAttribute(Qt::WA_WState_Created)) {
    // Not made yet: the window system is asked to put the frame there.
    window.move(topLeft);
  } else {
    // Made but not framed yet: the window itself goes inside the frame expected.
    window.move(topLeft + QPoint(lastMarginsSeen.left(), lastMarginsSeen.top()));
  }
}

void ResizeOuter(QWidget& window, int width, int height) {
  FrameFollower& follower = Follower(window);
  const bool known = FrameKnown(window);
  follower.Width = width;
  follower.Height = height;
  follower.ApplySize(known ? RealMargins(window) : lastMarginsSeen);
  if (known) follower.Width = follower.Height = -1;
}

void FollowFrame(QWidget& window) { Follower(window); }

QPoint PositionOnScreens(const QRect& frame, const QList<QRect>& areas) {
  QRegion seen;
  for (const QRect& area : areas) seen += area;
  if (areas.isEmpty() || QRegion(frame).subtracted(seen).isEmpty()) return frame.topLeft();
  // The area it overlaps most; among areas it does not overlap, the nearest.
  const QRect* best = nullptr;
  std::int64_t bestOverlap = -1;
  std::int64_t bestDistance = 0;
  for (const QRect& area : areas) {
    const QRect common = area.intersected(frame);
    const std::int64_t overlap = common.isEmpty() ? 0 : std::int64_t{common.width()} * common.height();
    // Squared distance between the frame and the area (0 on an axis where they overlap).
    const std::int64_t dx = std::max({0, area.left() - frame.right(), frame.left() - area.right()});
    const std::int64_t dy = std::max({0, area.top() - frame.bottom(), frame.top() - area.bottom()});
    const std::int64_t distance = dx * dx + dy * dy;
    if (!best || overlap > bestOverlap || (overlap == bestOverlap && distance < bestDistance)) {
      best = &area;
      bestOverlap = overlap;
      bestDistance = distance;
    }
  }
  // Inside the area as far as it fits; a frame larger than the area keeps its top-left corner in.
  const int x = std::max(best->left(), std::min(frame.left(), best->right() + 1 - frame.width()));
  const int y = std::max(best->top(), std::min(frame.top(), best->bottom() + 1 - frame.height()));
  return {x, y};
}

void KeepOnScreen(QWidget& window) {
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens()) areas.append(screen->availableGeometry());
  const QRect frame = OuterBounds(window);
  const QPoint place = PositionOnScreens(frame, areas);
  if (place != frame.topLeft()) MoveOuter(window, place);
}

}  // namespace kistora
