// The histogram control's drawing, checked on the rendered bitmap: sizes, bars and their
// headroom, shared columns at scale 1, styles, grid lines and ticks, texts, the overlay,
// the on-screen colour, and the setter rule.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>

#include "HistogramTestUtil.h"
#include "app/histograms/ui/UDSHistograma.h"
#include "platform/Bmp.h"
#include "platform/Numbers.h"
#include "platform/PictureLoader.h"
#include "platform/qt/Dialogs.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TempDir.h"

namespace vandrel {
namespace {

using testing::Filled;
using testing::TempDir;

constexpr int32_t kRed = 0x0000FF, kBlue = 0xFF0000, kLime = 0x00FF00, kBlack = 0;
constexpr int32_t kSky = 0xF0CAA6;

int32_t At(const TDSHistograma& h, int x, int y) {
  const QRgb c = h.Desenho().pixel(x, y);
  return Rgb(qRed(c), qGreen(c), qBlue(c));
}

int32_t Grey(int i) { return Rgb(i, i, i); }

// Pixels of `colour` in a rectangle of the drawing.
int Count(const TDSHistograma& h, QRect r, int32_t colour) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += At(h, x, y) == colour;
  return n;
}

// A control with nothing but bars: no grid lines, ticks or texts.
void BarsOnly(TDSHistograma& h) {
  h.SetNumLinhasHor(0);
  h.SetNumLinhasVert(qNenhuma);
  h.SetAtivarTexto(false);
}

TEST(HistogramDrawing, SizesFromTamanho) {
  TDSHistograma h;
  EXPECT_EQ(h.size(), QSize(264, 189));  // until the first drawing
  const struct {
    TTamanho t;
    int w, hh, escala;
  } cases[] = {{hs128, 136, 98, 1},
               {hs256, 264, 188, 2},
               {hs512, 520, 368, 4},
               {hs1024, 1032, 728, 8},
               {hs256x256, 260, 260, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.w);
    h.SetTamanho(c.t);
    h.Desenhar();
    EXPECT_EQ(h.size(), QSize(c.w, c.hh));
    EXPECT_EQ(h.Desenho().size(), QSize(c.w, c.hh));
    EXPECT_EQ(h.Escala(), c.escala);
    EXPECT_EQ(h.AreaDoGrafico(), (Rect32{3, 5, c.w - 3, c.hh - 4}));
    // A two-pixel black frame round the background.
    for (auto [x, y] : {std::pair{0, 50},
                        {1, 50},
                        {c.w - 1, 50},
                        {c.w - 2, 50},
                        {50, 0},
                        {50, 1},
                        {50, c.hh - 1},
                        {50, c.hh - 2}})
      EXPECT_EQ(At(h, x, y), kBlack) << x << "," << y;
    EXPECT_EQ(At(h, 30, 30), kSky);
    EXPECT_EQ(At(h, c.w - 20, 30), kSky);
  }
}

TEST(HistogramDrawing, DefaultsAfterConstruction) {
  TDSHistograma h;
  EXPECT_EQ(h.Fator(), 1.0);
  EXPECT_EQ(h.CorDeFundo(), 0xF0CAA6);
  EXPECT_EQ(h.CorDeDesenho(), 0xFF0000);
  EXPECT_EQ(h.CorDaLinha(), 0x0000FF);
  EXPECT_EQ(h.CorDaLinhaGradiente(), 0);
  EXPECT_FALSE(h.GradienteRGB());
  EXPECT_EQ(h.Estilo(), eGradiente);
  EXPECT_EQ(h.Tamanho(), hs256);
  EXPECT_EQ(h.NumLinhasHor(), 3);
  EXPECT_EQ(h.NumLinhasVert(), qTodas);
  EXPECT_EQ(h.Espessura(), 1);
  EXPECT_TRUE(h.AtivarTexto());
  EXPECT_FALSE(h.Sobreposicao());
  EXPECT_FALSE(h.Desenhado());
  EXPECT_TRUE(h.Histogramas().empty());
  EXPECT_EQ(h.Valores(), GreyHistogram{});
  EXPECT_EQ(h.ContagemAcumulada(), GreyCounts{});
}

TEST(HistogramDrawing, BarHeightsLeaveTenPixelsOfHeadroom) {
  TDSHistograma h;
  BarsOnly(h);
  h.SetEstilo(eUmaCor);
  h.SetCorDeDesenho(kLime);
  GreyHistogram v{};
  v[100] = 0.04;  // the maximum: 188 - 10 = 178 pixels
  v[50] = 0.02;   // 89 pixels
  v[150] = 0.01;  // 44.5 pixels: halves round to even, 44
  h.DefinirValores(v);
  h.Desenhar();
  // hs256: base line 185, level i at x = 4 + i.
  EXPECT_EQ(At(h, 104, 185), kLime);
  EXPECT_EQ(At(h, 104, 8), kLime);
  EXPECT_EQ(At(h, 104, 7), kSky);
  EXPECT_EQ(At(h, 104, 186), kBlack);  // the frame under the base line
  EXPECT_EQ(At(h, 54, 97), kLime);
  EXPECT_EQ(At(h, 54, 96), kSky);
  EXPECT_EQ(At(h, 154, 142), kLime);
  EXPECT_EQ(At(h, 154, 141), kSky);
  EXPECT_EQ(At(h, 103, 185), kSky);  // one-pixel bars at scale 2
  EXPECT_EQ(At(h, 105, 185), kSky);

  // Fator 2 doubles every bar; the tallest runs over the frame, unclipped.
  h.SetFator(2.0);
  h.Desenhar();
  EXPECT_EQ(At(h, 54, 8), kLime);
  EXPECT_EQ(At(h, 54, 7), kSky);
  EXPECT_EQ(At(h, 104, 0), kLime);

  // A negative factor draws downwards from the base line; 0 draws nothing.
  h.SetFator(-1.0);
  h.Desenhar();
  EXPECT_EQ(At(h, 54, 185), kLime);
  EXPECT_EQ(At(h, 54, 187), kLime);
  EXPECT_EQ(At(h, 54, 184), kSky);
  h.SetFator(0.0);
  h.Desenhar();
  EXPECT_EQ(At(h, 104, 185), kSky);

  // Absurd factors draw without overflowing.
  h.SetFator(1e300);
  h.Desenhar();
  EXPECT_EQ(At(h, 104, 0), kLime);
}

TEST(HistogramDrawing, AnAllZeroHistogramDrawsNoBars) {
  TDSHistograma h;
  BarsOnly(h);
  h.Desenhar();
  for (int x = 2; x < 262; ++x) EXPECT_EQ(At(h, x, 185), kSky) << x;
}

TEST(HistogramDrawing, WidePensAtLargerSizes) {
  const struct {
    TTamanho t;
    int pen;
  } cases[] = {{hs512, 2}, {hs1024, 4}};
  for (const auto& c : cases) {
    TDSHistograma h;
    BarsOnly(h);
    h.SetTamanho(c.t);
    h.SetEstilo(eUmaCor);
    GreyHistogram v{};
    v[100] = 1.0;
    h.DefinirValores(v);
    h.Desenhar();
    const int x = ColumnX(3, 100, h.Escala()), base = h.AreaDoGrafico().bottom + 1;
    int covered = 0;
    for (int dx = -4; dx <= 4; ++dx) covered += At(h, x + dx, base) == kBlue;
    EXPECT_EQ(covered, c.pen);
    EXPECT_EQ(At(h, x, base - (h.height() - 10) + 1), kBlue);
    EXPECT_EQ(At(h, x, base - (h.height() - 10)), kSky);
  }
}

TEST(HistogramDrawing, LevelsShareColumnsAtScaleOne) {
  TDSHistograma h;
  BarsOnly(h);
  h.SetTamanho(hs128);  // base line 95, heights (98 - 10) / max * value
  GreyHistogram v{};
  v[0] = v[3] = 1.0;   // 88 pixels
  v[1] = v[4] = 0.5;   // 44
  v[2] = v[5] = 0.25;  // 22
  h.DefinirValores(v);
  h.Desenhar();
  // Levels 0 and 1 share column 4, level 2 has 5, levels 3, 4 and 5 share 6; the later
  // level is drawn over the earlier one.
  EXPECT_EQ(At(h, 4, 95), Grey(1));
  EXPECT_EQ(At(h, 4, 52), Grey(1));
  EXPECT_EQ(At(h, 4, 51), Grey(0));
  EXPECT_EQ(At(h, 4, 8), Grey(0));
  EXPECT_EQ(At(h, 4, 7), kSky);
  EXPECT_EQ(At(h, 5, 74), Grey(2));
  EXPECT_EQ(At(h, 5, 73), kSky);
  EXPECT_EQ(At(h, 6, 95), Grey(5));
  EXPECT_EQ(At(h, 6, 60), Grey(4));
  EXPECT_EQ(At(h, 6, 20), Grey(3));
  EXPECT_EQ(At(h, 7, 95), kSky);
}

TEST(HistogramDrawing, StylesOfTheSingleHistogram) {
  GreyHistogram v{};
  for (int i = 90; i <= 110; ++i) v[i] = 1.0 - std::abs(i - 100) / 20.0;
  const int32_t orange = Rgb(255, 128, 0);
  TDSHistograma h;
  BarsOnly(h);
  h.SetCorDeDesenho(orange);
  h.DefinirValores(v);

  h.SetEstilo(eGradiente);
  h.Desenhar();
  EXPECT_EQ(At(h, 104, 150), Grey(100));
  EXPECT_EQ(At(h, 96, 150), Grey(92));

  h.SetEstilo(eUmaCor);
  h.Desenhar();
  EXPECT_EQ(At(h, 104, 150), orange);

  h.SetEstilo(eLinha);
  h.Desenhar();
  EXPECT_EQ(At(h, 104, 8), orange);  // the peak of the line
  EXPECT_EQ(At(h, 104, 150), kSky);  // nothing under it
  EXPECT_EQ(At(h, 4, 185), orange);  // the line runs along the base line

  // Bars ramping from black to the drawing colour, with the line over them.
  h.SetEstilo(eLinhaGradiente);
  h.Desenhar();
  EXPECT_EQ(At(h, 104, 150), Rgb(100, 50, 0));  // round(100 * 128 / 255) = 50
  EXPECT_EQ(At(h, 104, 8), orange);
  h.SetCorDaLinhaGradiente(kLime);
  h.Desenhar();
  EXPECT_EQ(At(h, 104, 8), orange);  // the line colour only counts with GradienteRGB
  h.SetGradienteRGB(true);
  h.Desenhar();
  EXPECT_EQ(At(h, 104, 8), kLime);
  EXPECT_EQ(At(h, 104, 150), Rgb(100, 50, 0));
}

TEST(HistogramDrawing, HorizontalLinesAndTicksPerSize) {
  for (TTamanho t : {hs128, hs256, hs512, hs1024}) {
    SCOPED_TRACE(int(t));
    TDSHistograma h;
    h.SetTamanho(t);
    h.SetAtivarTexto(false);
    h.Desenhar();
    const int s = h.Escala(), top = 5, left = 3, right = h.AreaDoGrafico().right;
    // Three lines, step 90s div 4, from left - 1 to right.
    const int step = 90 * s / 4;
    for (int m = 1; m <= 3; ++m) {
      EXPECT_EQ(At(h, left - 1, top + m * step), kRed);
      EXPECT_EQ(At(h, right, top + m * step), kRed);
      EXPECT_EQ(At(h, left - 2, top + m * step), kBlack);
      EXPECT_EQ(At(h, 60 * s, top + m * step - 1), kSky);
    }
    // Major ticks every 50 levels, 5s long; minor ones every 10 levels, 2s long.
    for (int k = 0; k <= 5; ++k) {
      const int x = left + 25 * k * s;
      EXPECT_EQ(At(h, x, top + 90 * s), kRed) << k;
      EXPECT_EQ(At(h, x, top + 85 * s + 1), kRed) << k;
      EXPECT_EQ(At(h, x, top + 85 * s), kSky) << k;
    }
    const int minor = left + 5 * 3 * s;
    EXPECT_EQ(At(h, minor, top + 90 * s), kRed);
    EXPECT_EQ(At(h, minor, top + 88 * s + 1), kRed);
    EXPECT_EQ(At(h, minor, top + 88 * s), kSky);

    h.SetNumLinhasVert(qPrincipais);
    h.Desenhar();
    EXPECT_EQ(At(h, minor, top + 90 * s), kSky);
    EXPECT_EQ(At(h, left + 25 * s, top + 90 * s), kRed);
    h.SetNumLinhasVert(qNenhuma);
    h.Desenhar();
    EXPECT_EQ(At(h, left + 25 * s, top + 90 * s), kSky);
  }
}

TEST(HistogramDrawing, NumberOfHorizontalLines) {
  TDSHistograma h;
  h.SetAtivarTexto(false);
  h.SetNumLinhasHor(7);  // step 180 div 8 = 22
  h.Desenhar();
  for (int m = 1; m <= 7; ++m) EXPECT_EQ(At(h, 100, 5 + 22 * m), kRed) << m;
  EXPECT_EQ(At(h, 100, 5 + 22 * 8), kSky);
  h.SetNumLinhasHor(0);
  h.Desenhar();
  for (int y = 6; y < 176; ++y) EXPECT_EQ(At(h, 100, y), kSky) << y;
}

TEST(HistogramDrawing, SquareScaleOfHs256x256) {
  TDSHistograma h;
  h.SetTamanho(hs256x256);
  h.SetNumLinhasVert(qNenhuma);  // ignored at this size, as the line count is
  h.Desenhar();
  // Major tick k = 1 (p = 52, q = 57), 10 pixels long, on the four edges.
  for (int x = 2; x <= 11; ++x) EXPECT_EQ(At(h, x, 57), kRed) << x;
  EXPECT_EQ(At(h, 12, 57), kSky);
  for (int x = 248; x <= 257; ++x) EXPECT_EQ(At(h, x, 57), kRed) << x;
  EXPECT_EQ(At(h, 247, 57), kSky);
  for (int y = 2; y <= 11; ++y) EXPECT_EQ(At(h, 52, y), kRed) << y;
  EXPECT_EQ(At(h, 52, 12), kSky);
  for (int y = 248; y <= 257; ++y) EXPECT_EQ(At(h, 52, y), kRed) << y;
  EXPECT_EQ(At(h, 52, 247), kSky);
  // Minor tick k = 1 (p = 12, q = 17), 5 pixels long.
  EXPECT_EQ(At(h, 6, 17), kRed);
  EXPECT_EQ(At(h, 7, 17), kSky);
  EXPECT_EQ(At(h, 12, 253), kRed);
  EXPECT_EQ(At(h, 12, 251), kSky);
  // No horizontal lines and no texts.
  EXPECT_EQ(At(h, 100, 5 + 45), kSky);
  for (int y = 13; y < 240; ++y)
    for (int x = 13; x < 240; ++x) ASSERT_EQ(At(h, x, y), kSky) << x << "," << y;
}

TEST(HistogramTexts, PositionsAndNumbers) {
  const Rect32 area{3, 5, 261, 184};
  using T = std::vector<HistogramText>;
  EXPECT_EQ(HistogramTexts(hs256, 0.0390625, 1.0, 3, area), (T{{4, 4, "Max=3.91%"},
                                                               {4, 165, "0"},
                                                               {238, 165, "250"},
                                                               {2, 37, "2.93%"},
                                                               {2, 82, "1.95%"},
                                                               {2, 127, "0.98%"}}));
  // Fator divides every percentage.
  EXPECT_EQ(HistogramTexts(hs256, 0.0390625, 2.0, 1, area),
            (T{{4, 4, "Max=1.95%"}, {4, 165, "0"}, {238, 165, "250"}, {2, 82, "0.98%"}}));
  // No line labels without lines; an all-zero histogram shows its maximum as 1.
  EXPECT_EQ(HistogramTexts(hs256, 1.0, 1.0, 0, area),
            (T{{4, 4, "Max=100.00%"}, {4, 165, "0"}, {238, 165, "250"}}));
  // hs512 and hs1024: positions and sizes scale.
  const T big = HistogramTexts(hs512, 0.5, 1.0, 1, Rect32{3, 5, 517, 364});
  EXPECT_EQ(big, (T{{8, 8, "Max=50.00%"}, {8, 330, "0"}, {476, 330, "250"}, {2, 159, "25.00%"}}));
  EXPECT_EQ(HistogramTexts(hs1024, 0.5, 1.0, 0, Rect32{3, 5, 1029, 724})[2],
            (HistogramText{952, 660, "250"}));
  EXPECT_TRUE(HistogramTexts(hs128, 0.5, 1.0, 3, area).empty());
  EXPECT_TRUE(HistogramTexts(hs256x256, 0.5, 1.0, 3, area).empty());

  SetDecimalSeparator(',');
  EXPECT_EQ(HistogramTexts(hs256, 0.0390625, 1.0, 0, area)[0].text, "Max=3,91%");
  SetDecimalSeparator('.');
}

TEST(HistogramDrawing, TextsAreDrawnWhereAndWhenTheyBelong) {
  TDSHistograma h;
  h.SetNumLinhasVert(qNenhuma);
  h.Desenhar();
  const QRect maxText(4, 4, 50, 9), label(2, 37, 25, 9), zero(4, 165, 6, 9);
  EXPECT_GT(Count(h, maxText, kRed), 10);
  EXPECT_GT(Count(h, label, kRed), 10);
  EXPECT_GT(Count(h, zero, kRed), 3);
  h.SetAtivarTexto(false);
  h.Desenhar();
  EXPECT_EQ(Count(h, maxText, kRed), 0);
  EXPECT_EQ(Count(h, zero, kRed), 0);
  h.SetAtivarTexto(true);
  h.SetTamanho(hs128);
  h.SetNumLinhasHor(0);
  h.Desenhar();
  EXPECT_EQ(Count(h, QRect(2, 2, 132, 90), kRed), 0);
}

TEST(HistogramDrawing, OverlayCurvesInTheirColours) {
  GreyHistogram a{}, b{};
  a[50] = 1.0;
  b[200] = 0.5;  // each curve is scaled by its own maximum
  TDSHistograma h;
  BarsOnly(h);
  h.SetFator(3.0);
  h.AdicionarValores(a);
  h.AdicionarValores(b);
  h.DefinirLinha(1, "b", 1, kLime);
  h.Desenhar();
  EXPECT_EQ(h.Fator(), 1.0);
  EXPECT_EQ(At(h, 54, 7), kBlue);
  EXPECT_EQ(At(h, 204, 7), kLime);
  EXPECT_EQ(At(h, 60, 100), kSky);  // lines, not bars: eGradiente draws no grey bars here
  EXPECT_EQ(Count(h, QRect(40, 100, 30, 1), kBlue), 2);  // up and down the peak
  EXPECT_EQ(At(h, 120, 185), kLime);  // the later curve over the earlier one on the base line

  h.SetEstilo(eUmaCor);
  h.Desenhar();
  EXPECT_EQ(Count(h, QRect(40, 100, 30, 1), kBlue), 1);  // one bar
  EXPECT_EQ(At(h, 54, 100), kBlue);
  EXPECT_EQ(At(h, 204, 100), kLime);
  EXPECT_EQ(At(h, 120, 185), kSky);

  // Texts are never drawn in overlay mode.
  h.SetAtivarTexto(true);
  h.Desenhar();
  EXPECT_EQ(Count(h, QRect(4, 4, 50, 9), kRed), 0);
}

TEST(HistogramDrawing, AnEmptyOverlayDrawsFrameAndGrid) {
  TDSHistograma h;
  h.AdicionarValores(Filled(0.5));
  h.RemoverHistograma(0);
  ASSERT_TRUE(h.Sobreposicao());
  h.Desenhar();
  EXPECT_EQ(At(h, 100, 50), kRed);
  EXPECT_EQ(At(h, 100, 100), kSky);
  EXPECT_EQ(At(h, 0, 0), kBlack);
}

TEST(HistogramDrawing, EverySetterAndOperationCallsForARedraw) {
  TDSHistograma h;
  const std::vector<std::function<void()>> changes = {
      [&] { h.SetFator(1.0); },
      [&] { h.SetCorDeFundo(0); },
      [&] { h.SetCorDeDesenho(0); },
      [&] { h.SetCorDaLinha(0); },
      [&] { h.SetCorDaLinhaGradiente(0); },
      [&] { h.SetGradienteRGB(false); },
      [&] { h.SetEstilo(eGradiente); },
      [&] { h.SetTamanho(hs256); },
      [&] { h.SetNumLinhasHor(3); },
      [&] { h.SetNumLinhasVert(qTodas); },
      [&] { h.SetEspessura(1); },
      [&] { h.SetAtivarTexto(true); },
      [&] { h.DefinirValores(Filled(0)); },
      [&] { h.DefinirContagem(GreyCounts{}); },
      [&] { h.AdicionarContagem(GreyCounts{}); },
      [&] { h.Limpar(); },
      [&] { h.AdicionarValores(Filled(0)); },
      [&] { h.DefinirNome(0, "x"); },
      [&] { h.DefinirLinha(0, "x", 1, 0); },
      [&] { h.DefinirSobreposicao(false); },
  };
  for (size_t i = 0; i < changes.size(); ++i) {
    h.Desenhar();
    ASSERT_TRUE(h.Desenhado());
    changes[i]();
    EXPECT_FALSE(h.Desenhado()) << i;
  }
  // Also when the operation fails part-way.
  h.Desenhar();
  const vandrel::testing::TempDir dir;
  EXPECT_THROW(h.CarregarHis(dir / "no folder/x.his"), EInOutError);
  EXPECT_FALSE(h.Desenhado());
}

TEST(HistogramDrawing, CorNoPontoReadsWhatIsOnScreen) {
  TDSHistograma h;
  BarsOnly(h);
  h.SetEstilo(eUmaCor);
  GreyHistogram v{};
  v[100] = 1.0;
  h.DefinirValores(v);
  EXPECT_EQ(h.CorNoPonto(104, 100), -1);  // nothing painted yet
  h.grab();
  EXPECT_EQ(h.CorNoPonto(104, 100), kBlue);
  EXPECT_EQ(h.CorNoPonto(50, 100), kSky);
  // A change not yet painted is not on screen.
  h.SetCorDeDesenho(kLime);
  h.Desenhar();
  EXPECT_EQ(h.CorNoPonto(104, 100), kBlue);
  h.grab();
  EXPECT_EQ(h.CorNoPonto(104, 100), kLime);
  for (auto [x, y] : {std::pair{-1, 5}, {5, -1}, {264, 5}, {5, 188}})
    EXPECT_EQ(h.CorNoPonto(x, y), -1) << x << "," << y;
}

TEST(HistogramDrawing, AShownControlPaintsAndTakesItsSize) {
  static QStringList warnings;
  warnings.clear();
  const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg) warnings << text;
      });
  {
    QWidget form;
    form.resize(600, 400);
    TDSHistograma* h = new TDSHistograma(&form);
    h->SetTamanho(hs512);
    GreyHistogram v{};
    v[100] = 1.0;
    h->DefinirValores(v);
    form.show();
    for (int i = 0; i < 20 && h->CorNoPonto(5, 5) == -1; ++i) testing::Settle();
    EXPECT_EQ(h->size(), QSize(520, 368));
    EXPECT_TRUE(h->Desenhado());
    EXPECT_EQ(h->CorNoPonto(0, 0), kBlack);
    EXPECT_EQ(h->CorNoPonto(ColumnX(3, 100, 4), 300), Grey(100));
  }
  qInstallMessageHandler(previous);
  EXPECT_TRUE(warnings.isEmpty()) << warnings.join("\n").toStdString();
}

