// The contrast window driven through its controls: its opening state, the level-window
// sliders, the type choice, the gamma slider, the inversion, the mouse on the curve area
// (hand-made curves and the histogram's scale), "Aplicar", "OK" and "Fechar", and the main
// window's command that runs it modally.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <memory>

#include "app/histograms/ui/UDSHistograma.h"
#include "app/imaging/model/UGama.h"
#include "app/imaging/ui/Grafico.h"
#include "app/imaging/ui/Line.h"
#include "app/imaging/ui/UGama.h"
#include "app/imaging/ui/UnitImagem.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "platform/qt/Dialogs.h"
#include "tests/support/GuiTest.h"

namespace vandrel::testing {
namespace {

const QByteArray kConfig =
    "[caminhos]\ncaminhos_padrao=vandrel\n[Configuracao_selecao]\nlargura=1\ncor=0\nmarcar=NAO\n";

// 256 x 3: pixel (x, y) is level x, so an output row shows the whole curve.
Bitmap Ramp() {
  Bitmap b(256, 3, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 256; ++x) b.scanLine(y)[x] = uint8_t(x);
  return b;
}

TransferCurve Row(const Bitmap& b, int y) {
  TransferCurve c;
  std::copy_n(b.scanLine(y), 256, c.begin());
  return c;
}

class ContrastWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    TFormImagem::ContadorDeImagens = 0;
    principal = std::make_unique<TFormPrincipal>(TFormPrincipal::Options{folder.Path(), ""});
    principal->show();
    principal->Timer1->stop();
    Settle();
    imagem = Imagem("pic.bmp", Ramp());
  }
  void TearDown() override {
    form.reset();
    principal.reset();
    Settle();
  }

  TFormImagem* Imagem(const QString& nome, const Bitmap& b) {
    auto* w = new TFormImagem(principal.get());
    w->DefinirNome(nome);
    w->DefinirBitmap(b);
    w->Show();
    Settle();
    return w;
  }
  TFormContraste& Abrir() {
    form.reset(TFormContraste::CreateComImagem(principal.get(), imagem));
    return *form;
  }
  std::vector<TFormImagemSaida*> Saidas() const {
    std::vector<TFormImagemSaida*> out;
    for (TForm* f : principal->Filhas())
      if (auto* s = dynamic_cast<TFormImagemSaida*>(f)) out.push_back(s);
    return out;
  }
  void Item(int k) { form->rgTipoItens->button(k)->click(); }
  // A mouse event on the curve area, through Qt's delivery.
  void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(p), form->Grafico->mapToGlobal(QPointF(p)), button, held,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(form->Grafico, &e);
  }
  void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonPress, p, b, b);
  }
  void Move(QPoint p, Qt::MouseButtons held) { Mouse(QEvent::MouseMove, p, Qt::NoButton, held); }
  void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonRelease, p, b, Qt::NoButton);
  }
  // The curve that the form holds is the one its curve area shows.
  void ExpectShown() const { EXPECT_EQ(form->Grafico->Curva(), form->Curva); }

  ProgramFolder folder{kConfig};
  ScriptedDialogsScope dialogs;
  std::unique_ptr<TFormPrincipal> principal;
  TFormImagem* imagem = nullptr;
  std::unique_ptr<TFormContraste> form;
};

