// What the picture windows put on the screen: every pixel of an image control that lies in
// its window is compared with the pixel of the picture that the stretching rule puts there,
// for image windows, output windows and the thresholds preview, over picture sizes, zooms,
// scroll positions and selections. Each window is read twice: as the window system holds it
// (the screen itself under a window manager, the window's stored contents off screen), and
// as the window draws itself afresh (QWidget::grab).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "app/histograms/ui/UDSHistograma.h"
#include "app/histograms/ui/UHistograma.h"
#include "app/imaging/ui/UnitBrilho.h"
#include "app/imaging/ui/UnitImagem.h"
#include "app/settings/model/URecursos.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "app/thresholds/ui/ULimPreview.h"
#include "app/thresholds/ui/ULimiares.h"
#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "platform/qt/Dialogs.h"
#include "tests/placement/WindowManagerSync.h"
#include "tests/support/GuiTest.h"

namespace vandrel::testing {
namespace {

// Runs the event loop until `done` holds; each round waits for the next event, so nothing
// here depends on how fast the machine is.
void Until(const std::function<bool()>& done) {
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Delivers what is pending (the repaints included) and waits for the window system to have
// it all.
void Drawn() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
  QGuiApplication::sync();
}

// With VANDREL_SHOTS naming a folder, the screen as it is now goes there as `name`.png, for
// a person to look at.
void Shot(const QString& name) {
  const QByteArray folder = qgetenv("VANDREL_SHOTS");
  if (folder.isEmpty()) return;
  Drawn();
  QGuiApplication::primaryScreen()->grabWindow(0).save(QString(folder) + "/" + name + ".png");
}

// The colour the picture shows at display pixel (dx, dy) when stretched to dw x dh: image
// column dx * W / dw, row dy * H / dh (truncated).
QRgb Expected(const Bitmap& b, int dx, int dy, int dw, int dh) {
  const int x = int(int64_t(dx) * b.width() / dw), y = int(int64_t(dy) * b.height() / dh);
  const uint8_t* row = b.scanLine(y);
  switch (b.format()) {
    case PixelFormat::pf8bit: {
      const size_t i = row[x];
      if (i >= b.palette().size()) return qRgb(0, 0, 0);
      const auto& e = b.palette()[i];
      return qRgb(e.red, e.green, e.blue);
    }
    case PixelFormat::pf24bit:
      return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    case PixelFormat::pf32bit:
      return qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    default:
      ADD_FAILURE() << "a format the tests do not make";
      return 0;
  }
}

// The part of `control` (in its own coordinates) that its ancestors up to `upTo` leave in
// view.
QRect InView(const QWidget* control, const QWidget* upTo) {
  QRect r = control->rect();
  for (const QWidget* w = control; w != upTo && !w->isWindow();) {
    w = w->parentWidget();
    r &= QRect(control->mapFrom(w, QPoint(0, 0)), w->size());
  }
  return r;
}

struct Comparison {
  int checked = 0, wrong = 0;
  QPoint first;  // the first wrong pixel, control coordinates
  QRgb seen = 0, wanted = 0;
};

std::ostream& operator<<(std::ostream& os, const Comparison& c) {
  os << c.wrong << " of " << c.checked << " pixels wrong";
  if (c.wrong)
    os << ", first at (" << c.first.x() << ", " << c.first.y() << "): #" << std::hex
       << (c.seen & 0xFFFFFF) << " instead of #" << (c.wanted & 0xFFFFFF) << std::dec;
  return os;
}

// Compares the part `visible` of the window's image control, as `shot` shows it with the
// control's origin at `origin`, with the display copy stretched to the control. Pixels of
// `skip` (the band's outline) are left out.
Comparison Compare(const QImage& shot, QPoint origin, const TFormImagem& w, const QRect& visible,
                   const QRegion& skip = {}) {
  Comparison c;
  const Bitmap& shown = w.CopiaExibida();
  const int dw = w.Imagezoom->width(), dh = w.Imagezoom->height();
  for (int y = visible.top(); y <= visible.bottom(); ++y)
    for (int x = visible.left(); x <= visible.right(); ++x) {
      if (skip.contains(QPoint(x, y))) continue;
      const QPoint at = origin + QPoint(x, y);
      if (!shot.rect().contains(at)) continue;
      ++c.checked;
      const QRgb seen = shot.pixel(at) | 0xFF000000u, wanted = Expected(shown, x, y, dw, dh);
      if (seen != wanted && c.wrong++ == 0) {
        c.first = {x, y};
        c.seen = seen;
        c.wanted = wanted;
      }
    }
  return c;
}

Bitmap Grey(int w, int h) {
  Bitmap b(w, h, PixelFormat::pf8bit);
  Palette ramp(256);
  for (int i = 0; i < 256; ++i) ramp[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 3)};
  b.setPalette(ramp);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = b.scanLine(y);
    for (int x = 0; x < w; ++x) row[x] = uint8_t((x * 3 + y * 7) & 0xFF);
  }
  return b;
}

