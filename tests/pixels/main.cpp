#include <gtest/gtest.h>

#include "platform/qt/ErrorReport.h"
#include "tests/placement/WindowManagerSync.h"

// The window-system platform is the one the runner sets (xcb under a window manager,
// offscreen otherwise).
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  vandrel::Application app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  vandrel::testing::EndWindowManagerSync();
  return status;
}
