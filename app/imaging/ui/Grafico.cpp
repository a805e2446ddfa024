#include "app/imaging/ui/Grafico.h"

#include <QMouseEvent>
#include <QPainter>
#include <array>

#include "app/imaging/model/Grafico.h"

TGrafico::TGrafico(QWidget* owner)
    : QWidget(owner),
      pen_(Qt::black, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin),
      curva_(vandrel::IdentityCurve()) {
  resize(256, 256);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TGrafico::SetPen(const QPen& pen) {
  pen_ = pen;
  update();
}

void TGrafico::DefinirCurva(const vandrel::TransferCurve& curva) {
  curva_ = curva;
  update();
}

void TGrafico::SetVisible(bool visible) {
  visible_ = visible;
  update();
}

void TGrafico::paintEvent(QPaintEvent*) {
  if (!visible_) return;
  const auto points = vandrel::CurvePolyline(curva_, height());
  std::array<QPoint, std::tuple_size_v<decltype(points)>> line;
  for (size_t i = 0; i < points.size(); ++i) line[i] = QPoint(points[i].x, points[i].y);
  QPainter p(this);
  p.setPen(pen_);
  p.drawPolyline(line.data(), int(line.size()));
}

void TGrafico::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton) pressed_ = true;
  emit OnMouseDown(event->button(), event->buttons(), event->modifiers(), at.x(), at.y());
}

void TGrafico::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit OnMouseMove(event->buttons(), event->modifiers(), at.x(), at.y());
}

void TGrafico::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const bool click = event->button() == Qt::LeftButton && pressed_ && rect().contains(at);
  if (event->button() == Qt::LeftButton) pressed_ = false;
  emit OnMouseUp(event->button(), event->buttons(), event->modifiers(), at.x(), at.y());
  if (click) emit OnClick();
}
