// The selection of an image window: the band of a drag, the size in the caption, the
// clipboard copy, the conversion to image pixels at 100 % and 200 %, marking, the pen read
// from the configuration, and the output window passing its mouse on to its source.
#include <QClipboard>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <memory>

#include "app/settings/model/URecursos.h"
#include "tests/imaging/ImagingFixture.h"

namespace vandrel::testing {
namespace {

class Selection : public ImagingTest {
 protected:
  // A named window showing a 24-bit gradient at `zoom` (reached by 0.2 steps).
  std::unique_ptr<TFormImagem> Window(int w, int h, int percent = 100) {
    auto win = std::make_unique<TFormImagem>(nullptr);
    win->DefinirNome("sel.bmp");
    win->DefinirBitmap(Gradient24(w, h));
    Zoom(*win, percent);
    win->show();
    return win;
  }
  static void Zoom(TFormImagem& win, int percent) {
    const int steps = (percent - 100) / 20;
    for (int i = 0; i < std::abs(steps); ++i)
      EXPECT_TRUE(win.AlterarZoom(steps > 0 ? kZoomStep : -kZoomStep));
  }
  static QImage Clipboard() { return QGuiApplication::clipboard()->image(); }
  static void ClearClipboard() {
    QImage marker(1, 1, QImage::Format_RGB32);
    marker.fill(qRgb(1, 2, 3));
    QGuiApplication::clipboard()->setImage(marker);
  }
  // The clipboard image holds the gradient's pixels from image pixel (x0, y0) on.
  static void ExpectGradient(const QImage& image, int x0, int y0, QSize size) {
    ASSERT_EQ(image.size(), size);
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x)
        ASSERT_EQ(image.pixel(x, y), qRgb(9, y0 + y, x0 + x)) << x << "," << y;
  }
};

struct DragCase {
  const char* name;
  int percent;
  QPoint from, to;
  Point start, end;  // image pixels
  const char* caption;
};

class SelectionDrag : public Selection, public ::testing::WithParamInterface<DragCase> {};

TEST_P(SelectionDrag, SelectsClampedInclusivePixelsAndCopiesThem) {
  const DragCase& c = GetParam();
  auto w = Window(40, 30, c.percent);
  const QString before = w->Caption();
  ClearClipboard();
  w->ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, c.from.x(), c.from.y());
  EXPECT_TRUE(w->Arrastando);
  w->ImagezoomMouseMove(Qt::NoModifier, c.to.x(), c.to.y());
  EXPECT_EQ(w->Caption(), c.caption);
  w->ImagezoomMouseUp(Qt::LeftButton, Qt::NoModifier, c.to.x(), c.to.y());
  EXPECT_FALSE(w->Arrastando);
  EXPECT_FALSE(w->CopiaSelecao);
  EXPECT_EQ(w->InicioSelecao(), c.start);
  EXPECT_EQ(w->FimSelecao(), c.end);
  EXPECT_TRUE(w->Shapezoom->isVisible());
  EXPECT_EQ(w->Caption(), c.caption);  // the release keeps the size text
  ExpectGradient(Clipboard(), c.start.x, c.start.y,
                 QSize(c.end.x - c.start.x + 1, c.end.y - c.start.y + 1));
  (void)before;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionDrag,
    ::testing::Values(
        DragCase{"At100", 100, {10, 5}, {30, 15}, {10, 5}, {30, 15}, "sel.bmp (21 x 11 = 231)"},
        DragCase{
            "At100Backwards", 100, {30, 15}, {10, 5}, {10, 5}, {30, 15}, "sel.bmp (21 x 11 = 231)"},
        DragCase{"At200", 200, {10, 10}, {21, 21}, {5, 5}, {10, 10}, "sel.bmp (6 x 6 = 36)"},
        DragCase{"At200ToLastColumn",
                 200,
                 {60, 40},
                 {79, 59},
                 {30, 20},
                 {39, 29},
                 "sel.bmp (10 x 10 = 100)"},
        DragCase{"At40", 40, {2, 2}, {15, 11}, {5, 5}, {37, 27}, "sel.bmp (33 x 23 = 759)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Selection, BandIsPlacedOverTheImageInDisplayCoordinates) {
  auto w = Window(40, 30, 200);
  Drag(*w, {21, 21}, {10, 10});
  EXPECT_EQ(w->Banda(), (BandGeometry{10, 10, 11, 11}));
  EXPECT_EQ(w->Shapezoom->geometry(),
            QRect(w->Imagezoom->x() + 10, w->Imagezoom->y() + 10, 11, 11));
  // The band moves with the image when the window centres it anew.
  w->resize(w->width() + 40, w->height() + 20);
  EXPECT_EQ(w->Shapezoom->pos(), w->Imagezoom->pos() + QPoint(10, 10));
}

TEST_F(Selection, ClickWithoutMoveSelectsOnePixelAndKeepsTheCaption) {
  auto w = Window(40, 30, 200);
  const QString caption = w->Caption();
  ClearClipboard();
  w->ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 13, 9);
  w->ImagezoomMouseUp(Qt::LeftButton, Qt::NoModifier, 13, 9);
  EXPECT_EQ(w->PontoInicial, (Point{13, 9}));
  EXPECT_EQ(w->PontoFinal, (Point{13, 9}));
  EXPECT_EQ(w->Banda(), (BandGeometry{13, 9, 0, 0}));
  EXPECT_EQ(w->InicioSelecao(), (Point{6, 4}));
  EXPECT_EQ(w->FimSelecao(), (Point{6, 4}));
  EXPECT_EQ(w->Caption(), caption);
  ExpectGradient(Clipboard(), 6, 4, QSize(1, 1));
}

TEST_F(Selection, NewWindowSelectsPixelZero) {
  auto w = Window(10, 10);
  EXPECT_EQ(w->InicioSelecao(), (Point{0, 0}));
  EXPECT_EQ(w->FimSelecao(), (Point{0, 0}));
  EXPECT_FALSE(w->Shapezoom->isVisible());
}

TEST_F(Selection, MovesOutsideTheImageAreIgnored) {
  auto w = Window(40, 30);
  w->ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 5, 5);
  w->ImagezoomMouseMove(Qt::NoModifier, 20, 12);
  for (QPoint p : {QPoint(40, 10), QPoint(10, 30), QPoint(-1, 10), QPoint(10, -1)})
    w->ImagezoomMouseMove(Qt::NoModifier, p.x(), p.y());
  EXPECT_EQ(w->Banda(), (BandGeometry{5, 5, 15, 7}));
  w->ImagezoomMouseUp(Qt::LeftButton, Qt::NoModifier, 60, 60);
  EXPECT_EQ(w->FimSelecao(), (Point{20, 12}));
}

