#include "app/shell/ui/EndRequests.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QWidget>

#include "app/shell/ui/UnitPrincipal.h"
#include "platform/TerminationSignals.h"

namespace vandrel {

namespace {

// Dialogs answered before the closing stops waiting for them: enough for every question
// a closing command may ask in turn.
constexpr int kMostSteps = 100;

}  // namespace

EndRequests::EndRequests(QObject* parent) : QObject(parent) {
  const int fd = WatchTerminationSignals();
  if (fd < 0) return;
  notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &EndRequests::Take);
}

void EndRequests::Take() {
  if (TakeTerminationSignal(int(notifier_->socket())) == 0 || closing_) return;
  closing_ = true;
  Step();
}

void EndRequests::Step() {
  if (FormPrincipal == nullptr) return;  // gone already: the program is ending
  auto again = [this] {
    QMetaObject::invokeMethod(this, &EndRequests::Step, Qt::QueuedConnection);
  };
  if (QWidget* modal = QApplication::activeModalWidget(); modal && ++steps_ <= kMostSteps) {
    // Escape first, as a user would answer; a dialog still up after it is hidden, which
    // ends its loop like a cancel. The next step runs once that loop has returned.
    if (modal != escaped_) {
      escaped_ = modal;
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
      QCoreApplication::sendEvent(modal, &press);
      QCoreApplication::sendEvent(modal, &release);
    } else {
      modal->hide();
    }
    again();
    return;
  }
  // The main window is being built or about to be shown: it is closed once it is up.
  if (!FormPrincipal->isVisible() && steps_ <= kMostSteps) {
    ++steps_;
    again();
    return;
  }
  FormPrincipal->close();
  // A dialog that would not go away still holds a loop of its own: every loop ends now.
  if (steps_ > kMostSteps) QCoreApplication::exit(0);
}

}  // namespace vandrel
