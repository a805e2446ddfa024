// Where the windows go on a user's screen: the program started as it starts (maximised), and
// every window the commands open checked for its place (on the screen, inside the frame's
// client area, clear of the main menu, not under a stay-on-top window) and for its texts.
// Run under a window manager at 1600 x 1000 and at 1024 x 768, and off screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "app/histograms/ui/UHistograma.h"
#include "app/histograms/ui/UListaDeFases.h"
#include "app/imaging/ui/UnitImagem.h"
#include "app/imaging/ui/unit_info_imagem.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "app/thresholds/ui/ULimPreview.h"
#include "app/thresholds/ui/ULimiares.h"
#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Placement.h"
#include "tests/placement/WindowManagerSync.h"
#include "tests/support/GuiTest.h"
#include "tests/support/LayoutCheck.h"

namespace vandrel::testing {
namespace {

// Where every shown window and child window is, to tell when the window manager and the
// placement rule have stopped moving them.
QList<QRect> Geometries() {
  QList<QRect> out;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible()) continue;
    out << w->frameGeometry() << w->geometry();
    for (QMdiSubWindow* sub : w->findChildren<QMdiSubWindow*>()) out << sub->geometry();
  }
  return out;
}

// Until every shown window is on the screen with its frame as the window manager drew it,
// and the manager has answered every move and resize asked of it (the placement rule may
// answer a manager's move with one of its own: round trips go on while anything moves, for
// a bounded number of rounds).
void Framed() {
  const bool managed = QGuiApplication::platformName() == "xcb";
  auto framed = [managed] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible() || !w->windowHandle()) continue;
      if (!w->windowHandle()->isExposed()) return false;
      if (managed && w->windowHandle()->frameMargins().isNull()) return false;
    }
    return true;
  };
  for (int round = 0; round < 50; ++round) {
    const QList<QRect> before = Geometries();
    WindowManagerRoundTrip();
    if (framed() && Geometries() == before) return;
  }
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->windowHandle())
      ADD_FAILURE() << w->objectName().toStdString() << " still settling: exposed "
                    << w->windowHandle()->isExposed() << ", framed "
                    << !w->windowHandle()->frameMargins().isNull();
}