TEST_F(Selection, MovesWithoutADragDoNothing) {
  auto w = Window(40, 30);
  const QString caption = w->Caption();
  w->ImagezoomMouseMove(Qt::NoModifier, 20, 12);
  EXPECT_EQ(w->Caption(), caption);
  EXPECT_FALSE(w->Shapezoom->isVisible());
  // Other buttons start no drag.
  w->ImagezoomMouseDown(Qt::RightButton, Qt::NoModifier, 3, 3);
  EXPECT_FALSE(w->Arrastando);
}

TEST_F(Selection, ShiftAtReleaseHidesTheBandButKeepsTheSelection) {
  auto w = Window(40, 30);
  Drag(*w, {4, 4}, {9, 8}, Qt::ShiftModifier);
  EXPECT_FALSE(w->Shapezoom->isVisible());
  EXPECT_EQ(w->InicioSelecao(), (Point{4, 4}));
  EXPECT_EQ(w->FimSelecao(), (Point{9, 8}));
}

TEST_F(Selection, AnotherButtonEndsTheDragWithoutTheClipboard) {
  auto w = Window(40, 30);
  ClearClipboard();
  w->ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 4, 4);
  w->ImagezoomMouseMove(Qt::NoModifier, 12, 10);
  w->ImagezoomMouseUp(Qt::RightButton, Qt::NoModifier, 12, 10);
  EXPECT_FALSE(w->Arrastando);
  EXPECT_FALSE(w->CopiaSelecao);
  EXPECT_EQ(Clipboard().pixel(0, 0), qRgb(1, 2, 3));
  EXPECT_EQ(w->FimSelecao(), (Point{12, 10}));
}

TEST_F(Selection, PressOnTheBandHidesIt) {
  auto w = Window(40, 30);
  Drag(*w, {4, 4}, {20, 20});
  ASSERT_TRUE(w->Shapezoom->isVisible());
  w->ShapezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 3, 3);
  EXPECT_FALSE(w->Shapezoom->isVisible());
  EXPECT_FALSE(w->Arrastando);
  EXPECT_EQ(w->FimSelecao(), (Point{20, 20}));
}

