#include "app/imaging/ui/Line.h"

#include <QPainter>

TLine::TLine(QWidget* owner)
    : QWidget(owner), pen_(Qt::black, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin) {
  resize(2, 20);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TLine::SetPen(const QPen& pen) {
  pen_ = pen;
  update();
}

void TLine::SetDirection(vandrel::TLineDirection direction) {
  direction_ = direction;
  update();
}

void TLine::paintEvent(QPaintEvent*) {
  const vandrel::LineSegment s = vandrel::LineEnds(direction_, width(), height());
  QPainter p(this);
  p.setPen(pen_);
  p.drawLine(s.from.x, s.from.y, s.to.x, s.to.y);
}
