// bench_thresholds [REPEATS]: times the colouring by thresholds of a 4096 x 4096 8-bit
// image with 15 thresholds, next to a memcpy of the 48 MB it writes and to the plain rule
// (a scan of the thresholds for every pixel); then the thresholds window's preview step
// (colouring plus handing the result to the source image window) and the area table's
// refresh. Prints the best of REPEATS runs (default 20) of each, and each as a ratio to the
// memcpy of the same run.
#include <QApplication>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "app/imaging/ui/UnitImagem.h"
#include "app/thresholds/model/PhaseAreas.h"
#include "app/thresholds/model/PhaseColouring.h"
#include "app/thresholds/ui/ULimiares.h"
#include "app/thresholds/ui/Univel.h"
#include "bench/support/BestTime.h"

namespace {

using vandrel::bench::BestMs;

volatile uint64_t sink;

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  using namespace vandrel;

  const int side = 4096;
  Bitmap image(side, side, PixelFormat::pf8bit);
  image.setPalette(GreyRamp());
  std::mt19937 random(1);
  std::normal_distribution<double> grey(110, 35);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      image.scanLine(y)[x] = uint8_t(std::clamp(grey(random), 0.0, 255.0));

  Limiares lim = LimiaresIniciais();
  for (int i = 1; i <= kMaxNiveis; ++i) lim[size_t(i)] = uint8_t(16 * i);
  const PaletaFases paleta = PaletaPadrao();
  const double mb = double(side) * side * 3 / (1 << 20);

  std::vector<uint8_t> from(size_t(side) * side * 3, 1), to(from.size());
  const double copyMs = BestMs(repeats, [&] {
    std::memcpy(to.data(), from.data(), from.size());
    sink = to[12345];
  });
  const double tableMs = BestMs(repeats, [&] {
    const TabelaDeCores t = CoresDosNiveis(kMaxNiveis, lim, paleta);
    sink = t[200][1];
  });
  Bitmap out;
  const double reusedMs = BestMs(repeats, [&] {
    ColorirImagem(image, CoresDosNiveis(kMaxNiveis, lim, paleta), out);
    sink = out.scanLine(100)[300];
  });
  const double freshMs = BestMs(repeats, [&] {
    Bitmap fresh;
    ColorirImagem(image, CoresDosNiveis(kMaxNiveis, lim, paleta), fresh);
    sink = fresh.scanLine(100)[300];
  });
  const double ruleMs = BestMs(std::max(1, repeats / 4), [&] {
    for (int y = 0; y < side; ++y) {
      const uint8_t* s = image.scanLine(y);
      uint8_t* d = out.scanLine(y);
      for (int x = 0; x < side; ++x) {
        const TriploCor c = CorDoNivel(s[x], kMaxNiveis, lim, paleta);
        std::memcpy(d + 3 * x, c.data(), 3);
      }
    }
    sink = out.scanLine(100)[300];
  });
  const GreyCounts counts = CountGreyLevels(image);
  const double areasMs = BestMs(repeats, [&] {
    const auto rows = CalcularAreas(counts, int64_t(side) * side, kMaxNiveis, lim);
    sink = uint64_t(rows[3].centesimos);
  });

  std::printf("colouring %dx%d, 15 thresholds (%.0f MB written), best of %d:\n", side, side, mb,
              repeats);
  std::printf("  memcpy of the output's size      %8.2f ms  (%.0f MB/s)\n", copyMs,
              mb / copyMs * 1000);
  std::printf("  lookup table of 256 levels       %8.4f ms\n", tableMs);
  std::printf("  ColorirImagem, buffer reused     %8.2f ms  (%.0f MB/s, %.2f x memcpy)\n", reusedMs,
              mb / reusedMs * 1000, reusedMs / copyMs);
  std::printf("  ColorirImagem, fresh bitmap      %8.2f ms  (%.2f x memcpy)\n", freshMs,
              freshMs / copyMs);
  std::printf("  rule per pixel (no table)        %8.2f ms  (%.2f x memcpy)\n", ruleMs,
              ruleMs / copyMs);
  std::printf("  area table rows                  %8.4f ms\n", areasMs);

  // The window's preview step: the colouring handed to a 4096 x 4096 image window, which
  // keeps a copy and shows it.
  auto* janela = new TFormImagem(nullptr);
  janela->DefinirBitmap(image);
  TFormLimiares* w = TFormLimiares::CreateComImagem(janela, janela);
  w->Timer1->stop();
  for (int i = 2; i <= kMaxNiveis; ++i) w->NovoNivel();
  int p = 0;
  const double previewMs = BestMs(repeats, [&] {
    w->Niveis[1]->Barra->setValue(1 + (p++ % 10));
    w->AtualizarPreview();
  });
  const double changeMs = BestMs(repeats, [&] {
    w->PreviewLiberado = false;
    w->Niveis[1]->Barra->setValue(1 + (p++ % 10));  // areas, palette bar, no preview
  });
  // The memcpy again, next to the preview, so that the ratio compares like with like when
  // the machine's load changes during the run.
  const double copyAgainMs = BestMs(repeats, [&] {
    std::memcpy(to.data(), from.data(), from.size());
    sink = to[12345];
  });
  std::printf("thresholds window on a %dx%d image window:\n", side, side);
  std::printf("  preview (colouring + hand-over)     %6.2f ms  (tick: 150 ms)\n", previewMs);
  std::printf("  preview / memcpy of its output      %6.2f x  (memcpy %.2f ms)\n",
              previewMs / std::min(copyMs, copyAgainMs), std::min(copyMs, copyAgainMs));
  std::printf("  a change between ticks              %6.3f ms\n", changeMs);
  delete janela;
  return 0;
}