TEST(HistogramDrawing, SalvarBitmapWritesTheDrawing) {
  TempDir folder;
  TDSHistograma h;
  GreyHistogram v{};
  v[30] = 1.0;
  h.DefinirValores(v);
  h.Desenhar();
  const std::string f = folder / "h.bmp";
  h.SalvarBitmap(f);
  const std::vector<uint8_t> bytes = ReadWholeFile(f);
  const Bitmap b = DecodeBmp(bytes);
  ASSERT_EQ(b.width(), 264);
  ASSERT_EQ(b.height(), 188);
  for (auto [x, y] : {std::pair{0, 0}, {34, 100}, {100, 50}, {10, 10}, {263, 187}}) {
    const PaletteEntry p = b.pixelColor(x, y);
    EXPECT_EQ(Rgb(p.red, p.green, p.blue), At(h, x, y)) << x << "," << y;
  }
}

TEST(HistogramDrawing, ImagesThatAreNotEightBitAreRefusedWithAMessage) {
  ScriptedDialogsScope script;
  TDSHistograma h;
  h.DefinirValores(Filled(0.25));
  h.CalcularDeBitmap(Bitmap(2, 2, PixelFormat::pf24bit));
  ASSERT_EQ(script->messages.size(), 1u);
  EXPECT_EQ(script->messages[0].kind, MsgKind::Error);
  EXPECT_EQ(script->messages[0].text, "Essa não é uma imagem de 8 bits");
  EXPECT_EQ(script->messages[0].buttons, mbOK);
  EXPECT_EQ(h.Valores(), Filled(0.25));
}