// Where a window's outer frame is on the screen: a top-level window's frame, or a form's
// sub-window (caption bar included).
QRect OnScreen(QWidget* w) {
  if (auto* form = dynamic_cast<TForm*>(w); form && form->SubWindow()) w = form->SubWindow();
  // The window system's account of a frame: the widget's copy may lag behind it.
  if (w->isWindow())
    return w->windowHandle() ? w->windowHandle()->frameGeometry() : w->frameGeometry();
  return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

// For EXPECT_TRUE: `w`'s frame covers no part of `other`'s (its caption bar, buttons and
// controls), but for its border: the borders a window manager reports for a window it has
// just framed may still change by a pixel or two after the program placed it.
::testing::AssertionResult ClearOf(QWidget* w, QWidget* other) {
  const QRect a = OnScreen(w), b = OnScreen(other);
  const QRect c = a & b;
  const int border = 2;
  if (!a.intersects(b) || std::min(c.width(), c.height()) <= border)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << w->objectName().toStdString() << " at " << a.x() << "," << a.y() << " " << a.width()
         << " x " << a.height() << " covers " << c.width() << " x " << c.height() << " of "
         << other->objectName().toStdString() << " at " << b.x() << "," << b.y() << " " << b.width()
         << " x " << b.height();
}

// For EXPECT_TRUE: `w`'s frame centred on `on` across (and down, unless it keeps clear of
// the line `clearTop`), within a pixel, where `area` leaves it room.
::testing::AssertionResult CentredOnFrame(QWidget* w, const QRect& on, const QRect& area,
                                          int clearTop) {
  const QRect f = w->frameGeometry();
  const int dx = f.center().x() - on.center().x(), dy = f.center().y() - on.center().y();
  const bool across = std::abs(dx) <= 1 || f.left() == area.left() || f.right() == area.right();
  const bool down = std::abs(dy) <= 1 || (dy > 0 && f.top() <= clearTop + 1) ||
                    f.top() == area.top() || f.bottom() == area.bottom();
  if (across && down) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << w->objectName().toStdString() << "'s frame " << f.x() << "," << f.y() << " "
         << f.width() << " x " << f.height() << ": its centre is " << dx << ", " << dy
         << " from the centre of " << on.x() << "," << on.y() << " " << on.width() << " x "
         << on.height();
}

// With VANDREL_SHOTS naming a folder, the screen as it is now goes there as `name`.png, for
// a person to look at.
void Shot(const QString& name) {
  const QByteArray folder = qgetenv("VANDREL_SHOTS");
  if (folder.isEmpty()) return;
  Framed();
  const QSize size = QGuiApplication::primaryScreen()->size();
  QGuiApplication::primaryScreen()->grabWindow(0).save(
      QString("%1/%2-%3x%4.png").arg(QString(folder), name).arg(size.width()).arg(size.height()));
}

Bitmap Grey(int w, int h) {
  Bitmap b(w, h, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  for (int y = 0; y < h; ++y) {
    uint8_t* row = b.scanLine(y);
    for (int x = 0; x < w; ++x) row[x] = uint8_t((x + y) & 0xFF);
  }
  return b;
}

Bitmap Colour(int w, int h) {
  Bitmap b(w, h, PixelFormat::pf24bit);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = b.scanLine(y);
    for (int x = 0; x < 3 * w; ++x) row[x] = uint8_t((x * 7 + y) & 0xFF);
  }
  return b;
}

// File and colour dialogs answer from the script; modal forms run for real (so that they
// are modal on the screen) and are looked at by the next check, then closed.
class ModalChecks : public ScriptedDialogs {
 public:
  std::deque<std::function<void(QDialog&)>> checks;
  int RunModal(QDialog& form) override {
    formsRun.push_back(form.objectName());
    std::function<void(QDialog&)> check;
    if (!checks.empty()) {
      check = std::move(checks.front());
      checks.pop_front();
    }
    QTimer::singleShot(0, &form, [&form, check] {
      AwaitEvents([&form] { return form.isVisible() && form.windowHandle()->isExposed(); });
      Framed();
      if (check) check(form);
      form.reject();
    });
    return form.exec();
  }
};

class Placement : public ::testing::Test {
 protected:
  void SetUp() override {
    TFormImagem::ContadorDeImagens = 0;
    auto script = std::make_unique<ModalChecks>();
    dialogs = script.get();
    previous = SetDialogs(std::move(script));
    for (const char* palette : {"paleta.plt", "system/plt8.bmp"}) {
      Bitmap b(4, 1, PixelFormat::pf8bit);
      b.setPalette(GreyRamp());
      SaveBmp(b, folder.File(palette).toStdString());
    }
    principal = new TFormPrincipal(TFormPrincipal::Options{folder.Path(), ""});
    principal->Timer1->stop();
    principal->MostrarAoIniciar();
    AwaitEvents(
        [this] { return principal->isMaximized() && principal->windowHandle()->isExposed(); });
    Framed();
  }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w != principal && w->isVisible()) w->close();
    delete principal;
    Settle();
    SetDialogs(std::move(previous));
  }

  QRect Screen() const { return principal->screen()->availableGeometry(); }
  // The line under the main menu, on the screen.
  int MenuBottom() const {
    const QWidget* menu = principal->menuWidget();
    return menu->mapToGlobal(QPoint(0, menu->height())).y();
  }
  ::testing::AssertionResult OnTheMainWindow(QWidget* w) const {
    return CentredOnFrame(w, principal->frameGeometry(), Screen(), MenuBottom());
  }
  QMdiArea* Area() const { return principal->findChild<QMdiArea*>(); }

  // Opens the files through "Abrir Imagem"; returns the windows opened.
  std::vector<TFormImagem*> Abrir(const QStringList& files) {
    const size_t before = principal->Filhas().size();
    dialogs->files.push_back(FileDialogResult{files, 5});
    principal->Abrir_Imagem->trigger();
    Framed();
    std::vector<TFormImagem*> out;
    const std::vector<TForm*> filhas = principal->Filhas();
    for (size_t i = before; i < filhas.size(); ++i)
      if (auto* w = dynamic_cast<TFormImagem*>(filhas[i])) out.push_back(w);
    return out;
  }
  QString Bmp(const QString& name, const Bitmap& b) const {
    const QString path = folder.File("imagens/" + name);
    SaveBmp(b, path.toStdString());
    return path;
  }
  TFormImagem* Imagem(const QString& name, const Bitmap& b) {
    const std::vector<TFormImagem*> w = Abrir({Bmp(name, b)});
    return w.empty() ? nullptr : w.front();
  }
  // The top-level window of `name` that is shown.
  static QWidget* Shown(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == name && w->isVisible()) return w;
    return nullptr;
  }
  // Moves a child window to the bottom right corner of the client area, as a user may have.
  void ToTheCorner(TForm* form) {
    QMdiSubWindow* sub = form->SubWindow();
    const QSize client = Area()->viewport()->size();
    sub->move(client.width() - sub->width(), client.height() - sub->height());
    Framed();
  }

  ProgramFolder folder{
      "[caixa_sobre]\nmostrar_inicio=FALSE\n[Configuracao_selecao]\nlargura=1\ncor=0\n"};
  ModalChecks* dialogs = nullptr;
  std::unique_ptr<DialogService> previous;
  TFormPrincipal* principal = nullptr;
};

