// The curve and line controls painted off screen: the curve over what lies beneath it, its
// own visibility flag, the four line directions, and the mouse passing through a line.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <memory>

#include "app/imaging/ui/Grafico.h"
#include "app/imaging/ui/Line.h"

namespace {

// The widget painted over a white image, without a background of its own.
QImage Render(QWidget& w) {
  QImage image(w.size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

bool IsRed(const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(255, 0, 0); }

int CountRed(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += IsRed(image, x, y);
  return n;
}

TEST(CurveControl, ANewControlShowsTheIdentityAsTheRisingDiagonal) {
  TGrafico g;
  EXPECT_EQ(g.size(), QSize(256, 256));
  EXPECT_EQ(g.Curva(), vandrel::IdentityCurve());
  EXPECT_TRUE(g.Visible());
  g.SetPen(QPen(Qt::red, 1));
  const QImage image = Render(g);
  for (int i = 0; i < 256; ++i) EXPECT_TRUE(IsRed(image, i, 255 - i)) << i;
  EXPECT_FALSE(IsRed(image, 0, 0));
  EXPECT_FALSE(IsRed(image, 255, 255));
  // Nothing but the line: the white beneath shows everywhere else.
  EXPECT_LE(CountRed(image), 2 * 256);
  EXPECT_EQ(image.pixel(200, 200), qRgb(255, 255, 255));
}

TEST(CurveControl, DrawsTheCurveItIsGivenWithItsPen) {
  TGrafico g;
  vandrel::TransferCurve c{};
  for (int i = 0; i < 256; ++i) c[size_t(i)] = i < 128 ? 0 : 200;
  g.DefinirCurva(c);
  EXPECT_EQ(g.Curva(), c);
  g.SetPen(QPen(Qt::blue, 1));
  const QImage image = Render(g);
  EXPECT_EQ(image.pixel(50, 255), qRgb(0, 0, 255));  // output 0 on the bottom row
  EXPECT_EQ(image.pixel(200, 55), qRgb(0, 0, 255));  // output 200
  EXPECT_EQ(image.pixel(200, 54), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(50, 128), qRgb(255, 255, 255));
}

TEST(CurveControl, HiddenItPaintsNothingAndStillReceivesTheMouse) {
  TGrafico g;
  g.SetPen(QPen(Qt::red, 2));
  g.SetVisible(false);
  EXPECT_FALSE(g.Visible());
  EXPECT_EQ(CountRed(Render(g)), 0);

  int downs = 0, moves = 0, ups = 0, clicks = 0;
  QPoint last;
  Qt::MouseButtons held;
  QObject::connect(&g, &TGrafico::OnMouseDown,
                   [&](Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                     ++downs;
                     last = {x, y};
                   });
  QObject::connect(&g, &TGrafico::OnMouseMove,
                   [&](Qt::MouseButtons b, Qt::KeyboardModifiers, int x, int y) {
                     ++moves;
                     held = b;
                     last = {x, y};
                   });
  QObject::connect(
      &g, &TGrafico::OnMouseUp,
      [&](Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) { ++ups; });
  QObject::connect(&g, &TGrafico::OnClick, [&] { ++clicks; });
  auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(p), g.mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&g, &e);
  };
  send(QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(last, QPoint(10, 20));
  send(QEvent::MouseMove, {30, 40}, Qt::NoButton, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(held, Qt::LeftButton | Qt::RightButton);
  send(QEvent::MouseButtonRelease, {30, 40}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(clicks, 1);
  // A release outside the control is no click.
  send(QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, {300, 20}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(clicks, 1);

  g.SetVisible(true);
  EXPECT_GT(CountRed(Render(g)), 256);
}

TEST(CurveControl, PaintsOverTheControlBeneathIt) {
  // What the contrast window relies on: the curve drawn over its histogram.
  QWidget parent;
  parent.resize(300, 300);
  auto* below = new QWidget(&parent);
  below->setGeometry(0, 0, 300, 300);
  below->setAutoFillBackground(true);
  QPalette pal = below->palette();
  pal.setColor(QPalette::Window, Qt::black);
  below->setPalette(pal);
  auto* g = new TGrafico(&parent);
  g->move(12, 1);
  g->SetPen(QPen(Qt::red, 1));
  const QImage image = Render(parent);
  EXPECT_TRUE(IsRed(image, 12 + 100, 1 + 255 - 100));
  EXPECT_EQ(image.pixel(12 + 200, 1 + 200), qRgb(0, 0, 0));
}

TEST(LineControl, StartsVerticalTwoByTwenty) {
  TLine line;
  EXPECT_EQ(line.size(), QSize(2, 20));
  EXPECT_EQ(line.Direction(), vandrel::ldVertical);
}

TEST(LineControl, DrawsOneLinePerDirection) {
  struct Case {
    vandrel::TLineDirection direction;
    std::vector<QPoint> on, off;
  };
  const Case cases[] = {
      {vandrel::ldHorizontal, {{0, 0}, {10, 0}, {18, 0}}, {{10, 1}, {10, 9}}},
      {vandrel::ldVertical, {{0, 0}, {0, 5}, {0, 8}}, {{1, 5}, {10, 5}}},
      {vandrel::ldDiagonalTop, {{0, 0}, {10, 5}, {18, 9}}, {{0, 10}, {20, 0}}},
      {vandrel::ldDiagonalBottom, {{0, 10}, {10, 5}, {18, 1}}, {{0, 0}, {20, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.direction));
    TLine line;
    line.resize(21, 11);
    line.SetPen(QPen(Qt::red, 1));
    line.SetDirection(c.direction);
    EXPECT_EQ(line.Direction(), c.direction);
    const QImage image = Render(line);
    for (QPoint p : c.on) EXPECT_TRUE(IsRed(image, p.x(), p.y())) << p.x() << "," << p.y();
    for (QPoint p : c.off) EXPECT_FALSE(IsRed(image, p.x(), p.y())) << p.x() << "," << p.y();
  }
}

TEST(LineControl, AMarkerOfEightByTwoHundredSixtyDrawsDownItsLeftColumn) {
  TLine line;
  line.resize(8, 260);
  line.SetPen(QPen(Qt::red, 1));
  const QImage image = Render(line);
  for (int y = 0; y < 259; ++y) EXPECT_TRUE(IsRed(image, 0, y)) << y;
  int elsewhere = 0;
  for (int y = 0; y < 260; ++y)
    for (int x = 1; x < 8; ++x) elsewhere += IsRed(image, x, y);
  EXPECT_EQ(elsewhere, 0);
}

TEST(LineControl, TheMousePassesThroughToTheControlBeneath) {
  QWidget parent;
  parent.resize(300, 300);
  auto* g = new TGrafico(&parent);
  auto* line = new TLine(&parent);
  line->setGeometry(20, 0, 8, 260);
  EXPECT_EQ(parent.childAt(20, 100), g);
  EXPECT_EQ(parent.childAt(20, 280), nullptr);
}

}  // namespace
