#pragma once
// The line control: one straight line across its box in one of four directions, over
// whatever lies beneath it (it paints no background). It is a mark only: the mouse passes
// through it to the control underneath.
#include <QPen>
#include <QWidget>

#include "app/imaging/model/Line.h"

class TLine : public QWidget {
  Q_OBJECT
 public:
  // Vertical, 2 x 20, a black pen of width 1.
  explicit TLine(QWidget* owner = nullptr);

  const QPen& Pen() const { return pen_; }
  void SetPen(const QPen& pen);  // repaints
  vandrel::TLineDirection Direction() const { return direction_; }
  void SetDirection(vandrel::TLineDirection direction);  // repaints

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPen pen_;
  vandrel::TLineDirection direction_ = vandrel::ldVertical;
};