Bitmap Colour(int w, int h) {
  Bitmap b(w, h, PixelFormat::pf24bit);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = b.scanLine(y);
    for (int x = 0; x < w; ++x) {
      row[3 * x] = uint8_t(x);
      row[3 * x + 1] = uint8_t(y);
      row[3 * x + 2] = uint8_t((x + y) * 5);
    }
  }
  return b;
}

class Pixels : public ::testing::Test {
 protected:
  void SetUp() override {
    TFormImagem::ContadorDeImagens = 0;
    for (const char* palette : {"paleta.plt", "system/plt8.bmp"}) {
      Bitmap b(4, 1, PixelFormat::pf8bit);
      b.setPalette(GreyRamp());
      SaveBmp(b, folder.File(palette).toStdString());
    }
    principal = std::make_unique<TFormPrincipal>(TFormPrincipal::Options{folder.Path(), ""});
    principal->Timer1->stop();
    principal->MostrarAoIniciar();
    // Maximised and shown by the window manager (at once off screen), and framed as the
    // manager frames it: round trips through the manager go on while the frame still moves.
    Until([this] {
      return principal->windowHandle() && principal->windowHandle()->isExposed() &&
             principal->isMaximized();
    });
    for (int round = 0; round < 50; ++round) {
      const QRect before = principal->windowHandle()->frameGeometry();
      WindowManagerRoundTrip();
      if (principal->windowHandle()->frameGeometry() == before) break;
    }
    Drawn();
  }
  void TearDown() override {
    principal.reset();
    Settle();
  }

  QMdiArea* Area() const { return principal->findChild<QMdiArea*>(); }

  TFormImagem* Open(const QString& name, const Bitmap& b) {
    const QString path = folder.File("imagens/" + name);
    SaveBmp(b, path.toStdString());
    dialogs->files.push_back(FileDialogResult{{path}, 5});
    principal->Abrir_Imagem->trigger();
    return dynamic_cast<TFormImagem*>(principal->FilhaAtiva());
  }
  void CloseAll() {
    // Output windows go with their source windows.
    std::vector<QPointer<TForm>> all;
    for (TForm* f : principal->Filhas()) all.emplace_back(f);
    for (const QPointer<TForm>& f : all)
      if (f) f->Release();
    Settle();
  }

  // Checks that `w` shows its picture whole, on the screen and drawn afresh. The band's
  // outline, when the band is up, is left out.
  void ExpectWhole(TFormImagem& w, const std::string& what) {
    SCOPED_TRACE(what);
    Drawn();
    const TImageControl* control = w.Imagezoom;
    QRegion band;
    if (w.Shapezoom->isVisible()) {
      const QRect r = w.Shapezoom->geometry().translated(-control->pos());
      const int pen = std::max(w.Shapezoom->PenWidth(), 1);
      band = QRegion(r) - QRegion(r.adjusted(pen, pen, -pen, -pen));
    }
    // What the screen shows: the window's contents as the window system holds them.
    const QRect onScreen = InView(control, Area()->viewport());
    ASSERT_FALSE(onScreen.isEmpty());
    // A picture that fits the client area is seen whole.
    const QSize client = w.AreaDaImagem()->viewport()->size();
    if (control->width() <= client.width() && control->height() <= client.height()) {
      EXPECT_EQ(onScreen, control->rect());
    }
    const QImage screen = principal->screen()->grabWindow(principal->winId()).toImage();
    const Comparison s =
        Compare(screen, control->mapTo(principal.get(), QPoint(0, 0)), w, onScreen, band);
    EXPECT_EQ(s.wrong, 0) << "on the screen: " << s;
    EXPECT_GT(s.checked, 0);
    // The window drawn afresh.
    const QImage grabbed = w.grab().toImage();
    const Comparison g =
        Compare(grabbed, control->mapTo(&w, QPoint(0, 0)), w, InView(control, &w), band);
    EXPECT_EQ(g.wrong, 0) << "drawn afresh: " << g;
  }

