#include "platform/qt/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace vandrel {

BusyCursor::BusyCursor() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  set_ = true;
}

BusyCursor::~BusyCursor() {
  if (set_) QGuiApplication::restoreOverrideCursor();
}

}  // namespace vandrel