TEST(HistogramDrawing, MouseEventsAndClick) {
  TDSHistograma h;
  std::vector<std::string> events;
  QObject::connect(&h, &TDSHistograma::OnClick, [&] { events.push_back("click"); });
  QObject::connect(&h, &TDSHistograma::OnMouseDown,
                   [&](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
                     events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
                   });
  QObject::connect(&h, &TDSHistograma::OnMouseMove, [&](Qt::KeyboardModifiers, int x, int y) {
    events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  });
  QObject::connect(
      &h, &TDSHistograma::OnMouseUp,
      [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { events.push_back("up"); });
  auto send = [&](QEvent::Type type, Qt::MouseButton button, QPoint p) {
    QMouseEvent e(type, QPointF(p), QPointF(h.mapToGlobal(p)), button,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QCoreApplication::sendEvent(&h, &e);
  };
  send(QEvent::MouseButtonPress, Qt::LeftButton, {10, 20});
  send(QEvent::MouseMove, Qt::LeftButton, {11, 22});
  send(QEvent::MouseButtonRelease, Qt::LeftButton, {12, 24});
  send(QEvent::MouseButtonPress, Qt::LeftButton, {10, 20});
  send(QEvent::MouseButtonRelease, Qt::LeftButton, {500, 20});  // released outside
  send(QEvent::MouseButtonPress, Qt::RightButton, {10, 20});
  send(QEvent::MouseButtonRelease, Qt::RightButton, {10, 20});
  EXPECT_EQ(events, (std::vector<std::string>{"down 10,20", "move 11,22", "click", "up",
                                              "down 10,20", "up", "down 10,20", "up"}));
}

}  // namespace
}  // namespace vandrel