  ProgramFolder folder{
      "[caixa_sobre]\nmostrar_inicio=FALSE\n[Configuracao_selecao]\nlargura="
      "1\ncor=0\nmarcar=NAO\n"};
  ScriptedDialogsScope dialogs;
  std::unique_ptr<TFormPrincipal> principal;
};

struct Picture {
  int width, height;
  bool colour;
};

std::string Name(const Picture& p) {
  return std::to_string(p.width) + "x" + std::to_string(p.height) + (p.colour ? " 24" : " 8") +
         " bits";
}

// 1 x 1 and 3 x 3, odd widths and heights, fitting the client area and larger than it.
const Picture kPictures[] = {{1, 1, false},     {1, 1, true},        {3, 3, false},
                             {3, 3, true},      {640, 480, false},   {645, 479, false},
                             {645, 479, true},  {1000, 700, false},  {1001, 701, false},
                             {1001, 701, true}, {1700, 1100, false}, {1699, 1101, true}};

Bitmap Make(const Picture& p) {
  return p.colour ? Colour(p.width, p.height) : Grey(p.width, p.height);
}

TEST_F(Pixels, AnOpenedPictureIsDrawnWholeAtEverySize) {
  for (const Picture& p : kPictures) {
    TFormImagem* w = Open("p.bmp", Make(p));
    ASSERT_NE(w, nullptr) << Name(p);
    ExpectWhole(*w, Name(p));
    Shot(QString::fromStdString("picture-" + Name(p)).replace(' ', '-'));
    CloseAll();
  }
}

TEST_F(Pixels, AZoomedPictureIsDrawnWhole) {
  const Picture pictures[] = {{3, 3, false}, {645, 479, true}, {1001, 701, false}};
  const struct {
    const char* name;
    int steps;  // zoom-ins (positive) or zoom-outs (negative) from 100 %
  } zooms[] = {{"120%", 1}, {"160%", 3}, {"80%", -1}, {"20%", -4}};
  for (const Picture& p : pictures)
    for (const auto& z : zooms) {
      TFormImagem* w = Open("z.bmp", Make(p));
      ASSERT_NE(w, nullptr);
      for (int i = 0; i < std::abs(z.steps); ++i)
        z.steps > 0 ? principal->ZoomInClick() : principal->ZoomOutClick();
      ExpectWhole(*w, Name(p) + " at " + z.name);
      principal->ZoomNormal1Click();
      ExpectWhole(*w, Name(p) + " back from " + z.name);
      CloseAll();
    }
}

TEST_F(Pixels, APictureLargerThanTheWindowIsDrawnWholeAtEveryScrollPosition) {
  for (const Picture& p : {Picture{1700, 1100, false}, Picture{2001, 1301, true}}) {
    TFormImagem* w = Open("s.bmp", Make(p));
    ASSERT_NE(w, nullptr);
    QScrollBar* h = w->AreaDaImagem()->horizontalScrollBar();
    QScrollBar* v = w->AreaDaImagem()->verticalScrollBar();
    ASSERT_GT(h->maximum(), 0);
    ASSERT_GT(v->maximum(), 0);
    const struct {
      const char* name;
      double x, y;  // fractions of the scroll range
    } positions[] = {{"middle", 0.5, 0.5}, {"end", 1, 1}, {"right top", 1, 0}, {"start", 0, 0}};
    for (const auto& at : positions) {
      h->setValue(int(h->maximum() * at.x));
      v->setValue(int(v->maximum() * at.y));
      ExpectWhole(*w, Name(p) + " scrolled to the " + at.name);
    }
    CloseAll();
  }
}

