// main() of the window tests: offscreen platform, one QApplication for the
// whole run, a watchdog against unanswered modal dialogs, then GoogleTest.
#include <gtest/gtest.h>

#include <QApplication>

#include "GuiTestSupport.h"

int main(int argc, char** argv) {
  kistora::testing::UseOffscreenPlatform();
  QApplication app(argc, argv);
  kistora::testing::InstallModalWatchdog(10000);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
