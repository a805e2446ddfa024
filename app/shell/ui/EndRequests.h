#pragma once
// The session's requests to end the program (SIGTERM at a logout or shutdown, SIGINT,
// SIGHUP) close it as its main window's close box does: the close handler writes what it
// writes and the program ends with status 0. The request is taken in the event loop, never
// in the signal handler. Dialogs that are up are answered as by the Escape key first (a
// question gets its cancelling answer, so nothing is saved or overwritten unasked); one
// that stays after it is put away. Requests that come while the program closes are let be.
#include <QObject>

class QSocketNotifier;

namespace vandrel {

class EndRequests : public QObject {
 public:
  // Watches the requests from now on; made before the main window, so that a dialog shown
  // while the window is built is answered too.
  explicit EndRequests(QObject* parent = nullptr);

 private:
  void Take();
  // One step of the closing: the topmost modal dialog answered, or the main window closed
  // once no dialog is left.
  void Step();

  QSocketNotifier* notifier_ = nullptr;
  bool closing_ = false;
  QObject* escaped_ = nullptr;  // the dialog last sent the Escape key (compared, not used)
  int steps_ = 0;
};

}  // namespace vandrel
