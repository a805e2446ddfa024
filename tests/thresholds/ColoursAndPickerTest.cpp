// The phase colour list on its own and through the thresholds window, the modal picker
// use of the thresholds window, the level control, and the area table's painting.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

#include "app/imaging/ui/Line.h"
#include "app/thresholds/ui/UListaDeCores.h"
#include "tests/thresholds/ThresholdsTestUtil.h"

namespace vandrel::testing {
namespace {

void Clicar(QWidget* w) {
  const QPointF p(5, 5);
  QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &release);
}

QStringList Faixas(const TFormListaDeCores& d) {
  QStringList out;
  for (const QLabel* l : d.Faixas) out << l->text();
  return out;
}

// Scripted dialogs that also record the colour each colour dialog opened with.
class ColourRecorder : public ScriptedDialogs {
 public:
  std::vector<QColor> initial;
  std::optional<QColor> ChooseColor(const QColor& start) override {
    initial.push_back(start);
    return ScriptedDialogs::ChooseColor(start);
  }
};

Limiares Lim(std::initializer_list<int> thresholds) {
  Limiares lim = LimiaresIniciais();
  int i = 1;
  for (int t : thresholds) lim[size_t(i++)] = uint8_t(t);
  return lim;
}

TEST(ListaDeCoresTest, OneRowPerPhase) {
  TFormListaDeCores um(nullptr, 1, Lim({128}), PaletaPadrao());
  EXPECT_EQ(um.windowTitle(), "Cores");
  EXPECT_FALSE(um.Aceito);
  EXPECT_EQ(Faixas(um), (QStringList{"000 - 128", "128 - 255"}));
  ASSERT_EQ(um.Cores.size(), 2u);
  EXPECT_EQ(um.Cores[0]->objectName(), "s1");
  EXPECT_EQ(um.Cores[1]->objectName(), "s2");
  EXPECT_EQ(um.Cores[0]->Cor(), QColor(Qt::black));
  EXPECT_EQ(um.Cores[1]->Cor(), QColor(Qt::white));
  EXPECT_EQ(um.Cores[1]->geometry(), QRect(4, 28, 20, 20));
  EXPECT_EQ(um.Faixas[1]->geometry().topLeft(), QPoint(43, 30));
  EXPECT_GE(um.Faixas[1]->width(), um.Faixas[1]->fontMetrics().horizontalAdvance("128 - 255"));
  EXPECT_EQ(um.CaixaDeCores->height(), 28 + 24);
  EXPECT_EQ(um.BtOK->y(), 28 + 24 + 5);
  EXPECT_EQ(um.BtOK->text(), "OK");
  EXPECT_EQ(um.BtCancel->text(), "Cancelar");

  Limiares lim = LimiaresIniciais();
  for (int i = 1; i <= 15; ++i) lim[size_t(i)] = uint8_t(7 * i);
  TFormListaDeCores quinze(nullptr, 15, lim, PaletaPadrao());
  const QStringList f = Faixas(quinze);
  ASSERT_EQ(f.size(), 16);
  EXPECT_EQ(f[0], "000 - 007");
  EXPECT_EQ(f[14], "098 - 105");
  EXPECT_EQ(f[15], "105 - 255");
  EXPECT_EQ(quinze.Cores[15]->Cor(), QColor(0x80, 0x80, 0x00));  // olive
  // 24 pixels more per level.
  EXPECT_EQ(quinze.CaixaDeCores->height() - um.CaixaDeCores->height(), 14 * 24);
  EXPECT_EQ(quinze.height() - um.height(), 14 * 24);
  EXPECT_EQ(quinze.BtCancel->geometry().bottom() + 1 - quinze.Cores[15]->geometry().bottom(),
            um.BtCancel->geometry().bottom() + 1 - um.Cores[1]->geometry().bottom());
}

TEST(ListaDeCoresTest, AClickOnASwatchStoresTheChosenColour) {
  auto owned = std::make_unique<ColourRecorder>();
  ColourRecorder* script = owned.get();
  std::unique_ptr<DialogService> previous = SetDialogs(std::move(owned));
  {
    TFormListaDeCores d(nullptr, 2, Lim({50, 100}), PaletaPadrao());
    script->colors.push_back(QColor(10, 20, 30));
    Clicar(d.Cores[1]);
    // Stored blue, green, red for phase 1; the swatch shows it.
    EXPECT_EQ(d.Paleta[1], (TriploCor{30, 20, 10}));
    EXPECT_EQ(d.Cores[1]->Cor(), QColor(10, 20, 30));
    // A cancelled colour dialog changes nothing; the next one opens with the colour the
    // last one returned, not with the swatch's own.
    script->colors.push_back(std::nullopt);
    Clicar(d.Cores[2]);
    EXPECT_EQ(d.Paleta[2], PaletaPadrao()[2]);
    script->colors.push_back(QColor(1, 2, 3));
    Clicar(d.Cores[0]);
    EXPECT_EQ(d.Paleta[0], (TriploCor{3, 2, 1}));
    ASSERT_EQ(script->initial.size(), 3u);
    EXPECT_EQ(script->initial[0], QColor(Qt::black));
    EXPECT_EQ(script->initial[1], QColor(10, 20, 30));
    EXPECT_EQ(script->initial[2], QColor(10, 20, 30));
    EXPECT_FALSE(d.Aceito);
  }
  SetDialogs(std::move(previous));
}

TEST_F(ThresholdsTest, ColoursChosenAndAcceptedRecolourThePhases) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  w->BtNovo->click();
  Barra(w, 2)->setValue(200);
  dialogs->colors.push_back(QColor(0, 0, 255));
  QStringList faixas;
  dialogs->forms.push_back([&](QDialog& form) {
    auto& lista = dynamic_cast<TFormListaDeCores&>(form);
    faixas = Faixas(lista);
    Clicar(lista.Cores[1]);
    lista.BtOK->click();
  });
  w->BtAlterarCores->click();
  w->Timer1Timer();  // the change waits for the next tick
  EXPECT_EQ(dialogs->formsRun, std::vector<QString>{"FormListaDeCores"});
  EXPECT_EQ(faixas, (QStringList{"000 - 128", "128 - 200", "200 - 255"}));
  EXPECT_EQ(w->Paleta[1], (TriploCor{255, 0, 0}));
  EXPECT_EQ(w->TabelaAreas->Paleta, w->Paleta);
  // The preview paints phase 1 (129..200) blue.
  const uint8_t* p = imagem->BitmapImagem.scanLine(9) + 3 * 4;  // level 148
  EXPECT_EQ((TriploCor{p[0], p[1], p[2]}), (TriploCor{255, 0, 0}));
}

