// The thresholds window driven through the main window and its own controls: opening it,
// the levels, the area table, the palette bar, the preview and its timer, applying, closing,
// and the histogram drag.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "app/histograms/ui/UDSHistograma.h"
#include "app/imaging/ui/Line.h"
#include "app/thresholds/model/PhaseColouring.h"
#include "platform/Numbers.h"
#include "tests/thresholds/ThresholdsTestUtil.h"

namespace vandrel::testing {
namespace {

// The colouring of `b` by the thresholds and the default palette.
Bitmap Colorido(const Bitmap& b, int n, const Limiares& lim) {
  Bitmap out;
  ColorirImagem(b, CoresDosNiveis(n, lim, PaletaPadrao()), out);
  return out;
}

Limiares Lim(std::initializer_list<int> thresholds) {
  Limiares lim = LimiaresIniciais();
  int i = 1;
  for (int t : thresholds) lim[size_t(i++)] = uint8_t(t);
  return lim;
}

void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
  const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

TEST_F(ThresholdsTest, OpensOneWindowOnTheActiveImage) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis(), "todos.bmp");
  ASSERT_TRUE(w);
  EXPECT_EQ(w->ClassName(), "TFormLimiares");
  EXPECT_EQ(w->Caption(), "Limiares");
  EXPECT_EQ(w->SubWindow()->windowTitle(), "Limiares");
  EXPECT_TRUE(w->SubWindow()->isVisible());
  EXPECT_EQ(w->Owner(), imagem);
  EXPECT_EQ(w->JanelaOrigem, imagem);
  EXPECT_EQ(principal->FilhaAtiva(), w);
  // One level at 128; the histogram is the image's.
  EXPECT_EQ(w->NumNiveis, 1);
  EXPECT_EQ(Barra(w, 1)->value(), 128);
  EXPECT_EQ(w->Niveis[1]->Rotulo->text(), "128");
  EXPECT_EQ(w->Limiares, Lim({128}));
  EXPECT_EQ(w->TotalPixels, 256);
  EXPECT_EQ(w->Histograma->ContagemAcumulada(), w->Contagens);
  for (int32_t c : w->Contagens) EXPECT_EQ(c, 1);
  EXPECT_EQ(w->Histograma->Estilo(), eLinhaGradiente);
  EXPECT_FALSE(w->Histograma->AtivarTexto());
  EXPECT_EQ(w->Histograma->CorDeFundo(), 0);
  EXPECT_EQ(w->Histograma->CorDeDesenho(), 0xFFFFFF);
  EXPECT_EQ(w->Histograma->geometry(), QRect(6, 15, 264, 188));
  // The area table is shown: header and two phases.
  EXPECT_TRUE(w->TabelaAreas->isVisible());
  EXPECT_EQ(w->TabelaAreas->windowTitle(), "% das Áreas");
  EXPECT_EQ(w->TabelaAreas->RowCount(), 3);
  EXPECT_EQ((QStringList{Celula(w, 0, 0), Celula(w, 1, 0), Celula(w, 2, 0), Celula(w, 3, 0)}),
            (QStringList{"Cor", "[ de", "até )", "Área [%]"}));
  EXPECT_EQ(LinhaDaTabela(w, 1), (QStringList{"0", "128", "50"}));
  EXPECT_EQ(LinhaDaTabela(w, 2), (QStringList{"128", "255", "50"}));
  // Nothing previewed yet: the source still shows its own image.
  EXPECT_EQ(imagem->BitmapImagem, TodosOsNiveis());
  EXPECT_TRUE(dialogs->messages.empty());

