#pragma once
// The curve control: draws a 256-entry transfer curve, input level along x and output
// level upwards, over whatever lies beneath it (it paints no background). Its own
// visibility flag hides the curve while the control keeps receiving the mouse.
#include <QPen>
#include <QWidget>

#include "app/imaging/model/TransferCurve.h"

class TGrafico : public QWidget {
  Q_OBJECT
 public:
  // 256 x 256, the identity curve, a black pen of width 1.
  explicit TGrafico(QWidget* owner = nullptr);

  const QPen& Pen() const { return pen_; }
  void SetPen(const QPen& pen);  // repaints

  const vandrel::TransferCurve& Curva() const { return curva_; }
  // Copies `curva` into the control and repaints.
  void DefinirCurva(const vandrel::TransferCurve& curva);

  // The control's own flag, not the widget's visibility: while false the curve is not
  // painted, and the mouse still reaches the control. Setting it repaints.
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

 signals:
  void OnClick();
  // `buttons` are the buttons held after the event, `shift` the keyboard modifiers.
  void OnMouseDown(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift,
                   int x, int y);
  void OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
  void OnMouseUp(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift,
                 int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QPen pen_;
  vandrel::TransferCurve curva_;
  bool visible_ = true;
  bool pressed_ = false;  // a left press inside, for the click
};
