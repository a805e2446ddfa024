#pragma once
// The default error report: an exception that a handler does not catch ends the handler
// and is shown in one message box with the error's own text; the program goes on.
#include <QApplication>
#include <functional>

class QAction;
class QAbstractButton;

namespace vandrel {

// Shows the text of the exception in flight (call from a catch block).
void ReportCurrentException();

// Runs `handler`, reporting whatever it throws. Returns false when it threw.
bool Guarded(const std::function<void()>& handler);

// Connects a handler to an action or a button, guarded.
void OnTriggered(QAction* action, std::function<void()> handler);
void OnClicked(QAbstractButton* button, std::function<void()> handler);

// The application object: every event Qt delivers passes through the report, and every
// window it shows through the placement rule.
class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vandrel
