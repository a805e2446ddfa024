#include "app/frame/ui/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <cmath>

namespace {

void Bars(QPainter& p, const QColor& color, int x0, int w) {
  const int heights[] = {4, 9, 15, 11, 6, 13, 8};
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  for (int i = 0; i < 7; ++i) p.drawRect(x0 + i * w, 21 - heights[i], w - 1, heights[i]);
}

void Arrow(QPainter& p, bool left) {
  QPainterPath path;
  path.moveTo(left ? 19 : 5, 17);
  path.cubicTo(left ? 19 : 5, 8, left ? 12 : 12, 6, left ? 7 : 17, 9);
  p.setPen(QPen(QColor(30, 90, 170), 2.5));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 90, 170));
  const QPointF tip = left ? QPointF(3, 9) : QPointF(21, 9);
  p.drawPolygon(QPolygonF({tip, QPointF(left ? 9 : 15, 4), QPointF(left ? 9 : 15, 14)}));
}

void Picture(QPainter& p) {
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(3, 4, 18, 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(80, 80, 80));
  p.drawEllipse(QPointF(9, 11), 3, 3);
  p.setBrush(QColor(140, 140, 140));
  p.drawEllipse(QPointF(15, 15), 4, 3);
}

}  // namespace

QIcon ToolIcon(const QString& name) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor navy(20, 40, 120), red(200, 40, 40);
  if (name == "abrir") {
    p.setPen(QPen(QColor(120, 90, 20), 1));
    p.setBrush(QColor(240, 200, 90));
    p.drawPolygon(QPolygonF({QPointF(2, 7), QPointF(9, 7), QPointF(11, 9), QPointF(21, 9),
                             QPointF(21, 20), QPointF(2, 20)}));
    p.setBrush(QColor(250, 225, 130));
    p.drawPolygon(QPolygonF({QPointF(5, 12), QPointF(23, 12), QPointF(20, 20), QPointF(2, 20)}));
  } else if (name == "salvar") {
    p.setPen(QPen(navy, 1));
    p.setBrush(QColor(60, 90, 170));
    p.drawRoundedRect(3, 3, 18, 18, 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(7, 3, 10, 7);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(6, 14, 12, 7);
  } else if (name == "desfazer" || name == "refazer") {
    Arrow(p, name == "desfazer");
  } else if (name == "adicionar") {
    Picture(p);
    p.setPen(QPen(red, 1.5, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(6, 7, 10, 9);
    p.setPen(QPen(QColor(0, 140, 0), 2.5));
    p.drawLine(18, 14, 18, 22);
    p.drawLine(14, 18, 22, 18);
  } else if (name == "lista") {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    for (int i = 0; i < 4; ++i) {
      p.setBrush(QColor(170 - i * 25, 170 - i * 25, 170 - i * 25));
      p.drawRect(3, 3 + i * 5, 5, 4);
      p.drawLine(10, 5 + i * 5, 21, 5 + i * 5);
    }
  } else if (name == "fase" || name == "histograma" || name == "histoimagem") {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(name == "fase" ? QColor(170, 210, 240) : Qt::white);
    p.drawRect(1, 2, 22, 20);
    Bars(p, name == "fase" ? navy : QColor(90, 90, 90), 3, 3);
    if (name == "histoimagem") {
      p.setPen(QPen(red, 1.5));
      p.setBrush(Qt::NoBrush);
      p.drawPolyline(QPolygonF({QPointF(3, 18), QPointF(9, 8), QPointF(14, 12), QPointF(21, 5)}));
    }
  } else if (name == "limiares") {
    const QColor phases[] = {QColor(30, 30, 30), QColor(60, 120, 220), QColor(240, 200, 40)};
    for (int i = 0; i < 3; ++i) {
      p.setPen(Qt::NoPen);
      p.setBrush(phases[i]);
      p.drawRect(2 + i * 7, 3, 7, 18);
    }
    p.setPen(QPen(red, 1.5));
    p.drawLine(9, 1, 9, 23);
    p.drawLine(16, 1, 16, 23);
  } else if (name == "contraste") {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(12, 12), 9, 9);
    QPainterPath half;
    half.moveTo(12, 3);
    half.arcTo(3, 3, 18, 18, 90, 180);
    half.closeSubpath();
    p.setBrush(Qt::black);
    p.drawPath(half);
  } else if (name == "similares") {
    Picture(p);
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(QColor(240, 60, 200));
    p.drawEllipse(QPointF(9, 11), 3, 3);
    p.drawEllipse(QPointF(17, 8), 2, 2);
  } else if (name == "brilho") {
    p.setPen(QPen(QColor(200, 140, 0), 2));
    for (int i = 0; i < 8; ++i) {
      const double a = i * M_PI / 4;
      p.drawLine(QPointF(12 + 6 * std::cos(a), 12 + 6 * std::sin(a)),
                 QPointF(12 + 10 * std::cos(a), 12 + 10 * std::sin(a)));
    }
    p.setBrush(QColor(250, 210, 40));
    p.drawEllipse(QPointF(12, 12), 4.5, 4.5);
  } else if (name == "media") {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) {
        const int g = (x == 1 && y == 1) ? 90 : 200;
        p.setBrush(QColor(g, g, g));
        p.drawRect(3 + x * 6, 3 + y * 6, 6, 6);
      }
  } else if (name == "cinza") {
    for (int i = 0; i < 6; ++i) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(i * 50, i * 50, i * 50));
      p.drawRect(2 + i * 3, 3, 3, 18);
    }
  } else if (name == "rgb") {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 40, 40, 200));
    p.drawEllipse(QPointF(9, 9), 6, 6);
    p.setBrush(QColor(40, 200, 40, 200));
    p.drawEllipse(QPointF(15, 9), 6, 6);
    p.setBrush(QColor(40, 80, 230, 200));
    p.drawEllipse(QPointF(12, 15), 6, 6);
  }
  p.end();
  return QIcon(pm);
}

QColor ProgramPictureGround() { return QColor(60, 60, 60); }

std::vector<ProgramGrain> ProgramPictureGrains() {
  const QColor phases[] = {QColor(200, 200, 200), QColor(40, 90, 200), QColor(220, 170, 40)};
  std::vector<ProgramGrain> grains;
  for (int i = 0; i < 18; ++i)
    grains.push_back({double((i * 37) % 90 + 3), double((i * 53) % 90 + 3), double(8 + (i * 7) % 9),
                      double(6 + (i * 5) % 8), phases[i % 3]});
  return grains;
}

void PaintProgramPicture(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  for (const ProgramGrain& g : ProgramPictureGrains()) {
    p.setBrush(g.color);
    p.drawEllipse(QPointF(g.x, g.y), g.rx, g.ry);
  }
}

QPixmap ProgramPicture(int size) {
  QPixmap pm(kProgramPictureSide, kProgramPictureSide);
  pm.fill(ProgramPictureGround());
  QPainter p(&pm);
  PaintProgramPicture(p);
  p.end();
  return size == kProgramPictureSide
             ? pm
             : pm.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