TEST_F(ContrastWindow, OpensLinearOverAllLevelsWithTheIdentityAndTheImagesHistogram) {
  Bitmap metade(256, 2, PixelFormat::pf8bit);
  metade.setPalette(GreyRamp());
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 256; ++x) metade.scanLine(y)[x] = uint8_t(x / 2);
  imagem = Imagem("half.bmp", metade);
  TFormContraste& f = Abrir();

  EXPECT_EQ(f.windowTitle(), "Contraste");
  EXPECT_EQ(f.Tipo, kTipoLinear);
  EXPECT_EQ(f.NomeTipo, "linear");
  EXPECT_EQ(f.Curva, IdentityCurve());
  ExpectShown();
  EXPECT_EQ(f.rgTipoItemIndex(), 2);
  EXPECT_TRUE(f.CbInverter->isEnabled());
  EXPECT_EQ(f.CbInverter->text(), "Inverter");
  EXPECT_FALSE(f.CbInverter->isChecked());
  EXPECT_TRUE(f.BarraGamma->isHidden());
  EXPECT_EQ(f.BarraGamma->value(), 91);
  EXPECT_EQ(f.lGamaValue->text(), "1.00");
  EXPECT_EQ(f.Barra1->value(), 0);
  EXPECT_EQ(f.Barra2->value(), 255);
  EXPECT_EQ(f.LPos1->text(), "000");
  EXPECT_EQ(f.LPos2->text(), "255");
  EXPECT_EQ(f.LimiteInferior, 0);
  EXPECT_EQ(f.LimiteSuperior, 255);
  EXPECT_EQ(f.Linha1->x(), 12);
  EXPECT_EQ(f.Linha2->x(), 267);
  EXPECT_FALSE(f.Linha1->isHidden());
  EXPECT_FALSE(f.AjustandoFator);
  EXPECT_EQ(f.CurvaFundo, TransferCurve{});
  EXPECT_EQ(f.BitmapOriginal, metade);
  EXPECT_EQ(f.JanelaImagem, imagem);
  // Levels 0 to 127, four pixels each out of 512.
  EXPECT_DOUBLE_EQ(f.Histograma->Valores()[0], 1.0 / 128);
  EXPECT_DOUBLE_EQ(f.Histograma->Valores()[127], 1.0 / 128);
  EXPECT_DOUBLE_EQ(f.Histograma->Valores()[128], 0.0);
  EXPECT_EQ(f.Histograma->Fator(), 1.0);
}

TEST_F(ContrastWindow, ApplyingOnOpeningGivesACopyInAnOutputWindowOfTheSource) {
  Abrir().BitBtn1->click();
  Settle();
  const auto saidas = Saidas();
  ASSERT_EQ(saidas.size(), 1u);
  EXPECT_EQ(saidas[0]->Origem, imagem);
  EXPECT_EQ(saidas[0]->Owner(), imagem);
  EXPECT_EQ(saidas[0]->BitmapImagem, imagem->BitmapImagem);
  EXPECT_EQ(saidas[0]->Caption(), "pic.bmp-Contraste linear");
}

TEST_F(ContrastWindow, TheSlidersSetTheLevelWindowItsMarkersAndTheCurve) {
  TFormContraste& f = Abrir();
  f.Barra1->setValue(100);
  f.Barra2->setValue(200);
  EXPECT_EQ(f.LPos1->text(), "100");
  EXPECT_EQ(f.LPos2->text(), "200");
  EXPECT_EQ(f.LimiteInferior, 100);
  EXPECT_EQ(f.LimiteSuperior, 200);
  EXPECT_EQ(f.Linha1->x(), 112);
  EXPECT_EQ(f.Linha2->x(), 212);
  EXPECT_EQ(f.Curva[99], 0);
  EXPECT_EQ(f.Curva[100], 0);
  EXPECT_EQ(f.Curva[150], 128);
  EXPECT_EQ(f.Curva[200], 255);
  EXPECT_EQ(f.Curva[201], 0);
  ExpectShown();

  f.BitBtn1->click();
  ASSERT_EQ(Saidas().size(), 1u);
  const Bitmap& out = Saidas()[0]->BitmapImagem;
  for (int y = 0; y < 3; ++y) EXPECT_EQ(Row(out, y), f.Curva) << y;
  EXPECT_EQ(imagem->BitmapImagem, Ramp());  // the source is never changed
  EXPECT_EQ(f.BitmapOriginal, Ramp());
}