TEST_F(Placement, TheMainWindowStartsMaximisedAndRestoresToItsOwnSize) {
  EXPECT_TRUE(principal->isMaximized());
  // Restored (the window manager is asked to leave the maximised state, and returns to the
  // size and place it knows for the window), maximised and restored again.
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE("restore " + std::to_string(round));
    principal->showNormal();
    Framed();
    EXPECT_FALSE(principal->isMaximized());
    EXPECT_EQ(principal->size(), QSize(711, 333));
    EXPECT_TRUE(PlacementIsWhole(principal));
    if (round == 1) Shot("main-restored");
    // Its frame in the middle of the screen, title bar and buttons on it.
    EXPECT_LE(std::abs(principal->frameGeometry().center().x() - Screen().center().x()), 1);
    EXPECT_LE(std::abs(principal->frameGeometry().center().y() - Screen().center().y()), 1);
    principal->showMaximized();
    Framed();
    EXPECT_TRUE(principal->isMaximized()) << "maximised again";
  }
}

TEST_F(Placement, ImageWindowsLieInsideTheClientAreaAndTheirPicturesScroll) {
  struct Case {
    const char* name;
    Bitmap picture;
  };
  const Case cases[] = {{"grande.bmp", Colour(1900, 1300)},
                        {"micrografia.bmp", Grey(8000, 6000)},
                        {"minuscula.bmp", Grey(3, 3)},
                        {"media.bmp", Grey(640, 480)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFormImagem* w = Imagem(c.name, c.picture);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->Caption(), c.name);
    Shot(QString("image-%1").arg(c.name));
    EXPECT_TRUE(PlacementIsWhole(w));
    EXPECT_TRUE(LayoutIsWhole(w));
    // All of the picture can be brought into view inside the window.
    auto* area = w->findChild<QScrollArea*>();
    EXPECT_TRUE(area) << "no scrolling";
    if (area) {
      EXPECT_EQ(area->horizontalScrollBar()->maximum() + area->viewport()->width(),
                std::max(c.picture.width(), area->viewport()->width()));
      EXPECT_EQ(area->verticalScrollBar()->maximum() + area->viewport()->height(),
                std::max(c.picture.height(), area->viewport()->height()));
    }
    // The zoom keeps the window inside too.
    principal->ZoomIn->trigger();
    Framed();
    EXPECT_TRUE(PlacementIsWhole(w)) << "after a zoom in";
    principal->ZoomNormal1->trigger();
    Framed();
    EXPECT_TRUE(PlacementIsWhole(w)) << "at normal size again";
  }
}

