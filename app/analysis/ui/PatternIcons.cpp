#include "app/analysis/ui/PatternIcons.h"

#include <QPainter>
#include <QPixmap>

#include "app/frame/ui/ToolIcons.h"

QIcon PatternIcon(const QString& name) {
  if (name == "abrir" || name == "salvar") return ToolIcon(name);
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor tinta(20, 40, 120);
  if (name == "novo") {
    // A blank sheet with its corner turned down.
    p.setPen(QPen(QColor(70, 70, 70), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(5, 2.5), QPointF(15, 2.5), QPointF(19.5, 7),
                             QPointF(19.5, 21.5), QPointF(5, 21.5)}));
    p.setBrush(QColor(210, 210, 210));
    p.drawPolygon(QPolygonF({QPointF(15, 2.5), QPointF(15, 7), QPointF(19.5, 7)}));
  } else if (name == "salvarcomo") {
    // The save glyph with a pen across it.
    p.drawPixmap(0, 0, ToolIcon("salvar").pixmap(24, 24));
    p.setPen(QPen(QColor(120, 60, 10), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 21), QPointF(22, 11));
    p.setPen(QPen(QColor(240, 200, 90), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12.5, 20.5), QPointF(21.5, 11.5));
  } else if (name == "ajuda") {
    p.setPen(QPen(tinta, 1));
    p.setBrush(QColor(255, 250, 200));
    p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
    QFont f = p.font();
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(2.5, 2.5, 19, 19), Qt::AlignCenter, "?");
  }
  return QIcon(pm);
}