  // The command again, from the image window: the open one comes forward.
  imagem->Show();
  Settle();
  EXPECT_EQ(AbrirLimiares(), w);
  EXPECT_EQ(QuantasJanelas(), 1);
  EXPECT_EQ(principal->FilhaAtiva(), w);
  EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(ThresholdsTest, RefusesImagesThatAreNotEightBit) {
  Bitmap cor(4, 4, PixelFormat::pf24bit);
  ASSERT_TRUE(Abrir("cor.bmp", cor));
  EXPECT_FALSE(AbrirLimiares());
  EXPECT_EQ(dialogs->Texts(), QStringList{"Essa não é uma imagem de 8 bits"});
}

TEST_F(ThresholdsTest, AreasAreTruncatedAndALevelAtAThresholdCountsUp) {
  // 1 pixel of 3 below the threshold, 2 above: 33.33 and 66.66.
  TFormLimiares* w = LimiaresSobre(UmaLinha({10, 200, 220}));
  ASSERT_TRUE(w);
  EXPECT_EQ(LinhaDaTabela(w, 1), (QStringList{"0", "128", "33.33"}));
  EXPECT_EQ(LinhaDaTabela(w, 2), (QStringList{"128", "255", "66.66"}));
  // A pixel at the threshold itself: counted in the upper row, painted in the lower colour.
  Barra(w, 1)->setValue(10);
  EXPECT_EQ(LinhaDaTabela(w, 1), (QStringList{"0", "10", "0"}));
  EXPECT_EQ(LinhaDaTabela(w, 2), (QStringList{"10", "255", "100"}));
  const Bitmap c = w->Colorir();
  EXPECT_EQ(c.scanLine(0)[0], 0x00);  // black: phase 0
  EXPECT_EQ(c.scanLine(0)[3], 0xFF);  // white: phase 1
}

TEST_F(ThresholdsTest, TheDecimalSeparatorIsTheUsers) {
  const char antes = DecimalSeparator();
  SetDecimalSeparator(',');
  TFormLimiares* w = LimiaresSobre(UmaLinha({10, 200, 220}));
  SetDecimalSeparator(antes);
  ASSERT_TRUE(w);
  EXPECT_EQ(Celula(w, 3, 1), "33,33");
}

TEST_F(ThresholdsTest, LevelsAreAddedUpToFifteenAndRemovedDownToOne) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  const int altura = w->height();
  const int caixa = w->CaixadeNiveis->height();
  for (int k = 2; k <= 15; ++k) {
    w->BtNovo->click();
    ASSERT_EQ(w->NumNiveis, k);
    QSlider* b = Barra(w, k);
    EXPECT_EQ(b->objectName(), "b" + QString::number(k));
    EXPECT_EQ(b->value(), 0);
    EXPECT_EQ(b->geometry(), QRect(2, 20 * k + 189, 275, 17));
    // The marker line runs from y = 24 down to the track bar, at x = 10 for position 0.
    EXPECT_EQ(w->Niveis[size_t(k)]->Linha->geometry().top(), 24);
    EXPECT_EQ(w->Niveis[size_t(k)]->Linha->geometry().bottom() + 1, b->y());
    EXPECT_EQ(w->Niveis[size_t(k)]->Linha->x(), 10);
    EXPECT_EQ(w->height(), altura + 20 * (k - 1));
    EXPECT_EQ(w->CaixadeNiveis->height(), caixa + 20 * (k - 1));
    EXPECT_EQ(w->TabelaAreas->RowCount(), k + 2);
  }
  // A new level starts at 0: fourteen at 0 and one at 128.
  EXPECT_EQ(w->Limiares[1], 0);
  EXPECT_EQ(w->Limiares[15], 128);
  EXPECT_EQ(w->TabelaAreas->GridAreas->height(), 17 * 18 + 2);
  EXPECT_EQ(w->TabelaAreas->Bevel->height(), 17 * 18 + 2 + 5);
  EXPECT_EQ(LinhaDaTabela(w, 15), (QStringList{"0", "128", "50"}));
  EXPECT_EQ(LinhaDaTabela(w, 2), (QStringList{"0", "0", "0"}));
  // The buttons stay inside the window, under the levels.
  EXPECT_GT(w->BtOK->y(), Barra(w, 15)->geometry().bottom());
  EXPECT_LE(w->BtCancelar->geometry().bottom(), w->height());

  w->BtNovo->click();
  EXPECT_EQ(w->NumNiveis, 15);

  for (int k = 14; k >= 1; --k) {
    w->BtExcluir->click();
    EXPECT_EQ(w->NumNiveis, k);
    EXPECT_EQ(w->TabelaAreas->RowCount(), k + 2);
  }
  EXPECT_EQ(w->height(), altura);
  w->BtExcluir->click();
  EXPECT_EQ(w->NumNiveis, 1);
  EXPECT_EQ(Barra(w, 1)->value(), 128);
}