TEST_F(Placement, TheChannelWindowsAndAnOperationsResultLieInsideTheClientArea) {
  TFormImagem* fonte = Imagem("cores.bmp", Colour(700, 520));
  ASSERT_TRUE(fonte);
  principal->btr_g_b->click();
  Framed();
  int canais = 0;
  for (TForm* f : principal->Filhas()) {
    if (f == fonte) continue;
    ++canais;
    SCOPED_TRACE(f->Caption().toStdString());
    EXPECT_TRUE(PlacementIsWhole(f));
    EXPECT_TRUE(LayoutIsWhole(f));
  }
  EXPECT_EQ(canais, 3);
  Shot("channels");
  TFormImagem* cinza = Imagem("cinza.bmp", Grey(900, 640));
  ASSERT_TRUE(cinza);
  ToTheCorner(cinza);
  principal->FiltroMedia->trigger();
  Framed();
  TForm* saida = principal->FilhaAtiva();
  ASSERT_TRUE(saida);
  EXPECT_EQ(saida->ClassName(), "TFormImagemSaida");
  Shot("mean-filter-result");
  EXPECT_TRUE(PlacementIsWhole(saida));
}

TEST_F(Placement, TheImageInformationShowsItsWholeTexts) {
  TFormImagem* w = Imagem("grande.bmp", Colour(1900, 1300));
  ASSERT_TRUE(w);
  principal->InformaesdaImagem1->trigger();
  Framed();
  auto* info = dynamic_cast<TForminfo_imagem*>(principal->FilhaAtiva());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Label4->text(), "Memória real exigida: 7410000 Bytes");
  Shot("image-information");
  EXPECT_TRUE(LayoutIsWhole(info));
  EXPECT_TRUE(PlacementIsWhole(info));
}

TEST_F(Placement, TopLevelWindowsOpenOnTheScreenClearOfTheMainMenu) {
  QFile ajuda(folder.File("Ajuda.hlp"));
  ASSERT_TRUE(ajuda.open(QIODevice::WriteOnly));
  ajuda.write("<html><body><h1>Vandrel</h1><p>Ajuda.</p></body></html>");
  ajuda.close();
  principal->Contedo1->trigger();
  Framed();
  QWidget* help = Shown("HelpWindow");
  ASSERT_TRUE(help);
  Shot("help");
  EXPECT_TRUE(PlacementIsWhole(help));

  principal->Configurar1->trigger();
  Framed();
  QWidget* opcoes = Shown("FormConfiguracoes");
  ASSERT_TRUE(opcoes);
  Shot("settings");
  EXPECT_TRUE(PlacementIsWhole(opcoes));
  EXPECT_TRUE(LayoutIsWhole(opcoes));

  TFormImagem* w = Imagem("pequena.bmp", Grey(120, 90));
  ASSERT_TRUE(w);
  w->Configuraes1->trigger();
  Framed();
  QWidget* selecao = Shown("FormConfiguracoes_selecao");
  ASSERT_TRUE(selecao);
  Shot("selection-settings");
  EXPECT_TRUE(PlacementIsWhole(selecao));
  EXPECT_TRUE(LayoutIsWhole(selecao));
}

