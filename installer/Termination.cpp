#include "installer/Termination.h"

#include <QApplication>

namespace installer {

namespace {
bool terminated = false;
bool looping = false;
}  // namespace

int RunMessageLoop() {
  if (terminated) return 0;
  looping = true;
  const int code = QApplication::exec();
  looping = false;
  return code;
}

void Terminate() {
  terminated = true;
  // Only a running loop is told to stop: outside one (tests drive the pages directly) a
  // stop request would make the next modal loop return at once.
  if (looping) QCoreApplication::exit(0);
}

bool Terminated() { return terminated; }

void ResetTermination() { terminated = false; }

}  // namespace installer