TEST_F(ThresholdsTest, RemovingALevelTakesTheLastCreatedOne) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  w->BtNovo->click();
  Barra(w, 2)->setValue(200);
  w->BtNovo->click();
  Barra(w, 3)->setValue(50);
  EXPECT_EQ(w->Limiares, Lim({50, 128, 200}));
  // Level 3 holds the lowest threshold, and it is the one removed; the highest sorted value
  // stays behind the count.
  w->BtExcluir->click();
  EXPECT_EQ(w->NumNiveis, 2);
  EXPECT_EQ(w->Limiares, Lim({128, 200, 200}));
  EXPECT_EQ(LinhaDaTabela(w, 3), (QStringList{"200", "255", "21.87"}));
}

TEST_F(ThresholdsTest, EqualThresholdsLeaveTheMiddlePhaseEmpty) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  w->BtNovo->click();
  Barra(w, 2)->setValue(128);
  EXPECT_EQ(LinhaDaTabela(w, 2), (QStringList{"128", "128", "0"}));
  const Bitmap c = w->Colorir();
  const TriploCor vermelho = PaletaPadrao()[2];
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const uint8_t* p = c.scanLine(y) + 3 * x;
      // Phase 1 (white) has no pixel; above 128 is phase 2, red.
      EXPECT_FALSE(p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF) << x << "," << y;
      if (16 * y + x > 128) {
        EXPECT_EQ((TriploCor{p[0], p[1], p[2]}), vermelho);
      }
    }
}

TEST_F(ThresholdsTest, LevelLabelsAndLinesFollowTheirTrackBars) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  struct Case {
    int position;
    const char* text;
  };
  for (const Case& c : {Case{0, "000"}, Case{7, "007"}, Case{255, "255"}, Case{128, "128"}}) {
    Barra(w, 1)->setValue(c.position);
    EXPECT_EQ(w->Niveis[1]->Rotulo->text(), c.text);
    EXPECT_EQ(w->Niveis[1]->Rotulo->palette().color(QPalette::WindowText),
              QColor(c.position, c.position, c.position));
    EXPECT_EQ(w->Niveis[1]->Linha->x(), c.position + 10);
  }
  // Keys move the track bar like the mouse does.
  QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  QApplication::sendEvent(Barra(w, 1), &right);
  EXPECT_EQ(w->Niveis[1]->Rotulo->text(), "129");
  EXPECT_EQ(w->Limiares[1], 129);
}

TEST_F(ThresholdsTest, PreviewRunsAtMostOncePerTickAndCatchesUpWithTheLastChange) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  const Bitmap original = TodosOsNiveis();
  // No tick yet: a change is held back.
  Barra(w, 1)->setValue(100);
  EXPECT_EQ(imagem->BitmapImagem, original);
  // The tick shows the held-back change.
  w->Timer1Timer();
  EXPECT_EQ(imagem->BitmapImagem, Colorido(original, 1, Lim({100})));
  EXPECT_FALSE(w->PreviewLiberado);
  // A tick with nothing waiting only frees the next change, which is shown at once.
  w->Timer1Timer();
  EXPECT_TRUE(w->PreviewLiberado);
  Barra(w, 1)->setValue(60);
  EXPECT_EQ(imagem->BitmapImagem, Colorido(original, 1, Lim({60})));
  // Two more changes before the next tick: the source shows neither until the tick, which
  // shows the last.
  Barra(w, 1)->setValue(70);
  Barra(w, 1)->setValue(80);
  EXPECT_EQ(imagem->BitmapImagem, Colorido(original, 1, Lim({60})));
  w->Timer1Timer();
  EXPECT_EQ(imagem->BitmapImagem, Colorido(original, 1, Lim({80})));
  // The window's working copy is never touched.
  EXPECT_EQ(w->Imagem, original);
}