TEST_F(ContrastWindow, TheSlidersKeepOneLevelBetweenTheEnds) {
  TFormContraste& f = Abrir();
  const struct {
    QSlider* TFormContraste::*bar;
    int value;
    int lower, upper;
  } steps[] = {
      {&TFormContraste::Barra2, 200, 0, 200},   {&TFormContraste::Barra1, 230, 230, 231},
      {&TFormContraste::Barra1, 200, 200, 231}, {&TFormContraste::Barra2, 150, 149, 150},
      {&TFormContraste::Barra1, 149, 149, 150}, {&TFormContraste::Barra1, 254, 254, 255},
      {&TFormContraste::Barra2, 1, 0, 1},       {&TFormContraste::Barra2, 0, 0, 1},
      {&TFormContraste::Barra1, 999, 254, 255},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.value);
    (f.*s.bar)->setValue(s.value);
    EXPECT_EQ(f.Barra1->value(), s.lower);
    EXPECT_EQ(f.Barra2->value(), s.upper);
    EXPECT_EQ(f.LimiteInferior, s.lower);
    EXPECT_EQ(f.LimiteSuperior, s.upper);
    EXPECT_EQ(f.LPos1->text(), QString::fromStdString(NumeroTresDigitos(s.lower)));
    EXPECT_EQ(f.LPos2->text(), QString::fromStdString(NumeroTresDigitos(s.upper)));
    EXPECT_EQ(f.Linha1->x(), s.lower + 12);
    EXPECT_EQ(f.Linha2->x(), s.upper + 12);
    EXPECT_EQ(f.Curva[size_t(s.lower)], 0);
    EXPECT_EQ(f.Curva[size_t(s.upper)], 255);
    ExpectShown();
  }
}

TEST_F(ContrastWindow, EachTypeSetsItsControls) {
  TFormContraste& f = Abrir();
  const struct {
    int item;
    uint8_t tipo;
    const char* nome;
    bool gamma, inverter;
    const char* inverterText;
    bool levels;
    Qt::CursorShape cursor;
  } cases[] = {
      {3, kTipoPersonalizado, "Personalizado", false, false, "Inverter", false,
       Qt::PointingHandCursor},
      {0, kTipoGama, "Gamma", true, false, "Inverter", true, Qt::UpArrowCursor},
      {1, kTipoLog, "Logarítmico", false, true, "Inverter Log", true, Qt::UpArrowCursor},
      {2, kTipoLinear, "linear", false, true, "Inverter", true, Qt::UpArrowCursor},
      {0, kTipoGama, "Gamma", true, false, "Inverter", true, Qt::UpArrowCursor},
      {3, kTipoPersonalizado, "Personalizado", false, false, "Inverter", false,
       Qt::PointingHandCursor},
      {1, kTipoLog, "Logarítmico", false, true, "Inverter Log", true, Qt::UpArrowCursor},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    Item(c.item);
    EXPECT_EQ(f.rgTipoItemIndex(), c.item);
    EXPECT_EQ(f.Tipo, c.tipo);
    EXPECT_EQ(f.NomeTipo, c.nome);
    EXPECT_EQ(!f.BarraGamma->isHidden(), c.gamma);
    EXPECT_EQ(f.CbInverter->isEnabled(), c.inverter);
    EXPECT_EQ(f.CbInverter->text(), c.inverterText);
    EXPECT_EQ(f.Barra1->isEnabled(), c.levels);
    EXPECT_EQ(f.Barra2->isEnabled(), c.levels);
    EXPECT_EQ(!f.Linha1->isHidden(), c.levels);
    EXPECT_EQ(!f.Linha2->isHidden(), c.levels);
    EXPECT_EQ(f.Grafico->cursor().shape(), c.cursor);
    ExpectShown();
  }
}