TEST_F(Selection, MoveOverTheBandIsAMoveOnTheImage) {
  auto w = Window(40, 30);
  w->ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 4, 4);
  w->ImagezoomMouseMove(Qt::NoModifier, 20, 20);
  w->ShapezoomMouseMove(Qt::NoModifier, 6, 2);  // band coordinates: image point (10, 6)
  EXPECT_EQ(w->Banda(), (BandGeometry{4, 4, 6, 2}));
}

// The real mouse reaches the handlers through the image control.
TEST_F(Selection, MouseEventsOnTheImageControlDriveTheSelection) {
  auto w = Window(40, 30);
  auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(p), w->Imagezoom->mapToGlobal(QPointF(p)), button, held,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w->Imagezoom, &e);
  };
  send(QEvent::MouseButtonPress, {3, 4}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseMove, {11, 14}, Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, {11, 14}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(w->InicioSelecao(), (Point{3, 4}));
  EXPECT_EQ(w->FimSelecao(), (Point{11, 14}));
  EXPECT_EQ(w->Caption(), "sel.bmp (9 x 11 = 99)");
}

struct PenCase {
  const char* largura;
  const char* cor;
  int width;
  QColor color;
};

class SelectionPen : public Selection, public ::testing::WithParamInterface<PenCase> {};

// The pen is read at every press; values that are absent or not integers fall back to a
// one-pixel pen in the first colour, and the press still starts a drag.
TEST_P(SelectionPen, ReadAtEveryPress) {
  const PenCase& c = GetParam();
  GravarConfig("Configuracao_selecao", "largura", c.largura);
  GravarConfig("Configuracao_selecao", "cor", c.cor);
  auto w = Window(40, 30);
  w->ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 1, 1);
  EXPECT_TRUE(w->Arrastando);
  EXPECT_EQ(w->Shapezoom->PenWidth(), c.width);
  EXPECT_EQ(w->Shapezoom->PenColor(), c.color);
}

INSTANTIATE_TEST_SUITE_P(Values, SelectionPen,
                         ::testing::Values(PenCase{"3", "12", 3, QColor(0, 0, 255)},
                                           PenCase{"0", "9", 0, QColor(255, 0, 0)},
                                           PenCase{"", "", 1, QColor(0, 0, 0)},
                                           PenCase{"x", "1.5", 1, QColor(0, 0, 0)},
                                           PenCase{"2", "99", 2, QColor(0, 0, 0)},
                                           PenCase{"-4", "-1", 0, QColor(0, 0, 0)}));

TEST_F(Selection, MarkingPaintsTheSelectionBlueInTheDisplayCopyOnly) {
  auto w = std::make_unique<TFormImagem>(nullptr);
  Bitmap grey(12, 10, PixelFormat::pf8bit);
  grey.setPalette(GreyRamp());
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) grey.scanLine(y)[x] = uint8_t(20 * y + x);
  w->DefinirBitmap(grey);
  Zoom(*w, 200);
  Drag(*w, {4, 6}, {11, 13});  // image pixels (2, 3) to (5, 6)
  w->MarcarSelecao();
  const Bitmap& shown = w->CopiaExibida();
  ASSERT_EQ(shown.format(), PixelFormat::pf24bit);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 2 && x <= 5 && y >= 3 && y <= 6;
      const uint8_t g = uint8_t(20 * y + x);
      const PaletteEntry expected = inside ? PaletteEntry{0, 0, 255} : PaletteEntry{g, g, g};
      ASSERT_EQ(shown.pixelColor(x, y), expected) << x << "," << y;
    }
  EXPECT_EQ(w->BitmapImagem, grey);
}

TEST_F(Selection, ClipboardHoldsTheColoursOfAnIndexedImage) {
  auto w = std::make_unique<TFormImagem>(nullptr);
  Bitmap b(10, 10, PixelFormat::pf8bit);
  Palette p(256);
  for (int i = 0; i < 256; ++i) p[size_t(i)] = {uint8_t(i), 0, uint8_t(255 - i)};
  b.setPalette(p);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) b.scanLine(y)[x] = uint8_t(10 * y + x);
  w->DefinirBitmap(b);
  Zoom(*w, 200);
  Drag(*w, {2, 4}, {9, 7});  // image pixels (1, 2) to (4, 3)
  const QImage copied = Clipboard();
  ASSERT_EQ(copied.size(), QSize(4, 2));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      const int index = 10 * (y + 2) + x + 1;
      EXPECT_EQ(copied.pixel(x, y), qRgb(index, 0, 255 - index)) << x << "," << y;
    }
}

