#include "platform/qt/ErrorReport.h"

#include <QAbstractButton>
#include <QAction>
#include <exception>

#include "platform/qt/Dialogs.h"
#include "platform/qt/Placement.h"

namespace vandrel {

void ReportCurrentException() {
  QString text;
  try {
    throw;
  } catch (const std::exception& e) {
    text = QString::fromUtf8(e.what());
  } catch (...) {
    text = "Unknown error";
  }
  try {
    Dialogs().Message(MsgKind::Error, text, mbOK);
  } catch (...) {
    // A failing report must not take the program down with it.
  }
}

bool Guarded(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (...) {
    ReportCurrentException();
    return false;
  }
}

void OnTriggered(QAction* action, std::function<void()> handler) {
  QObject::connect(action, &QAction::triggered, action,
                   [h = std::move(handler)](bool) { Guarded(h); });
}

void OnClicked(QAbstractButton* button, std::function<void()> handler) {
  QObject::connect(button, &QAbstractButton::clicked, button,
                   [h = std::move(handler)](bool) { Guarded(h); });
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  // Every window the program shows goes where the placement rule puts it.
  InstallWindowPlacement(*this);
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ReportCurrentException();
    return false;
  }
}

}  // namespace vandrel
