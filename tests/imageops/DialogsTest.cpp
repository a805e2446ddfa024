// The brightness and similar-pixels dialogs, run modally by the main window through the
// scripted dialog service: their controls at start, the handlers between the controls, and
// the output windows that OK makes.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>

#include "app/imaging/ui/UnitBrilho.h"
#include "app/imaging/ui/UnitSimilares.h"
#include "platform/qt/StandardColors.h"
#include "tests/imageops/OperationsFixture.h"

namespace vandrel::testing {
namespace {

using Levels2 = std::vector<std::vector<int>>;
using Cores2 = std::vector<std::vector<int32_t>>;

Cores2 Cores(const Bitmap& b) {
  EXPECT_EQ(b.format(), PixelFormat::pf24bit);
  Cores2 out(size_t(b.height()));
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) {
      const Bytes3 p = PixelBytes(b, x, y);
      out[size_t(y)].push_back(p[2] | (p[1] << 8) | (p[0] << 16));
    }
  return out;
}

void Clicar(QWidget* w) {
  const QPointF p(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(w, &press);
}

// ---- Brightness ----------------------------------------------------------------------------

class Brilho : public Operacoes {
 protected:
  // Runs the Brilho command with `script` filling in the dialog.
  void Executar(std::function<void(TFormBrilho&)> script) {
    dialogs->forms.push_back([script](QDialog& d) {
      auto* f = dynamic_cast<TFormBrilho*>(&d);
      ASSERT_TRUE(f);
      script(*f);
    });
    principal->Brilho->trigger();
    Settle();
  }
};

TEST_F(Brilho, DialogStartsAtZeroAndShowsThePercentage) {
  Abrir(Grey({{1}}), "a.bmp");
  Executar([](TFormBrilho& f) {
    EXPECT_EQ(f.windowTitle(), "Controle de Brilho");
    EXPECT_EQ(f.Label1->text(), "&Percentual de Brilho:");
    EXPECT_EQ(f.Label1->buddy(), f.BarraBrilho);
    EXPECT_EQ(f.LPercBrilho->text(), "0%");
    EXPECT_TRUE(f.LPercBrilho->font().bold());
    EXPECT_EQ(f.BarraBrilho->minimum(), 0);
    EXPECT_EQ(f.BarraBrilho->maximum(), 100);
    EXPECT_EQ(f.BarraBrilho->singleStep(), 1);
    EXPECT_EQ(f.BarraBrilho->value(), 0);
    EXPECT_EQ(f.ButtonOK->text(), "&OK");
    EXPECT_EQ(f.BtCancelar->text(), "&Cancelar");
    EXPECT_EQ(f.BtHelp->text(), "&Ajuda");
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
    for (int v : {37, 100, 0}) {
      f.BarraBrilho->setValue(v);
      EXPECT_EQ(f.LPercBrilho->text(), QString::number(v) + "%");
    }
    f.BtHelp->click();  // does nothing
    EXPECT_TRUE(f.isVisible());
  });
  EXPECT_EQ(dialogs->formsRun, std::vector<QString>{"FormBrilho"});
}

TEST_F(Brilho, OkPutsTheBrightenedCopyInAnOutputWindow) {
  const Bitmap fonte = Grey({{100, 200}, {0, 127}}, PaletaCinzaDeTeste());
  TFormImagem* w = Abrir(fonte, "b.bmp");
  Executar([](TFormBrilho& f) {
    f.BarraBrilho->setValue(50);
    f.ButtonOK->click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.result(), QDialog::Accepted);
  });
  ASSERT_EQ(Novas(1).size(), 1u);
  auto* saida = dynamic_cast<TFormImagemSaida*>(Novas(1)[0]);
  ASSERT_TRUE(saida);
  EXPECT_EQ(saida->Origem, w);
  EXPECT_EQ(saida->Owner(), w);
  EXPECT_EQ(saida->Caption(), "b.bmp - Brilho");
  EXPECT_EQ(Levels(saida->BitmapImagem), (Levels2{{227, 255}, {127, 254}}));
  EXPECT_EQ(saida->BitmapImagem.palette(), PaletaCinzaDeTeste());
  EXPECT_EQ(w->BitmapImagem, fonte);
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(Brilho, ExtremesGiveACopyOrWhite) {
  TFormImagem* w = Abrir(Grey({{0, 9, 255}}), "c.bmp");
  Executar([](TFormBrilho& f) { f.ButtonOK->click(); });
  Ativar(w);
  Executar([](TFormBrilho& f) {
    f.BarraBrilho->setValue(100);
    f.ButtonOK->click();
  });
  const std::vector<TFormImagem*> novas = Novas(1);
  ASSERT_EQ(novas.size(), 2u);
  EXPECT_EQ(Levels(novas[0]->BitmapImagem), (Levels2{{0, 9, 255}}));
  EXPECT_EQ(Levels(novas[1]->BitmapImagem), (Levels2{{255, 255, 255}}));
}

TEST_F(Brilho, AcceptsAnOutputWindowAsSource) {
  TFormImagem* fonte = Abrir(Grey({{10}}), "d.bmp");
  TFormImagemSaida* filtrada = AbrirSaida(fonte, Grey({{20}}), "d.bmp - Filtro da Média");
  Executar([](TFormBrilho& f) {
    f.BarraBrilho->setValue(1);
    f.ButtonOK->click();
  });
  ASSERT_EQ(Novas(2).size(), 1u);
  auto* saida = dynamic_cast<TFormImagemSaida*>(Novas(2)[0]);
  ASSERT_TRUE(saida);
  EXPECT_EQ(saida->Origem, filtrada);
  EXPECT_EQ(saida->Caption(), "d.bmp - Filtro da Média - Brilho");
  EXPECT_EQ(Levels(saida->BitmapImagem), (Levels2{{22}}));
}

TEST_F(Brilho, CancelOrClosingMakesNoWindow) {
  Abrir(Grey({{10}}), "e.bmp");
  Executar([](TFormBrilho& f) {
    f.BarraBrilho->setValue(80);
    f.BtCancelar->click();
    EXPECT_FALSE(f.isVisible());
  });
  Executar([](TFormBrilho& f) { f.BarraBrilho->setValue(80); });  // closed by the script
  EXPECT_EQ(Imagens().size(), 1u);
}

// ---- Similar pixels ------------------------------------------------------------------------

class Similares : public Operacoes {
 protected:
  void Executar(std::function<void(TFormSimilares&)> script) {
    dialogs->forms.push_back([script](QDialog& d) {
      auto* f = dynamic_cast<TFormSimilares*>(&d);
      ASSERT_TRUE(f);
      script(*f);
    });
    principal->Similares->trigger();
    Settle();
  }
  // The dialog on `w` as the main window makes it, without running it.
  std::unique_ptr<TFormSimilares> Dialogo(TFormImagem* w) {
    return std::unique_ptr<TFormSimilares>(TFormSimilares::CreateComImagem(principal.get(), w));
  }
};

TEST_F(Similares, DialogStartsWithItsDefaults) {
  TFormImagem* w = Abrir(Grey({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}}), "g.bmp");
  const std::unique_ptr<TFormSimilares> f = Dialogo(w);
  EXPECT_EQ(f->windowTitle(), "Similares");
  EXPECT_GE(f->width(), 330);
  EXPECT_GE(f->height(), 155);
  EXPECT_EQ(f->GroupBoxValores->title(), "Valores de pixels a serem processados ");
  EXPECT_EQ(f->GroupBoxNovaCor->title(), "Escolha a nova cor dos pixels");
  EXPECT_EQ(f->GroupBoxFundo->title(), "Cor do Fundo:");
  const std::pair<QAbstractButton*, const char*> textos[] = {
      {f->RadioButton1, "Os"},
      {f->RadioButton2, "O valor médio dos valores"},
      {f->RadioButton3, "Todos os valores da seleção"},
      {f->RadioButton5, "Manter a cor original "},
      {f->RadioButton6, "Selecionar cor "},
      {f->RadioButtonFundoBranco, "Branco"},
      {f->RadioButtonFundoPreto, "Preto"},
      {f->RadioButton4, "Outra"},
      {f->Button1, "OK"},
      {f->Button2, "Cancelar"},
      {f->Button3, "&Ajuda"}};
  for (auto [botao, texto] : textos) EXPECT_EQ(botao->text(), texto);
  EXPECT_EQ(f->Label1->text(), "de maior frequência");
  EXPECT_TRUE(f->RadioButton1->isChecked());
  EXPECT_TRUE(f->RadioButton2->isEnabled());
  EXPECT_TRUE(f->RadioButton5->isChecked());
  EXPECT_TRUE(f->RadioButtonFundoBranco->isChecked());
  EXPECT_EQ(f->SpinEditNoSemelhantes->value(), 3);
  EXPECT_EQ(f->SpinEditNoSemelhantes->minimum(), 0);
  EXPECT_EQ(f->SpinEditNoSemelhantes->maximum(), 11);  // width x height - 1
  EXPECT_FALSE(f->ShapeCor->isEnabled());
  EXPECT_EQ(f->ShapeCor->Cor(), QColor(Qt::blue));
  ASSERT_EQ(f->ColorBox1->count(), int(StandardColors().size()));
  for (int i = 0; i < f->ColorBox1->count(); ++i)
    EXPECT_EQ(f->ColorBox1->itemText(i), StandardColors()[size_t(i)].name);
}

TEST_F(Similares, MeanOptionIsDisabledFor24BitImages) {
  TFormImagem* w = Abrir(Rgb({{{1, 1, 1}}}), "c.bmp");
  const std::unique_ptr<TFormSimilares> f = Dialogo(w);
  EXPECT_FALSE(f->RadioButton2->isEnabled());
  EXPECT_EQ(f->SpinEditNoSemelhantes->maximum(), 0);
}

TEST_F(Similares, OtherColourSwatchAndColourBox) {
  TFormImagem* w = Abrir(Grey({{1}}), "g.bmp");
  const std::unique_ptr<TFormSimilares> f = Dialogo(w);
  f->show();
  // Disabled at start: a click opens no colour dialog.
  dialogs->colors.push_back(QColor(Qt::green));
  Clicar(f->ShapeCor);
  EXPECT_EQ(dialogs->colors.size(), 1u);
  f->RadioButton4->click();
  EXPECT_TRUE(f->RadioButton4->isChecked());
  EXPECT_TRUE(f->ShapeCor->isEnabled());
  Clicar(f->ShapeCor);
  EXPECT_TRUE(dialogs->colors.empty());
  EXPECT_EQ(f->ShapeCor->Cor(), QColor(Qt::green));
  dialogs->colors.push_back(std::nullopt);  // cancelled: the swatch keeps its colour
  Clicar(f->ShapeCor);
  EXPECT_EQ(f->ShapeCor->Cor(), QColor(Qt::green));

  EXPECT_FALSE(f->RadioButton6->isChecked());
  f->ColorBox1->setCurrentIndex(9);
  EXPECT_TRUE(f->RadioButton6->isChecked());
  EXPECT_FALSE(f->RadioButton5->isChecked());
}

TEST_F(Similares, OkRecoloursTheWholeImageFromTheColoursOfTheSelection) {
  const Bitmap fonte = Grey({{10, 20, 30}, {20, 10, 99}});
  TFormImagem* w = Abrir(fonte, "g.bmp");
  Selecionar(*w, 0, 0, 1, 0);
  ASSERT_EQ(w->InicioSelecao(), (Point{0, 0}));
  ASSERT_EQ(w->FimSelecao(), (Point{1, 0}));
  Executar([](TFormSimilares& f) {
    f.RadioButton3->setChecked(true);
    f.RadioButtonFundoPreto->setChecked(true);
    f.Button1->click();
    EXPECT_FALSE(f.isVisible());
  });
  EXPECT_EQ(dialogs->formsRun, std::vector<QString>{"FormSimilares"});
  ASSERT_EQ(Novas(1).size(), 1u);
  auto* saida = dynamic_cast<TFormImagemSaida*>(Novas(1)[0]);
  ASSERT_TRUE(saida);
  EXPECT_EQ(saida->Origem, w);
  EXPECT_EQ(saida->Owner(), w);
  // The caption of the source as it stands, with the size the selection drag put there.
  EXPECT_EQ(saida->Caption(), "g.bmp (2 x 1 = 2) - Similares");
  EXPECT_EQ(Cores(saida->BitmapImagem), (Cores2{{0x0A0A0A, 0x141414, 0}, {0x141414, 0x0A0A0A, 0}}));
  EXPECT_EQ(w->BitmapImagem, fonte);
}

struct CasoSimilares {
  const char* caso;
  std::function<void(TFormSimilares&)> escolher;
  Cores2 esperado;
};

class SimilaresOpcoes : public Similares, public ::testing::WithParamInterface<CasoSimilares> {};

// Levels 10 (x3), 20 and 40 selected in the first row; the second row holds other levels.
TEST_P(SimilaresOpcoes, ChoicesOfTheDialog) {
  TFormImagem* w = Abrir(Grey({{10, 10, 10, 20, 40}, {23, 255, 40, 10, 20}}), "m.bmp");
  Selecionar(*w, 0, 0, 4, 0);
  Executar([](TFormSimilares& f) {
    GetParam().escolher(f);
    f.Button1->click();
  });
  ASSERT_EQ(Novas(1).size(), 1u);
  EXPECT_EQ(Cores(Novas(1)[0]->BitmapImagem), GetParam().esperado);
}

constexpr int32_t W = 0xFFFFFF, K = 0, R = 0x0000FF;
constexpr int32_t L10 = 0x0A0A0A, L20 = 0x141414, L23 = 0x171717, L40 = 0x282828;

INSTANTIATE_TEST_SUITE_P(
    Casos, SimilaresOpcoes,
    ::testing::Values(
        // "Os" 3 by default, white background: 10 (3), 20 and 40 all listed.
        CasoSimilares{
            "Padrao", [](TFormSimilares&) {}, {{L10, L10, L10, L20, L40}, {W, W, L40, L10, L20}}},
        CasoSimilares{"OsUm",
                      [](TFormSimilares& f) { f.SpinEditNoSemelhantes->setValue(1); },
                      {{L10, L10, L10, W, W}, {W, W, W, L10, W}}},
        CasoSimilares{"OsZero",
                      [](TFormSimilares& f) { f.SpinEditNoSemelhantes->setValue(0); },
                      {{W, W, W, W, W}, {W, W, W, W, W}}},
        // More asked than listed: white (255) is not in the selection and is not marked.
        CasoSimilares{"OsAlemDaLista",
                      [](TFormSimilares& f) {
                        f.SpinEditNoSemelhantes->setValue(8);
                        f.RadioButtonFundoPreto->setChecked(true);
                      },
                      {{L10, L10, L10, L20, L40}, {K, K, L40, L10, L20}}},
        CasoSimilares{"Media",
                      [](TFormSimilares& f) {
                        f.RadioButton2->setChecked(true);
                        f.RadioButtonFundoPreto->setChecked(true);
                      },
                      {{K, K, K, K, K}, {L23, K, K, K, K}}},
        CasoSimilares{"CorVermelha",
                      [](TFormSimilares& f) {
                        f.SpinEditNoSemelhantes->setValue(2);
                        f.ColorBox1->setCurrentIndex(9);  // red
                        f.RadioButtonFundoPreto->setChecked(true);
                      },
                      {{R, R, R, R, K}, {K, K, K, R, R}}},
        CasoSimilares{"FundoOutra",
                      [](TFormSimilares& f) {
                        f.RadioButton3->setChecked(true);
                        f.RadioButton4->click();
                        f.ShapeCor->DefinirCor(QColor(1, 2, 3));
                      },
                      {{L10, L10, L10, L20, L40}, {0x030201, 0x030201, L40, L10, L20}}}),
    [](const ::testing::TestParamInfo<CasoSimilares>& info) {
      return std::string(info.param.caso);
    });

TEST_F(Similares, CancelMakesNoWindow) {
  Abrir(Grey({{1}}), "g.bmp");
  Executar([](TFormSimilares& f) { f.Button2->click(); });
  Executar([](TFormSimilares& f) { f.Button3->click(); });  // help does nothing
  EXPECT_EQ(Imagens().size(), 1u);
}

// The launcher refuses 24-bit images; the dialog made for one runs the 24-bit path.
TEST_F(Similares, TwentyFourBitPathRecoloursWithoutTheMean) {
  const Bitmap fonte = Rgb({{{1, 2, 3}, {4, 5, 6}}, {{1, 2, 3}, {9, 9, 9}}});
  TFormImagem* w = Abrir(fonte, "c.bmp");
  Selecionar(*w, 0, 0, 0, 0);
  const std::unique_ptr<TFormSimilares> f = Dialogo(w);
  dialogs->forms.push_back([](QDialog& d) {
    auto& s = dynamic_cast<TFormSimilares&>(d);
    s.RadioButtonFundoPreto->setChecked(true);
    s.Button1->click();
  });
  Dialogs().RunModal(*f);
  ASSERT_EQ(Novas(1).size(), 1u);
  EXPECT_EQ(Novas(1)[0]->Caption(), "c.bmp (1 x 1 = 1) - Similares");
  EXPECT_EQ(Cores(Novas(1)[0]->BitmapImagem), (Cores2{{0x010203, 0}, {0x010203, 0}}));
}

TEST_F(Similares, EmptyTwentyFourBitImageGivesAnEmptyUncaptionedWindow) {
  TFormImagem* w = Abrir(Bitmap(0, 0, PixelFormat::pf24bit), "vazia.bmp");
  const std::unique_ptr<TFormSimilares> f = Dialogo(w);
  f->ProcessarRGB(w);
  ASSERT_EQ(Novas(1).size(), 1u);
  EXPECT_TRUE(Novas(1)[0]->BitmapImagem.empty());
  EXPECT_EQ(Novas(1)[0]->Caption(), "");
}

}  // namespace
}  // namespace vandrel::testing