// A picture of zero size gives an empty selection: nothing divides by zero, nothing is
// copied or marked.
TEST_F(Selection, EmptyImageGivesAnEmptySelection) {
  auto w = std::make_unique<TFormImagem>(nullptr);
  w->DefinirNome("vazia");
  w->DefinirBitmap(Bitmap());
  ClearClipboard();
  w->ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 0, 0);
  w->ImagezoomMouseMove(Qt::NoModifier, 3, 3);  // outside a 0 x 0 control
  w->ImagezoomMouseUp(Qt::LeftButton, Qt::NoModifier, 3, 3);
  const Point a = w->InicioSelecao(), b = w->FimSelecao();
  EXPECT_LT(b.x - a.x + 1, 1);
  EXPECT_LT(b.y - a.y + 1, 1);
  EXPECT_EQ(Clipboard().pixel(0, 0), qRgb(1, 2, 3));
  w->MarcarSelecao();
  EXPECT_TRUE(w->CopiaExibida().empty());
  EXPECT_TRUE(w->AlterarZoom(kZoomStep));
  EXPECT_EQ(w->Imagezoom->size(), QSize(0, 0));
}

// A 1-pixel image zoomed out to a control of no width.
TEST_F(Selection, ControlOfZeroWidthMapsToPixelZero) {
  auto w = Window(1, 1, 20);
  ASSERT_EQ(w->Imagezoom->size(), QSize(0, 0));
  EXPECT_EQ(w->InicioSelecao(), (Point{0, 0}));
  EXPECT_EQ(w->FimSelecao(), (Point{0, 0}));
  EXPECT_TRUE(w->AlterarZoom(kZoomStep));
}

TEST_F(Selection, ZoomKeepsTheSelectionOnTheSameImagePixels) {
  auto w = Window(40, 30);
  Drag(*w, {6, 4}, {17, 13});
  Zoom(*w, 200);
  EXPECT_EQ(w->InicioSelecao(), (Point{6, 4}));
  EXPECT_EQ(w->FimSelecao(), (Point{17, 13}));
  EXPECT_EQ(w->Banda(), (BandGeometry{12, 8, 22, 18}));
  // A right click (its release re-derives the points from the band) changes nothing.
  w->ImagezoomMouseUp(Qt::RightButton, Qt::NoModifier, 0, 0);
  EXPECT_EQ(w->InicioSelecao(), (Point{6, 4}));
  EXPECT_EQ(w->FimSelecao(), (Point{17, 13}));
}

// ---- Output windows ----

class OutputWindow : public Selection {
 protected:
  void SetUp() override {
    Selection::SetUp();
    origem = Window(40, 30, 200);
    saida.reset(TFormImagemSaida::CreateComOrigem(nullptr, origem.get()));
    saida->DefinirBitmap(Gradient24(40, 30));
    saida->SetCaption("sel.bmp - Brilho");
    saida->show();
  }
  std::unique_ptr<TFormImagem> origem;
  std::unique_ptr<TFormImagemSaida> saida;
};

TEST_F(OutputWindow, DragIsMirroredIntoTheSourceAtItsZoom) {
  saida->ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 5, 4);
  EXPECT_TRUE(origem->Arrastando);
  saida->ImagezoomMouseMove(Qt::NoModifier, 15, 10);
  saida->ImagezoomMouseUp(Qt::LeftButton, Qt::NoModifier, 15, 10);
  // The source at 200 % gets a band of twice the size.
  EXPECT_EQ(saida->Banda(), (BandGeometry{5, 4, 10, 6}));
  EXPECT_EQ(origem->Banda(), (BandGeometry{10, 8, 20, 12}));
  EXPECT_FALSE(origem->Arrastando);
  EXPECT_EQ(saida->InicioSelecao(), origem->InicioSelecao());
  EXPECT_EQ(saida->FimSelecao(), origem->FimSelecao());
  EXPECT_EQ(origem->FimSelecao(), (Point{15, 10}));
  // Each caption keeps what names its window: the source its name, the output window the
  // caption its operation gave it.
  EXPECT_EQ(origem->Caption(), "sel.bmp (11 x 7 = 77)");
  EXPECT_EQ(saida->Caption(), "sel.bmp - Brilho (11 x 7 = 77)");
}