TEST_F(Pixels, ASelectionAndItsBandLeaveThePictureWhole) {
  TFormImagem* w = Open("b.bmp", Grey(645, 479));
  ASSERT_NE(w, nullptr);
  w->ImagezoomMouseDown(Qt::LeftButton, Qt::NoModifier, 100, 80);
  w->ImagezoomMouseMove(Qt::NoModifier, 300, 250);
  w->ImagezoomMouseUp(Qt::LeftButton, Qt::NoModifier, 300, 250);
  ASSERT_TRUE(w->Shapezoom->isVisible());
  ExpectWhole(*w, "with the band");
  w->MarcarSelecao();  // the marked pixels are part of the display copy
  ExpectWhole(*w, "with the selection marked");
  principal->ZoomInClick();
  ExpectWhole(*w, "marked, band, zoomed in");
}

TEST_F(Pixels, OutputWindowsAreDrawnWhole) {
  for (const Picture& p : {Picture{3, 3, false}, Picture{645, 479, false},
                           Picture{1001, 701, false}, Picture{1700, 1100, false}}) {
    TFormImagem* source = Open("o.bmp", Make(p));
    ASSERT_NE(source, nullptr);
    {
      std::unique_ptr<TFormBrilho> brilho(TFormBrilho::CreateComImagem(principal.get(), source));
      brilho->BarraBrilho->setValue(40);
      brilho->ButtonOKClick();
    }
    auto* brightness = dynamic_cast<TFormImagemSaida*>(principal->FilhaAtiva());
    ASSERT_NE(brightness, nullptr);
    ExpectWhole(*brightness, Name(p) + " brightness");
    Shot(QString::fromStdString("brightness-" + Name(p)).replace(' ', '-'));
    principal->ZoomOutClick();
    ExpectWhole(*brightness, Name(p) + " brightness at 80%");
    source->Show();
    principal->FiltroMediaExecute();
    auto* mean = dynamic_cast<TFormImagemSaida*>(principal->FilhaAtiva());
    ASSERT_NE(mean, nullptr);
    ExpectWhole(*mean, Name(p) + " mean filter");
    CloseAll();
  }
}

TEST_F(Pixels, PlainResultWindowsAreDrawnWhole) {
  TFormImagem* source = Open("c.bmp", Colour(645, 479));
  ASSERT_NE(source, nullptr);
  principal->GreyscaleExecute();
  auto* grey = dynamic_cast<TFormImagem*>(principal->FilhaAtiva());
  ASSERT_NE(grey, nullptr);
  ASSERT_NE(grey, source);
  ExpectWhole(*grey, "greyscale");
  source->Show();
  principal->btr_g_bClick();
  auto* channel = dynamic_cast<TFormImagem*>(principal->FilhaAtiva());
  ASSERT_NE(channel, nullptr);
  ExpectWhole(*channel, "a channel");
}

TEST_F(Pixels, TheThresholdsPreviewIsDrawnWhole) {
  for (const Picture& p : {Picture{3, 3, false}, Picture{1001, 701, false}}) {
    TFormImagem* source = Open("t.bmp", Make(p));
    ASSERT_NE(source, nullptr);
    TFormLimiares* limiares = TFormLimiares::CreateComImagem(source, source);
    limiares->AtualizarPreview();
    ExpectWhole(*source, Name(p) + " previewed");
    principal->ZoomInClick();
    limiares->AtualizarPreview();
    ExpectWhole(*source, Name(p) + " previewed, zoomed in");
    CloseAll();
  }
}