TEST_F(ThresholdsTest, ColoursChosenAndCancelledKeepTheOldPalette) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  dialogs->colors.push_back(QColor(0, 255, 0));
  dialogs->forms.push_back([&](QDialog& form) {
    auto& lista = dynamic_cast<TFormListaDeCores&>(form);
    Clicar(lista.Cores[0]);
    lista.BtCancel->click();
  });
  w->BtAlterarCores->click();
  EXPECT_EQ(w->Paleta, PaletaPadrao());
  EXPECT_EQ(w->TabelaAreas->Paleta, PaletaPadrao());
}

// ---- the picker use, as the fitting method dialog runs it ----

// Trims the window as the method dialog does and runs it with `script` as the user.
RegistroLimiares Usar(TFormLimiares* w, ScriptedDialogs& dialogs, int niveis,
                      std::function<void(TFormLimiares&)> script, int* resultado = nullptr) {
  for (QWidget* c : std::initializer_list<QWidget*>{
           w->BtSalvarPaleta, w->BtAlterarCores, w->BAbrirPaleta, w->BtNovo, w->BtExcluir,
           w->BtSalvarLimiares, w->BtAbrirLimiares, w->BtAplicar, w->Bevel1, w->CheckBoxpreview})
    c->hide();
  w->SetExibirAreas(true);
  for (int i = 0; i < niveis - 1; ++i) w->BtNovoClick();
  w->LigarBtOK([w] { w->Aceitar(); });
  dialogs.forms.push_back([script](QDialog& form) {
    auto* janela = form.findChild<TFormLimiares*>();
    ASSERT_TRUE(janela);
    EXPECT_TRUE(janela->isVisible());
    EXPECT_TRUE(janela->TabelaAreas->isVisible());
    script(*janela);
  });
  const int r = w->MostrarModal();
  if (resultado) *resultado = r;
  return w->GetLimiares();
}

