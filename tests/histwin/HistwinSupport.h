#pragma once
// Helpers of the histogram window tests: mouse events for the controls and histogram files.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QMouseEvent>
#include <QString>
#include <QWidget>
#include <cmath>
#include <memory>
#include <ostream>
#include <vector>

#include "app/histograms/model/GreyLevels.h"
#include "app/histograms/model/HistogramFiles.h"
#include "platform/qt/Dialogs.h"
#include "tests/support/RecordingDialogs.h"

// Texts in failure messages, as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace vandrel::testing {

// Sends a mouse event to `w` at `p` (widget coordinates).
inline void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button,
                  Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}
inline void Press(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
  Mouse(w, QEvent::MouseButtonPress, p, b, b);
}
inline void Move(QWidget* w, QPoint p, Qt::MouseButtons held = Qt::LeftButton) {
  Mouse(w, QEvent::MouseMove, p, Qt::NoButton, held);
}
inline void Release(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
  Mouse(w, QEvent::MouseButtonRelease, p, b, Qt::NoButton);
}
inline void Click(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
  Press(w, p, b);
  Release(w, p, b);
}

// A histogram with `peak` at one level and the rest spread evenly: curves that differ
// from one another by where their top is.
inline GreyHistogram Pico(int level, double peak = 0.5) {
  GreyHistogram h;
  h.fill((1.0 - peak) / 255.0);
  h[size_t(level)] = peak;
  return h;
}

// Values read back from a text file carry 15 significant digits.
inline ::testing::AssertionResult Proximos(const GreyHistogram& got, const GreyHistogram& want) {
  for (int g = 0; g < 256; ++g)
    if (std::abs(got[g] - want[g]) > 1e-15)
      return ::testing::AssertionFailure()
             << "level " << g << ": " << got[g] << " instead of " << want[g];
  return ::testing::AssertionSuccess();
}

inline void WriteFile(const QString& path, const QByteArray& data) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  f.write(data);
}
inline QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace vandrel::testing