TEST_F(ThresholdsTest, PreviewStopsWhenItsCheckBoxIsCleared) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  EXPECT_TRUE(w->CheckBoxpreview->isChecked());
  EXPECT_EQ(w->CheckBoxpreview->text(), "Preview");
  w->CheckBoxpreview->click();
  w->Timer1Timer();
  Barra(w, 1)->setValue(30);
  w->Timer1Timer();
  EXPECT_EQ(imagem->BitmapImagem, TodosOsNiveis());
  // Checking it again previews at once (the tick has freed it).
  w->CheckBoxpreview->click();
  EXPECT_EQ(imagem->BitmapImagem, Colorido(TodosOsNiveis(), 1, Lim({30})));
}

TEST_F(ThresholdsTest, ClosingGivesTheSourceItsImageBack) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  w->Timer1Timer();
  Barra(w, 1)->setValue(90);
  ASSERT_EQ(imagem->BitmapImagem.format(), PixelFormat::pf24bit);
  QPointer<TFTabelaDasAreas> tabela = w->TabelaAreas;
  w->BtCancelar->click();
  Settle();
  EXPECT_EQ(QuantasJanelas(), 0);
  EXPECT_FALSE(tabela);
  EXPECT_EQ(imagem->BitmapImagem, TodosOsNiveis());
  // No output window.
  EXPECT_EQ(principal->Filhas().size(), 1u);
}

TEST_F(ThresholdsTest, ClosingTheSourceWindowTakesTheThresholdsWindowWithIt) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  QPointer<TFormLimiares> guard = w;
  imagem->Close();
  Settle();
  EXPECT_FALSE(guard);
  EXPECT_EQ(QuantasJanelas(), 0);
}

TEST_F(ThresholdsTest, ApplyOpensAnOutputWindowOfTheColouring) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis(), "todos.bmp");
  ASSERT_TRUE(w);
  w->BtNovo->click();
  Barra(w, 2)->setValue(200);
  w->BtAplicar->click();
  Settle();
  TFormImagemSaida* saida = nullptr;
  for (TForm* f : principal->Filhas())
    if (auto* s = dynamic_cast<TFormImagemSaida*>(f)) saida = s;
  ASSERT_TRUE(saida);
  EXPECT_EQ(saida->Caption(), "todos.bmp-Limiares");
  EXPECT_EQ(saida->Origem, imagem);
  EXPECT_EQ(saida->Owner(), imagem);
  EXPECT_EQ(saida->BitmapImagem, Colorido(TodosOsNiveis(), 2, Lim({128, 200})));
  EXPECT_EQ(QuantasJanelas(), 1);
}

TEST_F(ThresholdsTest, OkAppliesAndCloses) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis(), "todos.bmp");
  ASSERT_TRUE(w);
  Barra(w, 1)->setValue(40);
  w->Timer1Timer();
  w->BtOK->click();
  Settle();
  EXPECT_EQ(QuantasJanelas(), 0);
  EXPECT_EQ(imagem->BitmapImagem, TodosOsNiveis());
  TFormImagemSaida* saida = nullptr;
  for (TForm* f : principal->Filhas())
    if (auto* s = dynamic_cast<TFormImagemSaida*>(f)) saida = s;
  ASSERT_TRUE(saida);
  EXPECT_EQ(saida->BitmapImagem, Colorido(TodosOsNiveis(), 1, Lim({40})));
}

TEST_F(ThresholdsTest, ButtonsAndHints) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  struct Case {
    QWidget* widget;
    const char* text;
    const char* hint;
  };
  for (const Case& c :
       {Case{w->BtAlterarCores, "Cores", "Alterar Cores"}, Case{w->BtNovo, "Novo", "Novo Nivel"},
        Case{w->BtExcluir, "Excluir", "Excluir Nível"},
        Case{w->BtAbrirLimiares, "", "Abrir Arquivo de Limiares"},
        Case{w->BtSalvarLimiares, "", "Salvar Arquivo de Limiares"},
        Case{w->BAbrirPaleta, "", "Abrir Paleta de Cores"},
        Case{w->BtSalvarPaleta, "", "Salvar Paleta De Cores"},
        Case{w->BtAplicar, "Aplicar", "Aplicar os Limiares"}, Case{w->BtOK, "OK", "Aplicar e Sair"},
        Case{w->BtCancelar, "Fechar", "Sair"}, Case{w->BtAreas, "%", "Ocultar Áreas Estimadas"},
        Case{w->TabelaDeCores, "", "Alterar o modo de exibição da paleta"}}) {
    EXPECT_EQ(c.widget->toolTip(), c.hint) << c.hint;
    if (auto* b = qobject_cast<QPushButton*>(c.widget)) {
      EXPECT_EQ(b->text(), c.text) << c.hint;
    }
    EXPECT_TRUE(c.widget->isVisible()) << c.hint;
  }
  EXPECT_EQ(w->Timer1->interval(), 150);
}