TEST_F(ThresholdsTest, PickerReturnsTheAcceptedThresholds) {
  std::unique_ptr<TFormLimiares> w(TFormLimiares::CreateComBitmap(nullptr, TodosOsNiveis()));
  EXPECT_FALSE(w->JanelaOrigem);
  EXPECT_FALSE(w->SubWindow());
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(QuantasJanelas(), 0);
  EXPECT_EQ(w->GetLimiares().n, 0);  // not accepted yet
  int resultado = -1;
  const RegistroLimiares r = Usar(
      w.get(), *dialogs, 3,
      [](TFormLimiares& j) {
        j.Niveis[1]->Barra->setValue(200);
        j.Niveis[2]->Barra->setValue(20);
        j.Niveis[3]->Barra->setValue(90);
        j.Timer1Timer();
        j.BtOK->click();
      },
      &resultado);
  EXPECT_EQ(dialogs->formsRun, std::vector<QString>{"FormLimiares"});
  EXPECT_EQ(resultado, QDialog::Accepted);
  EXPECT_EQ(r.n, 3);
  EXPECT_EQ(r.lim, Lim({20, 90, 200}));
  // Still alive for the caller, hidden, with nothing applied anywhere.
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(w->Aceito);
  EXPECT_EQ(principal->Filhas().size(), 0u);
  EXPECT_EQ(w->Imagem, TodosOsNiveis());
}

TEST_F(ThresholdsTest, PickerClosedWithoutOkGivesCountZero) {
  std::unique_ptr<TFormLimiares> w(TFormLimiares::CreateComBitmap(nullptr, TodosOsNiveis()));
  // Closed by the frame's close box (the scripted dialog rejects what stays open).
  RegistroLimiares r =
      Usar(w.get(), *dialogs, 2, [](TFormLimiares& j) { j.Niveis[1]->Barra->setValue(10); });
  EXPECT_EQ(r.n, 0);
  std::unique_ptr<TFormLimiares> w2(TFormLimiares::CreateComBitmap(nullptr, TodosOsNiveis()));
  r = Usar(w2.get(), *dialogs, 2, [](TFormLimiares& j) { j.BtCancelar->click(); });
  EXPECT_EQ(r.n, 0);
  EXPECT_FALSE(w2->Aceito);
}

TEST_F(ThresholdsTest, PickerOfOnePhaseOrTwoHasOneLevel) {
  for (int niveis : {0, 1}) {
    std::unique_ptr<TFormLimiares> w(TFormLimiares::CreateComBitmap(nullptr, TodosOsNiveis()));
    const RegistroLimiares r =
        Usar(w.get(), *dialogs, niveis, [](TFormLimiares& j) { j.BtOK->click(); });
    EXPECT_EQ(w->NumNiveis, 1);
    EXPECT_EQ(r.n, 1);
    EXPECT_EQ(r.lim, Lim({128}));
  }
}

TEST_F(ThresholdsTest, PickerOnABitmapThatIsNotEightBitShowsNoAreas) {
  for (Bitmap b : {Bitmap(5, 4, PixelFormat::pf24bit), Bitmap(0, 0, PixelFormat::pf8bit)}) {
    dialogs->messages.clear();
    std::unique_ptr<TFormLimiares> w(TFormLimiares::CreateComBitmap(nullptr, b));
    if (b.format() != PixelFormat::pf8bit)
      EXPECT_EQ(dialogs->Texts(), QStringList{"Essa não é uma imagem de 8 bits"});
    else
      EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(LinhaDaTabela(w.get(), 1), (QStringList{"0", "128", "0"}));
    EXPECT_EQ(LinhaDaTabela(w.get(), 2), (QStringList{"128", "255", "0"}));
    const RegistroLimiares r =
        Usar(w.get(), *dialogs, 2, [](TFormLimiares& j) { j.BtOK->click(); });
    EXPECT_EQ(r.n, 2);
  }
}

TEST_F(ThresholdsTest, PickerOwnedByItsCallerGoesWithIt) {
  auto* dono = new QWidget;
  QPointer<TFormLimiares> w = TFormLimiares::CreateComBitmap(dono, TodosOsNiveis());
  delete dono;
  Settle();
  EXPECT_FALSE(w);
}

// ---- the level control ----