// Every drag shows the size after the caption the operation gave the output window, never
// after the size text of the drag before; a zoom then shows that caption with the percentage.
TEST_F(OutputWindow, DragsKeepTheOperationsCaption) {
  const struct {
    QPoint from, to;
    const char* caption;
  } drags[] = {
      {{5, 4}, {15, 10}, "sel.bmp - Brilho (11 x 7 = 77)"},
      {{0, 0}, {0, 0}, "sel.bmp - Brilho (1 x 1 = 1)"},
      {{2, 3}, {3, 5}, "sel.bmp - Brilho (2 x 3 = 6)"},
      {{39, 29}, {30, 20}, "sel.bmp - Brilho (10 x 10 = 100)"},
  };
  for (const auto& d : drags) {
    Drag(*saida, d.from, d.to);
    EXPECT_EQ(saida->Caption(), d.caption);
    EXPECT_EQ(saida->SubWindow() ? saida->SubWindow()->windowTitle() : saida->windowTitle(),
              d.caption);
  }
  ASSERT_TRUE(saida->AlterarZoom(kZoomStep));
  EXPECT_EQ(saida->Caption(), "sel.bmp - Brilho 120%");
  Drag(*saida, {1, 1}, {12, 12});  // image pixels 0 to 10
  EXPECT_EQ(saida->Caption(), "sel.bmp - Brilho (11 x 11 = 121)");
}

// A window with neither name nor caption shows the bare size, drag after drag.
TEST_F(Selection, UnnamedWindowShowsTheBareSizeAtEveryDrag) {
  auto w = std::make_unique<TFormImagem>(nullptr);
  w->DefinirBitmap(Gradient24(40, 30));
  for (int i = 0; i < 3; ++i) {
    Drag(*w, {1, 1}, {4 + i, 4});
    EXPECT_EQ(w->Caption(), QString(" (%1 x 4 = %2)").arg(4 + i).arg(4 * (4 + i)));
  }
}

TEST_F(OutputWindow, PressOnTheBandEndsOrStartsTheDragInBoth) {
  Drag(*saida, {5, 5}, {20, 20});
  // Not dragging: a press on the band starts a new drag at that point in both windows.
  saida->ShapezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 2, 3);
  EXPECT_FALSE(saida->Shapezoom->isVisible());
  EXPECT_TRUE(saida->Arrastando);
  EXPECT_TRUE(origem->Arrastando);
  EXPECT_EQ(saida->Ancora, (Point{7, 8}));
  EXPECT_EQ(origem->Ancora, (Point{14, 16}));
  // Dragging: a press on the band ends the drag in both.
  saida->ImagezoomMouseMove(Qt::NoModifier, 12, 12);
  saida->ShapezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 1, 1);
  EXPECT_FALSE(saida->Arrastando);
  EXPECT_FALSE(origem->Arrastando);
}

TEST_F(OutputWindow, MoveOverTheBandIsPassedOn) {
  saida->ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 4, 4);
  saida->ImagezoomMouseMove(Qt::NoModifier, 20, 20);
  saida->ShapezoomMouseMove(Qt::NoModifier, 6, 2);  // output point (10, 6)
  EXPECT_EQ(saida->Banda(), (BandGeometry{4, 4, 6, 2}));
  EXPECT_EQ(origem->Banda(), (BandGeometry{8, 8, 12, 4}));
}

TEST_F(OutputWindow, ActivationHidesTheBand) {
  Drag(*saida, {5, 5}, {20, 20});
  ASSERT_TRUE(saida->Shapezoom->isVisible());
  saida->FormActivate();
  EXPECT_FALSE(saida->Shapezoom->isVisible());
}

TEST_F(OutputWindow, WorksAloneOnceTheSourceIsGone) {
  origem.reset();
  EXPECT_TRUE(saida->Origem.isNull());
  Drag(*saida, {1, 1}, {3, 3});
  EXPECT_EQ(saida->FimSelecao(), (Point{3, 3}));
}

}  // namespace
}  // namespace vandrel::testing