// The screen shows what `window` draws, where nothing else lies over it.
void ExpectOnScreenAsDrawn(QWidget* window, const std::string& what) {
  SCOPED_TRACE(what);
  ASSERT_NE(window, nullptr);
  if (auto* form = qobject_cast<TForm*>(window)) form->Show();  // in front of the others
  Drawn();
  ASSERT_TRUE(window->isVisible());
  QWidget* top = window->window();
  const QImage screen = top->screen()->grabWindow(top->winId()).toImage();
  const QImage drawn = window->grab().toImage();
  const QPoint at = window->mapTo(top, QPoint(0, 0));
  const QRect seen = InView(window, top);
  // Other windows of the program standing over it (a stay-on-top table) are left out.
  QRegion over;
  for (QWidget* other : QApplication::topLevelWidgets())
    if (other != top && other->isVisible() && other->windowHandle() &&
        (other->windowHandle()->flags() & Qt::WindowStaysOnTopHint))
      over += other->frameGeometry().translated(-window->mapToGlobal(QPoint(0, 0)));
  int wrong = 0, checked = 0;
  for (int y = seen.top(); y <= seen.bottom(); ++y)
    for (int x = seen.left(); x <= seen.right(); ++x) {
      if (over.contains(QPoint(x, y))) continue;
      ++checked;
      if ((screen.pixel(at + QPoint(x, y)) | 0xFF000000u) != (drawn.pixel(x, y) | 0xFF000000u))
        ++wrong;
    }
  EXPECT_GT(checked, 0);
  EXPECT_EQ(wrong, 0) << "of " << checked << " pixels";
}

// The windows that stand beside the pictures (a histogram window, the thresholds window with
// its histogram and palette bar, its area table) show on the screen what they draw.
TEST_F(Pixels, TheWindowsBesideThePicturesShowWhatTheyDraw) {
  TFormImagem* source = Open("l.bmp", Grey(645, 479));
  ASSERT_NE(source, nullptr);
  auto* histograma = new TFormHistograma(principal.get());
  histograma->Histograma->CalcularDeBitmap(source->BitmapImagem);
  ExpectOnScreenAsDrawn(histograma, "histogram window");
  source->Show();
  principal->CompoComImagem->trigger();
  principal->LimiaresExecute();
  auto* limiares = dynamic_cast<TFormLimiares*>(principal->FilhaAtiva());
  ASSERT_NE(limiares, nullptr);
  ExpectOnScreenAsDrawn(limiares, "thresholds window");
  ExpectOnScreenAsDrawn(limiares->TabelaAreas, "area table");
  for (int i = 0; i < 3; ++i) limiares->BtNovoClick();  // the window grows with its levels
  ExpectOnScreenAsDrawn(limiares, "thresholds window with five levels");
  ExpectOnScreenAsDrawn(limiares->TabelaAreas, "area table with five levels");
}

// A damaged picture leaves the screen as it was: no empty window, at any try, from the open
// dialog or from a recent entry (the error box itself is scripted, off the screen).
TEST_F(Pixels, AFailedOpenLeavesTheScreenAsItWas) {
  std::vector<uint8_t> bytes;
  {
    const QString whole = folder.File("imagens/inteira.bmp");
    SaveBmp(Grey(640, 480), whole.toStdString());
    QFile f(whole);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    bytes.assign(all.begin(), all.begin() + all.size() / 2);
  }
  const QString damaged = folder.File("imagens/damaged.bmp");
  {
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
  }
  Drawn();
  const QImage before = principal->screen()->grabWindow(principal->winId()).toImage();
  for (int attempt = 0; attempt < 3; ++attempt) {
    SCOPED_TRACE(attempt);
    dialogs->messages.clear();
    if (attempt < 2) {
      dialogs->files.push_back(FileDialogResult{{damaged}, 5});
      principal->Abrir_Imagem->trigger();
    } else {
      GravarConfig("imagens_abertas", "ima0", damaged.toStdString());
      emit principal->Arquivo1->aboutToShow();
      principal->ima[0]->trigger();
    }
    Settle();
    Drawn();
    EXPECT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(principal->Filhas().empty());
    EXPECT_TRUE(principal->screen()->grabWindow(principal->winId()).toImage() == before);
  }
  Shot("failed-open");
}

}  // namespace
}  // namespace vandrel::testing
