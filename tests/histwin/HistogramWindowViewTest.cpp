// The histogram window's view commands through its buttons, combo boxes, arrows and the
// mouse: sizes, the options panel, drawing options, the scale drag, and the overlay's curve
// editing and removal with the legend that follows them.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "platform/Format.h"
#include "platform/Numbers.h"
#include "tests/histwin/HistwinFixture.h"

namespace vandrel::testing {
namespace {

// Picks an entry of a combo box as the user does: the box then reports the choice.
void Escolha(QComboBox* c, const QString& text) {
  const int i = c->findText(text);
  ASSERT_GE(i, 0) << text.toStdString();
  c->setCurrentIndex(i);
  emit c->activated(i);
}

class HistwinViewTest : public HistwinTest {
 protected:
  // A window with an overlay of `n` curves named c0, c1, ... with peaks 20 levels apart.
  TFormHistograma* Sobreposicao(int n) {
    TFormHistograma* w = Novo();
    QStringList files;
    for (int k = 0; k < n; ++k) files << His(QString("c%1.his").arg(k), Pico(10 + 20 * k));
    Abrir(w, files);
    return w;
  }
  // Scripts the next line dialog: `edit` fills it in, then OK is pressed.
  void LinhaOK(std::function<void(TFormLinhaDialog&)> edit) {
    dialogs->forms.push_back([edit](QDialog& f) {
      auto& d = static_cast<TFormLinhaDialog&>(f);
      edit(d);
      d.SpeedButton1->click();
    });
  }
  // Scripts the next phase list: the items of `checked` are checked, then OK or Cancelar.
  void ListaDeFases(std::vector<int> checked, bool ok = true, bool all = false) {
    dialogs->forms.push_back([checked, ok, all](QDialog& f) {
      auto& l = static_cast<TFormListaDeFases&>(f);
      if (all) l.BTSelectAll->click();
      for (int i : checked) l.Lista->SetChecked(i, true);
      (ok ? l.BtOK : l.BTCancelar)->click();
    });
  }
};

TEST_F(HistwinViewTest, SizeButtonsStepTheControlAndTheWindowFollows) {
  TFormHistograma* w = Novo();
  struct Step {
    QToolButton* TFormHistograma::*button;
    const char* label;
    TTamanho tamanho;
    QSize form;
    bool panels;
  } steps[] = {
      {&TFormHistograma::BtMaisTamanho, "512", hs512, {520, 403}, true},
      {&TFormHistograma::BtMenosTamanho, "256", hs256, {264, 224}, true},
      {&TFormHistograma::BtMenosTamanho, "128", hs128, {136, 98}, false},
  };
  for (const Step& s : steps) {
    (w->*s.button)->click();
    Settle();
    EXPECT_EQ(w->LbTamanho->text(), s.label);
    EXPECT_EQ(w->Histograma->Tamanho(), s.tamanho) << s.label;
    EXPECT_EQ(w->Histograma->size(), QSize(SizeOf(s.tamanho).width, SizeOf(s.tamanho).height));
    EXPECT_EQ(w->size(), s.form) << s.label;
    EXPECT_EQ(!w->PainelDosBotoes->isHidden(), s.panels) << s.label;
    EXPECT_EQ(!w->PainelDaLegenda->isHidden(), s.panels) << s.label;
  }
  // With the panels hidden only a click on the histogram brings them back.
  Click(w->Histograma, QPoint(50, 50));
  EXPECT_EQ(w->LbTamanho->text(), "256");
  EXPECT_EQ(w->Histograma->Tamanho(), hs256);
  EXPECT_FALSE(w->PainelDosBotoes->isHidden());
  EXPECT_EQ(w->BtMais->x(), 224);
  Click(w->Histograma, QPoint(50, 50));  // at 256 a click changes nothing
  EXPECT_EQ(w->Histograma->Tamanho(), hs256);

  // The panels at 512: legend at 369, 520 wide, the buttons under it, ">>" at 482.
  w->BtMaisTamanho->click();
  EXPECT_EQ(w->PainelDaLegenda->geometry(), QRect(0, 369, 520, 3));
  EXPECT_EQ(w->PainelDosBotoes->geometry(), QRect(0, 373, 520, 30));
  EXPECT_EQ(w->BtMais->x(), 482);
  w->BtMaisTamanho->click();
  EXPECT_EQ(w->Histograma->Tamanho(), hs1024);
  EXPECT_EQ(w->size(), QSize(1032, 728));
  EXPECT_TRUE(w->PainelDosBotoes->isHidden());
  Click(w->Histograma, QPoint(50, 50));
  EXPECT_EQ(w->LbTamanho->text(), "512");
  EXPECT_EQ(w->Histograma->Tamanho(), hs512);
  EXPECT_EQ(w->size(), QSize(520, 403));
}

TEST_F(HistwinViewTest, MoreButtonOpensAndClosesTheOptionsPanel) {
  TFormHistograma* w = Novo();
  w->BtMais->click();
  EXPECT_EQ(w->BtMais->text(), "<<");
  EXPECT_EQ(w->BtMais->toolTip(), "Menos");
  EXPECT_FALSE(w->PainelDasOpcoes->isHidden());
  EXPECT_EQ(w->PainelDasOpcoes->geometry(), QRect(265, 0, 168, 224));
  EXPECT_EQ(w->size(), QSize(264 + 1 + 168, 224));

  // The panel moves with the size and reaches down to the buttons.
  w->BtMaisTamanho->click();
  EXPECT_EQ(w->PainelDasOpcoes->geometry(), QRect(521, 0, 168, 403));
  EXPECT_EQ(w->size(), QSize(689, 403));
  // Through a size that hides it and back, it shows as the button says.
  w->BtMaisTamanho->click();
  EXPECT_TRUE(w->PainelDasOpcoes->isHidden());
  Click(w->Histograma, QPoint(50, 50));
  EXPECT_FALSE(w->PainelDasOpcoes->isHidden());

  w->BtMais->click();
  EXPECT_EQ(w->BtMais->text(), ">>");
  EXPECT_EQ(w->BtMais->toolTip(), "Mais");
  EXPECT_TRUE(w->PainelDasOpcoes->isHidden());
  EXPECT_EQ(w->size(), QSize(520, 403));
}

TEST_F(HistwinViewTest, DrawingOptionsReachTheControl) {
  TFormHistograma* w = Novo();
  w->BtMais->click();
  struct Style {
    const char* text;
    TEstilo estilo;
  } styles[] = {{"Gradiente", eGradiente}, {"Uma Cor", eUmaCor}, {"Linhas", eLinha}};
  for (const Style& s : styles) {
    Escolha(w->CbEstilo, s.text);
    EXPECT_EQ(w->Histograma->Estilo(), s.estilo) << s.text;
    // In single mode only "Linhas" has a line width.
    EXPECT_EQ(w->EditEspessura->isEnabled(), s.estilo == eLinha) << s.text;
    EXPECT_EQ(w->UpDEspessura->isEnabled(), s.estilo == eLinha) << s.text;
  }
  struct Vert {
    const char* text;
    TLinhasVert q;
  } verts[] = {{"Nenhuma", qNenhuma}, {"Principais", qPrincipais}, {"Todas", qTodas}};
  for (const Vert& v : verts) {
    Escolha(w->CbLinhasVerticais, v.text);
    EXPECT_EQ(w->Histograma->NumLinhasVert(), v.q) << v.text;
  }

  // Colours: each choice runs the colour dialog, which opens with what it last returned.
  dialogs->colors = {QColor(1, 2, 3), QColor(4, 5, 6), std::nullopt, QColor(7, 8, 9)};
  Escolha(w->CbCores, "Cor do Histograma");
  EXPECT_EQ(w->Histograma->CorDeDesenho(), Rgb(1, 2, 3));
  Escolha(w->CbCores, "Cor do Fundo");
  EXPECT_EQ(w->Histograma->CorDeFundo(), Rgb(4, 5, 6));
  Escolha(w->CbCores, "Cor do Fundo");  // cancelled: unchanged
  EXPECT_EQ(w->Histograma->CorDeFundo(), Rgb(4, 5, 6));
  Escolha(w->CbCores, "Cor das Linhas");
  EXPECT_EQ(w->Histograma->CorDaLinha(), Rgb(7, 8, 9));
  EXPECT_EQ(dialogs->initialColors,
            (std::vector<QColor>{Qt::black, QColor(1, 2, 3), QColor(4, 5, 6), QColor(4, 5, 6)}));

  // Overlay: every style keeps the per-curve width controls on.
  TFormHistograma* o = Sobreposicao(2);
  Escolha(o->CbEstilo, "Uma Cor");
  EXPECT_TRUE(o->EditEspessura->isEnabled());
  EXPECT_EQ(o->Histograma->Estilo(), eUmaCor);
}

TEST_F(HistwinViewTest, ArrowsStepLinesWidthAndScaleWithinTheirRanges) {
  TFormHistograma* w = Novo();
  w->BtMais->click();
  struct Steps {
    TUpDown* updown;
    QLineEdit* edit;
    int ups, downs;
    const char* afterUps;
    const char* afterDowns;
  } cases[] = {{w->UpDLinhasHor, w->EditLinhasHorizontais, 6, 10, "7", "0"},
               {w->UpDEspessura, w->EditEspessura, 12, 14, "10", "1"}};
  for (const Steps& c : cases) {
    for (int i = 0; i < c.ups; ++i) c.updown->BotaoAcima->click();
    EXPECT_EQ(c.edit->text(), c.afterUps);
    for (int i = 0; i < c.downs; ++i) c.updown->BotaoAbaixo->click();
    EXPECT_EQ(c.edit->text(), c.afterDowns);
  }
  EXPECT_EQ(w->Histograma->NumLinhasHor(), 0);
  EXPECT_EQ(w->Histograma->Espessura(), 1);
  w->UpDLinhasHor->BotaoAcima->click();
  w->UpDEspessura->BotaoAcima->click();
  EXPECT_EQ(w->Histograma->NumLinhasHor(), 1);
  EXPECT_EQ(w->Histograma->Espessura(), 2);

  // Scale: steps of 0.2, and nothing more once it shows 0.2.
  w->UpDEscala->BotaoAcima->click();
  EXPECT_EQ(w->EditEscala->text(), QString::fromStdString(FormatGeneral(1.2)));
  EXPECT_DOUBLE_EQ(w->Histograma->Fator(), 1.2);
  for (int i = 0; i < 5; ++i) w->UpDEscala->BotaoAbaixo->click();
  EXPECT_EQ(w->EditEscala->text(), QString::fromStdString(FormatGeneral(0.2)));
  EXPECT_DOUBLE_EQ(w->Histograma->Fator(), 0.2);
  w->UpDEscala->BotaoAbaixo->click();
  w->UpDEscala->BotaoAcima->click();
  EXPECT_EQ(w->EditEscala->text(), QString::fromStdString(FormatGeneral(0.2)));
  EXPECT_DOUBLE_EQ(w->Histograma->Fator(), 0.2);
}

TEST_F(HistwinViewTest, ScaleShowsTheUserDecimalSeparator) {
  const char old = DecimalSeparator();
  SetDecimalSeparator(',');
  TFormHistograma* w = Novo();
  w->UpDEscala->BotaoAcima->click();
  w->UpDEscala->BotaoAcima->click();
  EXPECT_EQ(w->EditEscala->text(), "1,4");
  EXPECT_DOUBLE_EQ(w->Histograma->Fator(), 1.4);
  Press(w->Histograma, QPoint(100, 100));
  Move(w->Histograma, QPoint(100, 90));
  Release(w->Histograma, QPoint(100, 90));
  EXPECT_EQ(w->EditEscala->text(), "1,45");
  SetDecimalSeparator(old);
}

TEST_F(HistwinViewTest, TextCheckBoxSwitchesTheTexts) {
  TFormHistograma* w = Novo();
  w->BtMais->click();
  w->ChbTexto->click();
  EXPECT_FALSE(w->Histograma->AtivarTexto());
  EXPECT_EQ(w->ChbTexto->toolTip(), "Ativar Texto");
  w->ChbTexto->click();
  EXPECT_TRUE(w->Histograma->AtivarTexto());
  EXPECT_EQ(w->ChbTexto->toolTip(), "Desativar Texto");
}

TEST_F(HistwinViewTest, DraggingChangesTheScaleInSingleMode) {
  TFormHistograma* w = Novo();
  Abrir(w, {His("a.his", Pico(20))});
  TDSHistograma* h = w->Histograma;
  Press(h, QPoint(100, 150));
  EXPECT_TRUE(w->Arrastando);
  EXPECT_EQ(h->cursor().shape(), Qt::UpArrowCursor);
  for (int i = 1; i <= 10; ++i) Move(h, QPoint(100 + i, 150 - i));
  EXPECT_EQ(w->EditEscala->text(), "1.5");
  EXPECT_DOUBLE_EQ(h->Fator(), 1.5);
  EXPECT_EQ(w->PontoInicial, QPoint(110, 140));
  Release(h, QPoint(110, 140));
  EXPECT_FALSE(w->Arrastando);
  EXPECT_EQ(h->cursor().shape(), Qt::ArrowCursor);
  Move(h, QPoint(110, 100), Qt::NoButton);  // no drag: nothing
  EXPECT_EQ(w->EditEscala->text(), "1.5");

  // Sideways and down lower it; below 0.1 the edit stays at 0.1 and the factor too.
  Press(h, QPoint(100, 100));
  Move(h, QPoint(120, 100));
  EXPECT_EQ(w->EditEscala->text(), "1.45");
  for (int i = 1; i <= 40; ++i) Move(h, QPoint(120, 100 + i));
  EXPECT_EQ(w->EditEscala->text(), "0.1");
  EXPECT_DOUBLE_EQ(h->Fator(), 0.1);
  Release(h, QPoint(120, 140));

  // In overlay mode a press edits curves instead: no drag.
  TFormHistograma* o = Sobreposicao(2);
  Press(o->Histograma, QPoint(1, 1));  // the frame, black: no curve of that colour
  EXPECT_FALSE(o->Arrastando);
  EXPECT_TRUE(dialogs->formsRun.empty());
}

TEST_F(HistwinViewTest, RightClickRemovesTheCheckedCurves) {
  struct Case {
    const char* name;
    std::vector<int> checked;
    bool ok, all;
    std::vector<std::string> left;
    bool overlay;
  } cases[] = {
      {"middle", {1}, true, false, {"c0", "c2"}, true},
      {"two of three", {0, 2}, true, false, {"c1"}, false},
      {"cancelled", {0, 1}, false, false, {"c0", "c1", "c2"}, true},
      {"all", {}, true, true, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFormHistograma* w = Sobreposicao(3);
    dialogs->formsRun.clear();
    ListaDeFases(c.checked, c.ok, c.all);
    Click(w->Histograma, QPoint(100, 100), Qt::RightButton);
    Settle();
    EXPECT_EQ(dialogs->formsRun, std::vector<QString>{"FormListaDeFases"});
    EXPECT_EQ(w->Histograma->Sobreposicao(), c.overlay);
    if (c.overlay) {
      EXPECT_EQ(Nomes(w), c.left);
      EXPECT_EQ(w->QuadradosDaLegenda().size(), c.left.size());
      EXPECT_EQ(ModoSimples(w), kDesligados);
      continue;
    }
    EXPECT_FALSE(w->LegendaCriada);
    EXPECT_EQ(ModoSimples(w), kLigados);
    EXPECT_EQ(w->BtSalvarHistograma->toolTip(), "Salvar Histograma");
    if (c.left.empty()) {
      // No curve left: an empty single histogram, and nothing to overlay on.
      EXPECT_EQ(w->Histograma->Valores(), GreyHistogram{});
      EXPECT_FALSE(w->BtSobrepor->isEnabled());
    } else {
      // The curve left is shown as the single histogram.
      EXPECT_TRUE(Proximos(w->Histograma->Valores(), Pico(30)));
      EXPECT_TRUE(w->BtSobrepor->isEnabled());
    }
  }
  // The list shows the names without folder and extension.
  TFormHistograma* p = Novo();
  Abrir(p, {Padrao("p.pat", {Pico(1), Pico(2)}, {"/dados/fases/ferrita.his", "perlita"})});
  QStringList shown;
  dialogs->forms.push_back([&shown](QDialog& f) {
    auto& l = static_cast<TFormListaDeFases&>(f);
    for (int i = 0; i < l.Lista->Count(); ++i) shown << l.Lista->item(i)->text();
  });
  Click(p->Histograma, QPoint(100, 100), Qt::RightButton);
  EXPECT_EQ(shown, (QStringList{"ferrita", "perlita"}));
}

TEST_F(HistwinViewTest, ClickOnACurveEditsItsLine) {
  TFormHistograma* w = Sobreposicao(3);
  const std::optional<QPoint> azul = PontoDaCor(w, 0xFF0000);  // curve c0
  ASSERT_TRUE(azul);
  QString nomeMostrado;
  int espessuraMostrada = 0;
  dialogs->colors = {QColor(0, 128, 0)};
  LinhaOK([&](TFormLinhaDialog& d) {
    nomeMostrado = d.EditNome->text();
    espessuraMostrada = d.Espessura();
    d.EditNome->setText("austenita");
    d.UDEspessura->BotaoAcima->click();
    d.UDEspessura->BotaoAcima->click();
    Click(d.ShapeCor, QPoint(3, 3));
  });
  Click(w->Histograma, *azul);
  EXPECT_EQ(nomeMostrado, "c0");
  EXPECT_EQ(espessuraMostrada, 1);
  const THistoCompleto& c0 = w->Histograma->Histogramas()[0];
  EXPECT_EQ(c0.Nome, "austenita");
  EXPECT_EQ(c0.Espessura, 3);
  EXPECT_EQ(c0.Cor, Rgb(0, 128, 0));
  Settle();
  EXPECT_EQ(w->QuadradosDaLegenda()[0]->Cor(), Rgb(0, 128, 0));
  EXPECT_EQ(w->RotulosDaLegenda()[0]->text(), "austenita");

  // A colour another curve has: the message, and nothing changes.
  const std::optional<QPoint> verde = PontoDaCor(w, Rgb(0, 128, 0));
  ASSERT_TRUE(verde);
  dialogs->colors = {QColor(255, 0, 0)};  // the colour of c1
  LinhaOK([](TFormLinhaDialog& d) {
    d.EditNome->setText("outro");
    Click(d.ShapeCor, QPoint(3, 3));
  });
  Click(w->Histograma, *verde);
  EXPECT_EQ(dialogs->Texts(), QStringList{"A Cor Já Existe"});
  EXPECT_EQ(dialogs->messages.back().kind, MsgKind::Information);
  EXPECT_EQ(w->Histograma->Histogramas()[0].Cor, Rgb(0, 128, 0));
  EXPECT_EQ(w->Histograma->Histogramas()[0].Nome, "austenita");

  // Keeping its own colour is no clash; Cancelar changes nothing.
  LinhaOK([](TFormLinhaDialog& d) { d.EditNome->setText("gama"); });
  Click(w->Histograma, *verde);
  EXPECT_EQ(w->Histograma->Histogramas()[0].Nome, "gama");
  dialogs->forms.push_back([](QDialog& f) {
    auto& d = static_cast<TFormLinhaDialog&>(f);
    d.EditNome->setText("nada");
    d.SpeedButton2->click();
  });
  Click(w->Histograma, *verde);
  EXPECT_EQ(w->Histograma->Histogramas()[0].Nome, "gama");
}

TEST_F(HistwinViewTest, ExcluirRemovesTheCurveButNeverTheLastOne) {
  TFormHistograma* w = Sobreposicao(2);
  auto excluir = [](TFormLinhaDialog& d) { d.Excluir->click(); };
  LinhaOK(excluir);
  Press(w->QuadradosDaLegenda()[0], QPoint(5, 5));  // through the legend square
  Settle();
  // Down to one curve: the window shows it as a single histogram.
  EXPECT_FALSE(w->Histograma->Sobreposicao());
  EXPECT_TRUE(Proximos(w->Histograma->Valores(), Pico(30)));
  EXPECT_FALSE(w->LegendaCriada);
  EXPECT_EQ(ModoSimples(w), kLigados);

  // An overlay of one curve (a comparison with one file) keeps it.
  TFormHistograma* c = Novo();
  c->AbrirComparacao(Fases("c0.his"));
  LinhaOK(excluir);
  Press(c->QuadradosDaLegenda()[0], QPoint(5, 5));
  Settle();
  EXPECT_TRUE(c->Histograma->Sobreposicao());
  EXPECT_EQ(c->Histograma->Histogramas().size(), 1u);
  EXPECT_EQ(dialogs->formsRun.size(), 2u);
}

TEST_F(HistwinViewTest, CurvesAreNotEditedAtTheSizesWithoutALegend) {
  TFormHistograma* w = Sobreposicao(2);
  w->BtMenosTamanho->click();  // 128
  const std::optional<QPoint> azul = PontoDaCor(w, 0xFF0000);
  ASSERT_TRUE(azul);
  Press(w->Histograma, *azul);
  Release(w->Histograma, *azul);  // the click itself brings back the size 256
  EXPECT_TRUE(dialogs->formsRun.empty());
  EXPECT_EQ(w->Histograma->Tamanho(), hs256);
  w->EditarCurva(0xFF0000);  // at 256 it opens
  EXPECT_EQ(dialogs->formsRun, std::vector<QString>{"FormLinhaDialog"});
  dialogs->formsRun.clear();
  w->LbTamanho->setText("1024");
  w->AjustarTamanho();
  w->EditarCurva(0xFF0000);
  EXPECT_TRUE(dialogs->formsRun.empty());
}

TEST_F(HistwinViewTest, LegendRowsFollowTheSize) {
  TFormHistograma* w = Sobreposicao(9);
  ASSERT_EQ(w->QuadradosDaLegenda().size(), 9u);
  EXPECT_EQ(w->PainelDaLegenda->height(), 50);  // rows of 4, 4, 1
  EXPECT_EQ(w->QuadradosDaLegenda()[8]->geometry(), QRect(4, 32, 10, 10));
  EXPECT_EQ(w->PainelDosBotoes->y(), 190 + 50 + 1);
  EXPECT_EQ(w->size(), QSize(264, 271));
  w->BtMaisTamanho->click();
  EXPECT_EQ(w->PainelDaLegenda->height(), 36);  // rows of 8, 1
  EXPECT_EQ(w->QuadradosDaLegenda()[7]->geometry(), QRect(452, 4, 10, 10));
  EXPECT_EQ(w->QuadradosDaLegenda().size(), 9u);
  EXPECT_EQ(w->size(), QSize(520, 369 + 36 + 1 + 30));
  w->BtMenosTamanho->click();
  EXPECT_EQ(w->PainelDaLegenda->height(), 50);
  // The squares of the old legends are gone.
  Settle();
  EXPECT_EQ(w->PainelDaLegenda->findChildren<TShape*>().size(), 9);
}

TEST_F(HistwinViewTest, ClosingTheWindowFreesIt) {
  TFormHistograma* w = Novo();
  QPointer<TFormHistograma> guard(w);
  EXPECT_TRUE(w->Close());
  Settle();
  EXPECT_FALSE(guard);
  EXPECT_TRUE(Janelas().empty());
}

}  // namespace
}  // namespace vandrel::testing