TEST_F(ThresholdsTest, TheAreaButtonHidesAndShowsTheTable) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  w->BtAreas->click();
  EXPECT_FALSE(w->AreasVisiveis);
  EXPECT_FALSE(w->TabelaAreas->isVisible());
  EXPECT_EQ(w->BtAreas->toolTip(), "Exibir Áreas Estimadas");
  EXPECT_TRUE(w->BtAreas->styleSheet().contains("red"));
  w->BtAreas->click();
  EXPECT_TRUE(w->AreasVisiveis);
  EXPECT_TRUE(w->TabelaAreas->isVisible());
  EXPECT_EQ(w->BtAreas->toolTip(), "Ocultar Áreas Estimadas");
  EXPECT_TRUE(w->BtAreas->styleSheet().contains("green"));
}

TEST_F(ThresholdsTest, PaletteBarShowsThePhasesAndSwitchesItsModeOnAClick) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  Barra(w, 1)->setValue(64);
  const QImage& bar = w->TabelaDeCores->Canvas();
  ASSERT_EQ(bar.size(), QSize(264, 11));
  // Proportional: phase 0 (black) ends at round(64 x 264 / 256) = 66, phase 1 (white) at 263.
  EXPECT_EQ(bar.pixelColor(40, 5), QColor(Qt::black));
  EXPECT_EQ(bar.pixelColor(100, 5), QColor(Qt::white));
  EXPECT_EQ(bar.pixelColor(262, 0), QColor(Qt::black));  // the outline
  EXPECT_TRUE(w->PaletaProporcional);
  Mouse(w->TabelaDeCores, QEvent::MouseButtonPress, {5, 5});
  Mouse(w->TabelaDeCores, QEvent::MouseButtonRelease, {5, 5});
  EXPECT_FALSE(w->PaletaProporcional);
  // Equal bands: 132 pixels each.
  EXPECT_EQ(bar.pixelColor(100, 5), QColor(Qt::black));
  EXPECT_EQ(bar.pixelColor(140, 5), QColor(Qt::white));
}

TEST_F(ThresholdsTest, DraggingOnTheHistogramChangesItsScale) {
  TFormLimiares* w = LimiaresSobre(TodosOsNiveis());
  ASSERT_TRUE(w);
  TDSHistograma* h = w->Histograma;
  Mouse(h, QEvent::MouseButtonPress, {50, 100});
  Mouse(h, QEvent::MouseMove, {50, 90});  // up
  EXPECT_DOUBLE_EQ(h->Fator(), 1.05);
  Mouse(h, QEvent::MouseMove, {50, 80});
  EXPECT_DOUBLE_EQ(h->Fator(), 1.10);
  Mouse(h, QEvent::MouseMove, {70, 80});  // sideways lowers it
  EXPECT_DOUBLE_EQ(h->Fator(), 1.05);
  Mouse(h, QEvent::MouseMove, {70, 95});  // down
  EXPECT_DOUBLE_EQ(h->Fator(), 1.00);
  Mouse(h, QEvent::MouseButtonRelease, {70, 95});
  Mouse(h, QEvent::MouseMove, {70, 10});
  EXPECT_DOUBLE_EQ(h->Fator(), 1.00);
  // Any button drags.
  Mouse(h, QEvent::MouseButtonPress, {70, 100}, Qt::RightButton);
  Mouse(h, QEvent::MouseMove, {70, 50}, Qt::RightButton);
  EXPECT_DOUBLE_EQ(h->Fator(), 1.05);
}

}  // namespace
}  // namespace vandrel::testing