TEST_F(ContrastWindow, TheInversionIsKeptAcrossTypeChanges) {
  TFormContraste& f = Abrir();
  f.CbInverter->click();
  EXPECT_EQ(f.Curva[0], 255);
  EXPECT_EQ(f.Curva[255], 0);
  Item(1);  // logarithmic
  EXPECT_TRUE(f.CbInverter->isChecked());
  EXPECT_EQ(f.Curva[0], 1);
  EXPECT_EQ(f.Curva[128], 16);
  Item(0);  // gamma ignores it
  EXPECT_TRUE(f.CbInverter->isChecked());
  EXPECT_EQ(f.Curva[0], 1);
  EXPECT_EQ(f.Curva[255], 255);
  Item(2);
  EXPECT_EQ(f.Curva[0], 255);
  f.CbInverter->click();
  EXPECT_EQ(f.Curva, IdentityCurve());
  ExpectShown();
}

TEST_F(ContrastWindow, TheGammaSliderShowsItsValueAndBendsTheCurve) {
  TFormContraste& f = Abrir();
  Item(0);
  EXPECT_EQ(f.lGamaValue->text(), "1.00");  // the design text until the slider moves
  const struct {
    int position;
    const char* text;
    int level127;
  } cases[] = {{101, "2.0", 180}, {81, "0.900", 118}, {100, "1.900", 177}, {91, "1.0", 128}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.position);
    f.BarraGamma->setValue(c.position);
    EXPECT_EQ(f.lGamaValue->text(), c.text);
    EXPECT_DOUBLE_EQ(f.Gama(), GamaDaPosicao(c.position));
    EXPECT_EQ(f.Curva[255], 255);
    EXPECT_EQ(f.Curva, CurvaDeContraste(kTipoGama, false, 0, 255, f.Gama(), {}));
    if (c.position != 91) {
      EXPECT_EQ(f.Curva[127], c.level127);
    }
    ExpectShown();
  }
}

TEST_F(ContrastWindow, AHandMadeCurveStartsFromTheLastOneAndFollowsTheMouse) {
  TFormContraste& f = Abrir();
  f.Barra1->setValue(100);
  f.Barra2->setValue(200);
  const TransferCurve janela = f.Curva;
  Item(3);
  EXPECT_EQ(f.Curva, janela);

  // A press sets the entry under the pointer.
  Press({10, 55});
  EXPECT_EQ(f.Curva[10], 200);
  EXPECT_FALSE(f.AjustandoFator);
  ExpectShown();
  Release({10, 55});

  // The left button draws a chain of short segments behind the pointer.
  Press({0, 255});
  EXPECT_EQ(f.Curva[0], 0);
  Move({2, 253}, Qt::LeftButton);
  EXPECT_EQ(f.Curva[1], 1);
  EXPECT_EQ(f.Curva[2], 2);
  Move({4, 249}, Qt::LeftButton);
  EXPECT_EQ(f.Curva[3], 4);
  EXPECT_EQ(f.Curva[4], 6);
  EXPECT_EQ(f.Curva[10], 200);
  // Beyond the area the pointer counts at its edge.
  Move({300, -20}, Qt::LeftButton);
  EXPECT_EQ(f.PontoAtual, (Point{255, 0}));
  EXPECT_EQ(f.Curva[255], 255);
  Release({300, -20});
  ExpectShown();

  // The right button draws one line from where it went down, redrawn at each move.
  Press({100, 155}, Qt::RightButton);
  EXPECT_EQ(f.Curva[100], 100);
  Move({110, 145}, Qt::RightButton);
  for (int x = 100; x <= 110; ++x) EXPECT_EQ(f.Curva[size_t(x)], x) << x;
  Move({105, 100}, Qt::RightButton);
  for (int x = 100; x <= 105; ++x) EXPECT_EQ(f.Curva[size_t(x)], 100 + 11 * (x - 100)) << x;
  for (int x = 106; x <= 110; ++x) EXPECT_EQ(f.Curva[size_t(x)], x) << x;
  EXPECT_EQ(f.PontoAnterior, (Point{100, 155}));
  Release({105, 100}, Qt::RightButton);
  ExpectShown();

  const TransferCurve desenhada = f.Curva;
  f.BitBtn1->click();
  ASSERT_EQ(Saidas().size(), 1u);
  EXPECT_EQ(Saidas()[0]->Caption(), "pic.bmp-Contraste Personalizado");
  EXPECT_EQ(Row(Saidas()[0]->BitmapImagem, 1), desenhada);

  // Another type computes its curve afresh.
  Item(2);
  EXPECT_EQ(f.Curva, CurvaDeContraste(kTipoLinear, false, 100, 200, 1, {}));
}

