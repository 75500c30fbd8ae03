// Where a window the program adds goes beside the window it was opened from.
#include <gtest/gtest.h>

#include <QRect>
#include <QSize>

#include "gui/WindowPlacement.h"

namespace kistora {
namespace {

TEST(WindowPlacement, BesideItsCallerWhenTheScreenHasRoomElseCoveringItTheLeast) {
  const QRect screen(0, 0, 1920, 1040);
  struct Case {
    const char* what;
    QRect caller;
    QSize frame;
    QRect expected;
  };
  const Case cases[] = {
      {"room on the right", {100, 200, 700, 570}, {900, 640}, {800, 200, 900, 640}},
      {"only on the left", {1000, 100, 700, 570}, {900, 640}, {100, 100, 900, 640}},
      {"neither side, more room right", {600, 200, 700, 570}, {900, 640}, {1020, 200, 900, 640}},
      {"neither side, more room left", {700, 200, 700, 570}, {900, 640}, {0, 200, 900, 640}},
      {"caller low on the screen: moved up", {100, 800, 700, 200}, {900, 640}, {800, 400, 900, 640}},
      {"larger than the screen: made smaller", {100, 100, 300, 300}, {2500, 1200}, {0, 0, 1920, 1040}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QRect placed = BesideRect(c.caller, c.frame, screen);
    EXPECT_EQ(placed, c.expected);
    EXPECT_TRUE(screen.contains(placed));
  }
  // A screen that does not start at 0 (a second monitor).
  EXPECT_EQ(BesideRect({2000, 50, 600, 400}, {300, 300}, {1920, 0, 1280, 1024}), QRect(2600, 50, 300, 300));
}

}  // namespace
}  // namespace kistora