TEST_F(Placement, ModalDialogsOpenOnTheScreenWithTheirWholeFields) {
  TFormImagem* w = Imagem("micrografia.bmp", Grey(8000, 6000));
  ASSERT_TRUE(w);
  int vistos = 0;
  // "Similares": its "Os" field takes values up to the pixel count less one.
  dialogs->checks.push_back([&](QDialog& form) {
    ++vistos;
    auto* os = form.findChild<QSpinBox*>("SpinEditNoSemelhantes");
    ASSERT_TRUE(os);
    EXPECT_EQ(os->maximum(), 8000 * 6000 - 1);
    os->setValue(92003);
    Shot("similares");
    EXPECT_TRUE(LayoutIsWhole(&form));
    EXPECT_TRUE(PlacementIsWhole(&form));
    EXPECT_TRUE(OnTheMainWindow(&form));
  });
  principal->Similares->trigger();
  for (QAction* comando : {principal->Brilho, principal->Contraste}) {
    dialogs->checks.push_back([&](QDialog& form) {
      ++vistos;
      Shot(form.objectName());
      EXPECT_TRUE(LayoutIsWhole(&form));
      EXPECT_TRUE(PlacementIsWhole(&form));
      EXPECT_TRUE(OnTheMainWindow(&form));
    });
    comando->trigger();
  }
  EXPECT_EQ(vistos, 3);
}

TEST_F(Placement, TheAboutBoxOpensAtTheScreensCentre) {
  // Also with the main window restored, where its centre is not the screen's.
  for (const bool maximised : {true, false}) {
    SCOPED_TRACE(maximised ? "main window maximised" : "main window restored");
    if (!maximised) {
      principal->showNormal();
      Framed();
      PlaceWindowAt(principal, Screen().topLeft());
      Framed();
    }
    int vistos = 0;
    dialogs->checks.push_back([&](QDialog& form) {
      ++vistos;
      EXPECT_EQ(form.objectName(), "SobreDialog");
      Shot(maximised ? "about" : "about-restored-main-window");
      EXPECT_TRUE(PlacementIsWhole(&form));
      EXPECT_TRUE(LayoutIsWhole(&form));
      EXPECT_TRUE(CentredOnFrame(&form, Screen(), Screen(), Screen().top()));
    });
    principal->Sobre1->trigger();
    EXPECT_EQ(vistos, 1);
  }
}

TEST_F(Placement, TheThresholdsWindowItsAreaTableAndTheColourDialogStayReachable) {
  TFormImagem* w = Imagem("limiares.bmp", Grey(300, 200));
  ASSERT_TRUE(w);
  principal->Limiares->trigger();
  Framed();
  TFormLimiares* limiares = nullptr;
  for (TForm* f : principal->Filhas())
    if (auto* l = dynamic_cast<TFormLimiares*>(f)) limiares = l;
  ASSERT_TRUE(limiares);
  ASSERT_TRUE(limiares->TabelaAreas->isVisible());
  EXPECT_TRUE(PlacementIsWhole(limiares->TabelaAreas));
  EXPECT_TRUE(ClearOf(limiares->TabelaAreas, limiares));
  // Fifteen levels: the window and the table beside it grow.
  while (limiares->NumNiveis < 15) limiares->BtNovo->click();
  Framed();
  Shot("thresholds-15-levels");
  EXPECT_TRUE(PlacementIsWhole(limiares));
  EXPECT_TRUE(PlacementIsWhole(limiares->TabelaAreas));
  EXPECT_TRUE(ClearOf(limiares->TabelaAreas, limiares));
  // The colour dialog is modal: never under the stay-on-top table.
  int vistos = 0;
  dialogs->checks.push_back([&](QDialog& form) {
    ++vistos;
    EXPECT_EQ(form.objectName(), "FormListaDeCores");
    Shot("colours-over-the-table");
    EXPECT_TRUE(PlacementIsWhole(&form));
    EXPECT_TRUE(LayoutIsWhole(&form));
    EXPECT_TRUE(OnTheMainWindow(&form));
  });
  limiares->BtAlterarCores->click();
  EXPECT_EQ(vistos, 1);
  // At the right edge of the client area the table beside the window would leave the
  // screen.
  ToTheCorner(limiares);
  // Closed and shown again (as its button does), docking to the window where it is now.
  limiares->TabelaAreas->hide();
  Framed();
  limiares->SetExibirAreas(true);
  Framed();
  ASSERT_TRUE(limiares->TabelaAreas->isVisible());
  Shot("areas-table-at-the-edge");
  EXPECT_TRUE(PlacementIsWhole(limiares));
  EXPECT_TRUE(PlacementIsWhole(limiares->TabelaAreas));
  EXPECT_TRUE(ClearOf(limiares->TabelaAreas, limiares));
  // Back to one level and up to fifteen again there: the table keeps clear as both grow.
  while (limiares->NumNiveis > 1) limiares->BtExcluir->click();
  Framed();
  EXPECT_TRUE(ClearOf(limiares->TabelaAreas, limiares)) << "at one level";
  while (limiares->NumNiveis < 15) {
    limiares->BtNovo->click();
    Framed();
    EXPECT_TRUE(ClearOf(limiares->TabelaAreas, limiares)) << "at " << limiares->NumNiveis;
  }
  Shot("areas-table-at-the-edge-15-levels");
  EXPECT_TRUE(PlacementIsWhole(limiares));
  EXPECT_TRUE(PlacementIsWhole(limiares->TabelaAreas));
}