TEST_F(ContrastWindow, BothButtonsTakeTheLeftStepThenTheRightOne) {
  TFormContraste& f = Abrir();
  Item(3);
  Press({20, 200});
  Move({30, 190}, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(f.PontoAnterior, (Point{20, 200}));
  EXPECT_EQ(f.PontoAtual, (Point{30, 190}));
  for (int x = 20; x <= 30; ++x) EXPECT_EQ(f.Curva[size_t(x)], 55 + (x - 20)) << x;
}

TEST_F(ContrastWindow, DraggingOnTheCurveAreaScalesTheHistogram) {
  TFormContraste& f = Abrir();
  Press({50, 100});
  EXPECT_TRUE(f.AjustandoFator);
  EXPECT_EQ(f.Curva, IdentityCurve());  // the curve is not drawn into
  const struct {
    QPoint to;
    double fator;
  } moves[] = {
      {{50, 90}, 1.05}, {{60, 90}, 1.0}, {{60, 120}, 0.95}, {{60, 119}, 1.0}, {{60, 500}, 0.95}};
  for (const auto& m : moves) {
    Move(m.to, Qt::LeftButton);
    EXPECT_NEAR(f.Histograma->Fator(), m.fator, 1e-9) << m.to.y();
  }
  Release({60, 500});
  EXPECT_FALSE(f.AjustandoFator);
  Move({60, 10}, Qt::NoButton);
  EXPECT_NEAR(f.Histograma->Fator(), 0.95, 1e-9);

  // The hand-made type draws instead.
  Item(3);
  Press({5, 5}, Qt::RightButton);
  EXPECT_FALSE(f.AjustandoFator);
  Move({5, 0}, Qt::RightButton);
  EXPECT_NEAR(f.Histograma->Fator(), 0.95, 1e-9);
}

TEST_F(ContrastWindow, EveryApplyMakesOneMoreWindowCaptionedWithTheSourcesCaptionThen) {
  TFormContraste& f = Abrir();
  f.BitBtn1->click();
  imagem->SetCaption("renamed");
  Item(1);
  f.BitBtn1->click();
  Item(0);
  f.BitBtn1->click();
  QStringList captions;
  for (TFormImagemSaida* s : Saidas()) captions << s->Caption();
  captions.sort();
  EXPECT_EQ(captions, (QStringList{"pic.bmp-Contraste linear", "renamed-Contraste Gamma",
                                   "renamed-Contraste Logarítmico"}));
  EXPECT_EQ(imagem->BitmapImagem, Ramp());
}

TEST_F(ContrastWindow, WithItsImageWindowGoneApplyingMakesNothing) {
  TFormContraste& f = Abrir();
  imagem->Release();
  Settle();
  f.BitBtn1->click();
  EXPECT_TRUE(Saidas().empty());
}

TEST_F(ContrastWindow, TheCurveAndTheMarkersAreDrawnOverTheHistogram) {
  // One grey level only: a single bar, and the background everywhere else.
  Bitmap uniforme(20, 20, PixelFormat::pf8bit);
  uniforme.setPalette(GreyRamp());
  for (int y = 0; y < 20; ++y) std::fill_n(uniforme.scanLine(y), 20, uint8_t(5));
  imagem = Imagem("one.bmp", uniforme);
  TFormContraste& f = Abrir();
  f.Barra1->setValue(100);
  QImage image(f.size(), QImage::Format_RGB32);
  f.render(&image);
  const QRgb red = qRgb(255, 0, 0);
  // The marker of level 100 and the curve's rise from 0 at 100 to 255 at 255.
  EXPECT_EQ(image.pixel(112, 30), red);
  EXPECT_EQ(image.pixel(267, 30), red);
  EXPECT_EQ(image.pixel(12 + 50, 1 + 255), red);  // output 0 below the window
  const int at200 = f.Curva[200];
  EXPECT_EQ(image.pixel(12 + 200, 1 + 255 - at200), red);
  // Elsewhere the black background of the histogram shows through.
  EXPECT_EQ(image.pixel(12 + 50, 60), qRgb(0, 0, 0));

  Item(3);
  f.render(&image);
  EXPECT_NE(image.pixel(112, 30), red);
  EXPECT_NE(image.pixel(267, 30), red);
}

// ---- through the main window ----

class ContrastCommand : public ContrastWindow {
 protected:
  // Runs the command with `script` driving the modal window.
  void Run(std::function<void(TFormContraste&)> script) {
    dialogs->forms.push_back([this, script](QDialog& d) {
      auto* f = dynamic_cast<TFormContraste*>(&d);
      ASSERT_TRUE(f);
      visto = f;
      script(*f);
    });
    principal->CompoComImagem->trigger();
    imagem->Show();
    Settle();
    principal->Contraste->trigger();
    Settle();
  }
  QPointer<TFormContraste> visto;
};

TEST_F(ContrastCommand, OkAppliesAndClosesAndTheWindowIsFreed) {
  bool fechou = false;
  Run([&](TFormContraste& f) {
    f.Barra1->setValue(100);
    f.BitBtn1->click();
    f.BitBtn1->click();
    f.BtOK->click();
    fechou = !f.isVisible();
  });
  EXPECT_EQ(dialogs->formsRun, (std::vector<QString>{"FormContraste"}));
  EXPECT_TRUE(fechou);
  EXPECT_FALSE(visto);  // released once it closed
  ASSERT_EQ(Saidas().size(), 3u);
  for (TFormImagemSaida* s : Saidas()) {
    EXPECT_EQ(s->Caption(), "pic.bmp-Contraste linear");
    EXPECT_EQ(Row(s->BitmapImagem, 0), CurvaDeContraste(kTipoLinear, false, 100, 255, 1, {}));
  }
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(ContrastCommand, FecharAndTheCloseBoxApplyNothing) {
  for (bool box : {false, true}) {
    bool fechou = false;
    Run([&](TFormContraste& f) {
      f.CbInverter->click();
      if (box)
        f.close();
      else
        f.BtClose->click();
      fechou = !f.isVisible();
    });
    EXPECT_TRUE(fechou);
    EXPECT_FALSE(visto);
  }
  EXPECT_TRUE(Saidas().empty());
}

TEST_F(ContrastCommand, EachOpeningStartsLinearOverAllLevels) {
  Run([](TFormContraste& f) {
    f.rgTipoItens->button(0)->click();
    f.BarraGamma->setValue(150);
    f.Barra2->setValue(30);
    f.BtClose->click();
  });
  Run([](TFormContraste& f) {
    EXPECT_EQ(f.Tipo, kTipoLinear);
    EXPECT_EQ(f.rgTipoItemIndex(), 2);
    EXPECT_EQ(f.BarraGamma->value(), 91);
    EXPECT_EQ(f.lGamaValue->text(), "1.00");
    EXPECT_EQ(f.Barra2->value(), 255);
    EXPECT_EQ(f.Curva, IdentityCurve());
    EXPECT_EQ(f.Histograma->Fator(), 1.0);
  });
}

TEST_F(ContrastCommand, OnlyAnActive8BitImageOpensIt) {
  Bitmap cor(10, 10, PixelFormat::pf24bit);
  TFormImagem* colorida = Imagem("cor.bmp", cor);
  principal->CompoComImagem->trigger();
  colorida->Show();
  Settle();
  principal->Contraste->trigger();
  EXPECT_EQ(dialogs->Texts(), (QStringList{"Essa não é uma imagem de 8 bits"}));
  EXPECT_TRUE(dialogs->formsRun.empty());
}

}  // namespace
}  // namespace vandrel::testing
