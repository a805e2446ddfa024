// bench_contrast [REPEATS]: times, on a 4096 x 4096 8-bit image, the application of a
// transfer curve (ours, and the plain copy-then-map-every-byte loop) next to a memcpy of the
// same bytes; the computation of each curve type; and the contrast window's steps: opening
// it, a level slider change with the repaint of the curve over the histogram, and "Aplicar".
// Prints the best of REPEATS runs (default 20) of each.
#include <QApplication>
#include <QSlider>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "app/imaging/model/TransferCurve.h"
#include "app/imaging/model/UGama.h"
#include "app/imaging/ui/Grafico.h"
#include "app/imaging/ui/UGama.h"
#include "app/imaging/ui/UnitImagem.h"
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
  for (size_t i = 0; i < image.byteSize(); ++i)
    image.bits()[i] = uint8_t(std::clamp(grey(random), 0.0, 255.0));
  const double mb = double(image.byteSize()) / (1 << 20);
  const TransferCurve curve = CurvaDeContraste(kTipoGama, false, 20, 230, 2.0, {});

  std::vector<uint8_t> copy(image.byteSize());
  const double copyMs = BestMs(repeats, [&] {
    std::memcpy(copy.data(), image.bits(), image.byteSize());
    sink = copy[12345];
  });
  const double oursMs = BestMs(repeats, [&] {
    const Bitmap out = ApplyCurve(image, curve);
    sink = out.bits()[12345];
  });
  const double plainMs = BestMs(repeats, [&] {
    Bitmap b = image;
    for (int y = 0; y < b.height(); ++y) {
      uint8_t* row = b.scanLine(y);
      for (int x = 0; x < b.width(); ++x) row[x] = curve[row[x]];
    }
    sink = b.bits()[12345];
  });
  std::printf("apply a curve to %d x %d 8-bit (%.0f MB), best of %d:\n", side, side, mb, repeats);
  std::printf("  memcpy                      %8.2f ms  %7.0f MB/s\n", copyMs, mb / copyMs * 1000);
  std::printf("  ApplyCurve (fresh result)   %8.2f ms  %7.0f MB/s  (%.2f x memcpy)\n", oursMs,
              mb / oursMs * 1000, oursMs / copyMs);
  std::printf("  copy, then byte table       %8.2f ms  %7.0f MB/s\n", plainMs, mb / plainMs * 1000);

  std::printf("curve computation (256 entries), best of %d x 1000:\n", repeats);
  for (uint8_t tipo : {kTipoGama, kTipoLinear, kTipoLog}) {
    const double ms = BestMs(repeats, [&] {
      for (int k = 0; k < 1000; ++k)
        sink = CurvaDeContraste(tipo, k & 1, k % 100, 255, 2.0, {})[200];
    });
    std::printf("  %-12s                %8.2f us\n", NomeDoTipo(tipo).c_str(), ms);
  }

  // The window on the large image, as the user meets it.
  auto* janela = new TFormImagem(nullptr);
  janela->DefinirNome("big.bmp");
  janela->DefinirBitmap(image);
  std::unique_ptr<TFormContraste> form;
  const double openMs = BestMs(std::max(1, repeats / 4), [&] {
    form.reset();
    form.reset(TFormContraste::CreateComImagem(nullptr, janela));
  });
  form->show();
  QApplication::processEvents();
  int value = 0;
  const double slideMs = BestMs(repeats, [&] {
    value = (value + 37) % 200;
    form->Barra1->setValue(value);
    form->Grafico->repaint();
  });
  const double applyMs = BestMs(std::max(1, repeats / 4), [&] { form->Aplicar(); });
  std::printf("contrast window on %d x %d, best of %d:\n", side, side, repeats);
  std::printf("  opening (copy and histogram) %8.2f ms\n", openMs);
  std::printf("  level slider step + repaint  %8.3f ms\n", slideMs);
  std::printf("  Aplicar (new output window)  %8.2f ms\n", applyMs);
  form.reset();
  delete janela;  // and the output windows it owns
  return 0;
}
