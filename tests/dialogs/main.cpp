#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>

// The standard dialogs are Qt's own widgets: they need a widget application (offscreen).
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