TEST_F(Placement, AnOverlaidHistogramGrowsInsideTheClientArea) {
  QStringList arquivos;
  for (int k = 0; k < 6; ++k) {
    const QString path = folder.File(QString("fases/fase%1.his").arg(k));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (int g = 0; g < 256; ++g)
      f.write(QString("%1 %2\n").arg(g).arg((g * (k + 1)) % 97).toLatin1());
    arquivos << path;
  }
  principal->Histograma->trigger();
  Framed();
  auto* histograma = dynamic_cast<TFormHistograma*>(principal->FilhaAtiva());
  ASSERT_TRUE(histograma);
  ToTheCorner(histograma);
  for (const QString& a : arquivos) histograma->AbrirComparacao(a);
  Framed();
  Shot("overlaid-histogram");
  EXPECT_TRUE(PlacementIsWhole(histograma));
  EXPECT_TRUE(LayoutIsWhole(histograma));
}

TEST_F(Placement, TheWindowArrangementsKeepEveryCaptionReachable) {
  for (int k = 0; k < 4; ++k) ASSERT_TRUE(Imagem(QString("j%1.bmp").arg(k), Grey(500, 400)));
  for (QAction* arranjo :
       {principal->Cascata, principal->LadoHorizontal, principal->LadoVertical}) {
    SCOPED_TRACE(arranjo->text().toStdString());
    arranjo->trigger();
    Framed();
    Shot("arranged-" + arranjo->objectName());
    for (TForm* f : principal->Filhas()) EXPECT_TRUE(PlacementIsWhole(f));
  }
}

TEST_F(Placement, ThePhaseListShowsLongNamesWhole) {
  TFormListaDeFases lista(principal);
  for (const char* nome : {"micrograph10_tile00", "micrograph10_tile01", "micrograph10_tile02"})
    lista.Lista->AdicionarItem(nome);
  int vistos = 0;
  dialogs->checks.push_back([&](QDialog& form) {
    ++vistos;
    Shot("phase-list");
    EXPECT_TRUE(LayoutIsWhole(&form));
    EXPECT_TRUE(PlacementIsWhole(&form));
    for (int i = 0; i < lista.Lista->Count(); ++i)
      EXPECT_EQ(lista.Lista->item(i)->toolTip(), lista.Lista->item(i)->text());
  });
  Dialogs().RunModal(lista);
  EXPECT_EQ(vistos, 1);
}

}  // namespace
}  // namespace vandrel::testing