TEST(NivelTest, CreatesItsPartsAtTheirPlaces) {
  QWidget dono;
  TNivel nivel(&dono, 2, 209, 185, 0);
  EXPECT_EQ(nivel.Esquerda, 2);
  EXPECT_EQ(nivel.Topo, 209);
  EXPECT_EQ(nivel.Barra->geometry(), QRect(2, 209, 275, 17));
  EXPECT_EQ(nivel.Barra->minimum(), 0);
  EXPECT_EQ(nivel.Barra->maximum(), 255);
  EXPECT_EQ(nivel.Barra->tickPosition(), QSlider::NoTicks);
  EXPECT_EQ(nivel.Linha->geometry().topLeft(), QPoint(10, 24));
  EXPECT_EQ(nivel.Linha->height(), 185);
  EXPECT_EQ(nivel.Linha->Pen().color(), QColor(255, 0, 0));
  EXPECT_EQ(nivel.Linha->Pen().width(), 3);
  EXPECT_EQ(nivel.Linha->Direction(), ldVertical);
  EXPECT_EQ(nivel.Rotulo->text(), "000");
  EXPECT_EQ(nivel.Rotulo->geometry().topLeft(), QPoint(280, 212));
  EXPECT_EQ(nivel.Rotulo->width(), 21);
  EXPECT_TRUE(nivel.Rotulo->font().bold());
  EXPECT_EQ(nivel.Rotulo->palette().color(QPalette::Window), QColor(255, 0, 0));
  // Its own change handler runs until it is replaced.
  nivel.Barra->setValue(255);
  EXPECT_EQ(nivel.Rotulo->text(), "255");
  EXPECT_EQ(nivel.Rotulo->palette().color(QPalette::WindowText), QColor(255, 255, 255));
  EXPECT_EQ(nivel.Linha->x(), 265);
  int vezes = 0;
  nivel.DefinirChange([&] { ++vezes; });
  nivel.Barra->setValue(7);
  EXPECT_EQ(vezes, 1);
  EXPECT_EQ(nivel.Rotulo->text(), "255");
  nivel.Atualizar();
  EXPECT_EQ(nivel.Rotulo->text(), "007");
}

TEST(NivelTest, FreesItsPartsAndSurvivesItsOwner) {
  auto* dono = new QWidget;
  auto* nivel = new TNivel(dono, 2, 209, 185, 0);
  QPointer<QSlider> barra = nivel->Barra;
  delete nivel;
  EXPECT_FALSE(barra);
  EXPECT_TRUE(dono->findChildren<QWidget*>().isEmpty());
  // Parts freed with their owner first leave nothing to free twice.
  nivel = new TNivel(dono, 2, 209, 185, 0);
  delete dono;
  EXPECT_FALSE(nivel->Barra);
  nivel->Atualizar();
  delete nivel;
}

// ---- the area table's painting ----

TEST_F(ThresholdsTest, AreaTablePaintsHeaderSwatchesAndCells) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  w->BtNovo->click();
  Barra(w, 2)->setValue(200);
  TFTabelaDasAreas* t = w->TabelaAreas;
  EXPECT_EQ(t->GridAreas->height(), 4 * 18 + 2);
  const QImage img = t->GridAreas->grab().toImage();
  auto centro = [&](int c, int r) {
    return t->GridAreas->visualRect(t->GridAreas->model()->index(r, c)).center();
  };
  auto cor = [&](int c, int r) {
    // A pixel of the cell away from its text: near its top-right corner.
    const QRect rect = t->GridAreas->visualRect(t->GridAreas->model()->index(r, c));
    return img.pixelColor(rect.right() - 1, rect.top() + 1);
  };
  EXPECT_EQ(cor(0, 0), QColor(Qt::black));
  EXPECT_EQ(cor(3, 0), QColor(Qt::black));
  EXPECT_EQ(img.pixelColor(centro(0, 1)), QColor(Qt::black));  // phase 0
  EXPECT_EQ(img.pixelColor(centro(0, 2)), QColor(Qt::white));  // phase 1
  EXPECT_EQ(img.pixelColor(centro(0, 3)), QColor(255, 0, 0));  // phase 2
  EXPECT_EQ(cor(1, 1), QColor(255, 196, 196));
  EXPECT_EQ(cor(2, 3), QColor(255, 196, 196));
  EXPECT_EQ(cor(3, 2), QColor(255, 128, 128));
  // Column widths 34, 40, 40, 53, each with its grid line.
  EXPECT_EQ(t->GridAreas->columnWidth(0), 35);
  EXPECT_EQ(t->GridAreas->columnWidth(3), 54);
  // A new palette shows once copied in and repainted.
  t->Paleta[0] = {0, 255, 0};
  t->Repintar();
  const QImage depois = t->GridAreas->grab().toImage();
  EXPECT_EQ(depois.pixelColor(centro(0, 1)), QColor(0, 255, 0));
}

}  // namespace
}  // namespace vandrel::testing
