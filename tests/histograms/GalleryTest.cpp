// Renders the control in every size and style into PNG files for a person to look at:
//   test_histograms --gtest_also_run_disabled_tests --gtest_filter='*Gallery*'
// writes them into $VANDREL_GALLERY_DIR (default /tmp/vandrel-histogram-gallery).
#include <gtest/gtest.h>

#include <QDir>
#include <cmath>
#include <cstdlib>

#include "app/histograms/ui/UDSHistograma.h"
#include "platform/Numbers.h"

namespace vandrel {
namespace {

GreyHistogram TwoPeaks(double a, double b) {
  GreyHistogram h{};
  double sum = 0;
  for (int i = 0; i < 256; ++i) {
    h[i] = std::exp(-std::pow((i - a) / 18.0, 2)) + 0.6 * std::exp(-std::pow((i - b) / 10.0, 2));
    sum += h[i];
  }
  for (double& v : h) v /= sum;
  return h;
}

TEST(HistogramGallery, DISABLED_RenderEverySizeAndStyle) {
  const char* env = std::getenv("VANDREL_GALLERY_DIR");
  const QString dir = env ? env : "/tmp/vandrel-histogram-gallery";
  QDir().mkpath(dir);
  const char* sizes[] = {"hs128", "hs256", "hs512", "hs1024", "hs256x256"};
  const char* styles[] = {"eGradiente", "eUmaCor", "eLinha", "eLinhaGradiente"};
  for (int t = 0; t < 5; ++t) {
    for (int e = 0; e < 4; ++e) {
      TDSHistograma h;
      h.SetTamanho(TTamanho(t));
      h.SetEstilo(TEstilo(e));
      h.SetNumLinhasVert(TLinhasVert((t + e) % 3));
      h.SetNumLinhasHor(uint8_t(e == 3 ? 7 : 3));
      h.SetCorDeDesenho(0x00A000);
      h.DefinirValores(TwoPeaks(80, 190));
      h.Desenhar();
      h.Desenho().save(QString("%1/single-%2-%3.png").arg(dir, sizes[t], styles[e]));
    }
    TDSHistograma o;
    o.SetTamanho(TTamanho(t));
    o.SetEstilo(eLinha);
    o.AdicionarValores(TwoPeaks(60, 120));
    o.AdicionarValores(TwoPeaks(110, 200));
    o.AdicionarValores(TwoPeaks(160, 30));
    o.DefinirLinha(2, "terceira", 3, CorDaFase(5));
    o.Desenhar();
    o.Desenho().save(QString("%1/overlay-%2.png").arg(dir, sizes[t]));
    o.SetEstilo(eUmaCor);
    o.Desenhar();
    o.Desenho().save(QString("%1/overlay-bars-%2.png").arg(dir, sizes[t]));
  }
  SetDecimalSeparator(',');
  TDSHistograma c;
  c.SetFator(2.0);
  c.DefinirValores(TwoPeaks(100, 140));
  c.Desenhar();
  c.Desenho().save(dir + "/single-hs256-fator2-comma.png");
  SetDecimalSeparator('.');
}

}  // namespace
}  // namespace vandrel
