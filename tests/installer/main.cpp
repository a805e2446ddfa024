#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/qt/ErrorReport.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  vandrel::Application app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
