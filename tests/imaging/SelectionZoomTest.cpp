// The selection stays on the same image pixels whatever the zoom does to the display, and a
// click of another button never moves it. Expected pixels come from the drag itself: the
// display point times image size over control size, truncated, worked out here.
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <memory>
#include <random>
#include <vector>

#include "tests/imaging/ImagingFixture.h"

namespace vandrel::testing {
namespace {

constexpr int kW = 97, kH = 61;  // odd sizes, so that every zoom rounds somewhere

// Image pixel under display coordinate d of an axis of n image pixels shown on c.
int Pixel(int d, int n, int c) { return std::clamp(int(int64_t(d) * n / c), 0, n - 1); }

struct Selected {
  Point start, end;
  bool operator==(const Selected&) const = default;
};

void PrintTo(const Selected& s, std::ostream* os) {
  *os << "(" << s.start.x << "," << s.start.y << ")-(" << s.end.x << "," << s.end.y << ")";
}

class SelectionZoom : public ImagingTest {
 protected:
  std::unique_ptr<TFormImagem> Window() {
    auto w = std::make_unique<TFormImagem>(nullptr);
    w->DefinirNome("z.bmp");
    w->DefinirBitmap(Gradient24(kW, kH));
    w->show();
    return w;
  }
  static void Steps(TFormImagem& w, int steps) {
    for (int i = 0; i < std::abs(steps); ++i)
      ASSERT_TRUE(w.AlterarZoom(steps > 0 ? kZoomStep : -kZoomStep));
  }
  static Selected Of(const TFormImagem& w) { return {w.InicioSelecao(), w.FimSelecao()}; }
  // The pixels a drag between two display points selects at the window's present size.
  static Selected Expected(const TFormImagem& w, QPoint a, QPoint b) {
    const int cw = w.Imagezoom->width(), ch = w.Imagezoom->height();
    return {{Pixel(std::min(a.x(), b.x()), kW, cw), Pixel(std::min(a.y(), b.y()), kH, ch)},
            {Pixel(std::max(a.x(), b.x()), kW, cw), Pixel(std::max(a.y(), b.y()), kH, ch)}};
  }
  // A right click as the user makes it: press and release on the image control; the
  // release opens the pop-up menu, which is closed again.
  static void RightClick(TFormImagem& w, QPoint at) {
    const QPointF global = w.Imagezoom->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.Imagezoom, &press);
    QCoreApplication::sendEvent(w.Imagezoom, &release);
    w.PopupMenu1->hide();
  }
};

struct ZoomCase {
  const char* name;
  int dragSteps;          // zoom steps before the drag (0 = 100 %)
  QPoint from, to;        // display points of the drag
  std::vector<int> then;  // zoom steps after it, one entry per command
};

void PrintTo(const ZoomCase& c, std::ostream* os) { *os << c.name; }

class SelectionZoomCases : public SelectionZoom, public ::testing::WithParamInterface<ZoomCase> {};

TEST_P(SelectionZoomCases, KeepTheImagePixelsThroughZoomsAndRightClicks) {
  const ZoomCase& c = GetParam();
  auto w = Window();
  Steps(*w, c.dragSteps);
  Drag(*w, c.from, c.to);
  const Selected expected = Expected(*w, c.from, c.to);
  ASSERT_EQ(Of(*w), expected);
  for (size_t i = 0; i < c.then.size(); ++i) {
    Steps(*w, c.then[i]);
    EXPECT_EQ(Of(*w), expected) << "after zoom command " << i << " at "
                                << w->Caption().toStdString();
    RightClick(*w, QPoint(w->Imagezoom->width() / 2, w->Imagezoom->height() / 2));
    EXPECT_EQ(Of(*w), expected) << "after a right click at " << w->Caption().toStdString();
  }
  w->ZoomNormal();
  EXPECT_EQ(Of(*w), expected) << "at normal size";
  RightClick(*w, QPoint(3, 3));
  EXPECT_EQ(Of(*w), expected) << "after a right click at normal size";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionZoomCases,
    ::testing::Values(ZoomCase{"ZoomInFrom100", 0, {1, 1}, {50, 50}, {1}},
                      ZoomCase{"UpAndDownFrom100", 0, {1, 1}, {50, 50}, {1, 1, -1, -1, -1, 3}},
                      ZoomCase{"SixBySixAt200", 5, {10, 10}, {21, 21}, {0, -1, 2, -5, 7}},
                      ZoomCase{"DownTo20AndBack", 0, {7, 3}, {90, 58}, {-4, 4, 25}},
                      ZoomCase{"DraggedAt60", -2, {4, 4}, {40, 30}, {1, 1, 1, 1, -4}},
                      ZoomCase{"OnePixelAt120", 1, {13, 9}, {13, 9}, {1, -1, -1, 6}},
                      ZoomCase{"LastPixelsAt340", 12, {300, 190}, {329, 206}, {-11, 13, -2}}),
    [](const auto& info) { return std::string(info.param.name); });

// Seeded random drags at random zooms, then random zoom commands each followed by a right
// click: the selected pixels never change.
TEST_F(SelectionZoom, RandomDragsAndZoomsKeepTheSelection) {
  std::mt19937 random(14);
  for (int run = 0; run < 40; ++run) {
    auto w = Window();
    int level = int(random() % 30) - 4;  // -4 (20 %) .. 25 (600 %)
    Steps(*w, level);
    const int cw = w->Imagezoom->width(), ch = w->Imagezoom->height();
    const QPoint a(int(random() % unsigned(cw)), int(random() % unsigned(ch)));
    const QPoint b(int(random() % unsigned(cw)), int(random() % unsigned(ch)));
    Drag(*w, a, b);
    const Selected expected = Expected(*w, a, b);
    ASSERT_EQ(Of(*w), expected) << "run " << run;
    for (int k = 0; k < 6; ++k) {
      const int target = int(random() % 30) - 4;
      Steps(*w, target - level);
      level = target;
      RightClick(*w, QPoint(0, 0));
      ASSERT_EQ(Of(*w), expected) << "run " << run << " at " << w->Caption().toStdString();
    }
  }
}

// At 100 % and above every image pixel has display pixels of its own, so the band drawn
// after a zoom lies on the selected pixels: its corners convert back to them.
TEST_F(SelectionZoom, BandAfterAZoomLiesOnTheSelectedPixels) {
  auto w = Window();
  Drag(*w, {1, 1}, {50, 50});
  for (int level = 1; level <= 25; ++level) {
    Steps(*w, 1);
    const BandGeometry b = w->Banda();
    const int cw = w->Imagezoom->width(), ch = w->Imagezoom->height();
    EXPECT_EQ(Pixel(b.left, kW, cw), 1) << level;
    EXPECT_EQ(Pixel(b.top, kH, ch), 1) << level;
    EXPECT_EQ(Pixel(b.left + b.width, kW, cw), 50) << level;
    EXPECT_EQ(Pixel(b.top + b.height, kH, ch), 50) << level;
  }
}

}  // namespace
}  // namespace vandrel::testing
