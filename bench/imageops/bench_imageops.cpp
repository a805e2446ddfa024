// bench_imageops [REPEATS]: times the image operations on a 4096 x 4096 micrograph-like
// image as the program runs them, each making a fresh result as an output window gets it,
// and prints the best of REPEATS runs (default 10) of each, in milliseconds, with the ratio
// to a memcpy of the result's bytes into a buffer reused across runs, timed in the same run.
// The row loops alone (into a reused bitmap) are timed too, to tell them apart from the
// cost of the fresh result's memory. bench/imageops/opencv_reference.py times OpenCV's
// single-threaded counterparts on pictures of the same size.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "app/imaging/model/Brightness.h"
#include "app/imaging/model/ChannelSplit.h"
#include "app/imaging/model/Greyscale.h"
#include "app/imaging/model/MeanFilter.h"
#include "app/imaging/model/PixelRows.h"
#include "app/imaging/model/SimilarPixels.h"
#include "bench/support/BestTime.h"

namespace {

using vandrel::bench::BestMs;

volatile uint64_t sink;

}  // namespace

int main(int argc, char** argv) {
  using namespace vandrel;
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  constexpr int kSide = 4096;
  const double pixels = double(kSide) * kSide;

  // Grey levels spread around a mean, as in a micrograph; the colour image has three
  // such channels, quantised to 32 levels each so that selections repeat colours.
  std::mt19937 random(1);
  std::normal_distribution<double> level(110, 35);
  auto Level = [&] { return uint8_t(std::clamp(level(random), 0.0, 255.0)); };
  Bitmap grey(kSide, kSide, PixelFormat::pf8bit);
  grey.setPalette(GreyRamp());
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) grey.scanLine(y)[x] = Level();
  Bitmap colour(kSide, kSide, PixelFormat::pf24bit);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < 3 * kSide; ++x) colour.scanLine(y)[x] = uint8_t(Level() & 0xF8);

  // The yardsticks: a memcpy of an 8-bit and of a 24-bit result's bytes.
  std::vector<uint8_t> from(colour.byteSize(), 1), to(colour.byteSize());
  auto Copy = [&](size_t bytes) {
    return BestMs(repeats, [&] {
      std::memcpy(to.data(), from.data(), bytes);
      sink = to[77];
    });
  };
  const double copy8 = Copy(grey.byteSize()), copy24 = Copy(colour.byteSize());
  std::printf("memcpy of an 8-bit result (%zu MB): %.2f ms; of a 24-bit result (%zu MB): %.2f ms\n",
              grey.byteSize() >> 20, copy8, colour.byteSize() >> 20, copy24);
  std::printf("%-46s %9s %9s %9s\n", "fresh result per run", "ms", "Mpixel/s", "memcpys");
  auto Report = [&](const char* name, double ms, double yardstick) {
    std::printf("%-46s %9.2f %9.1f %9.2f\n", name, ms, pixels / ms / 1000.0, ms / yardstick);
  };
  auto Time = [&](const char* name, double yardstick, const std::function<void()>& f,
                  int runs = 0) { Report(name, BestMs(runs ? runs : repeats, f), yardstick); };

  Time("mean filter (8-bit)", copy8, [&] { sink = FiltroMedia(grey).bits()[5]; });
  Time("greyscale (24 -> 8 bits)", copy8,
       [&] { sink = ConverterParaCinza(colour, GreyRamp()).bits()[5]; });
  Time("brightness 50 %", copy8, [&] { sink = ComBrilho(grey, 50).bits()[5]; });
  Time("channel split, green", copy8,
       [&] { sink = ExtrairCanal(colour, 1, GreyRamp())->bits()[5]; });

  // Similar pixels: a 512 x 512 selection, a single pixel, then the whole image.
  const Point a{1000, 1000}, b{1511, 1511};
  const Point inicio{0, 0}, fim{kSide - 1, kSide - 1};
  const OpcoesSimilares os3{EscolhaSimilares::MaisFrequentes, 3, std::nullopt, 0xFFFFFF};
  const OpcoesSimilares todos{EscolhaSimilares::Todos, 0, 0x0000FF, 0};
  Time("similar pixels, 8-bit, \"Os\" 3", copy24,
       [&] { sink = RecolorirSimilares(grey, a, b, os3).bits()[5]; });
  Time("similar pixels, 8-bit, all, new colour", copy24,
       [&] { sink = RecolorirSimilares(grey, a, b, todos).bits()[5]; });
  Time("similar pixels, 24-bit, \"Os\" 3", copy24,
       [&] { sink = RecolorirSimilares(colour, a, b, os3).bits()[5]; });
  Time("similar pixels, 24-bit, all, new colour", copy24,
       [&] { sink = RecolorirSimilares(colour, a, b, todos).bits()[5]; });
  Time("similar pixels, 24-bit, one pixel selected", copy24,
       [&] { sink = RecolorirSimilares(colour, a, a, os3).bits()[5]; });
  Time("similar pixels, 8-bit, whole image selected", copy24,
       [&] { sink = RecolorirSimilares(grey, inicio, fim, os3).bits()[5]; });
  Time("similar pixels, 24-bit, whole image selected", copy24,
       [&] { sink = RecolorirSimilares(colour, inicio, fim, os3).bits()[5]; });
  std::printf("colour list alone (selected pixels per second):\n");
  const double selected = double(b.x - a.x + 1) * (b.y - a.y + 1);
  const double listMs = BestMs(repeats, [&] { sink = CoresDaSelecao(colour, a, b).size(); });
  std::printf("  24-bit 512 x 512, %zu colours          %9.2f ms %9.1f Mpixel/s\n",
              CoresDaSelecao(colour, a, b).size(), listMs, selected / listMs / 1000.0);
  const double wholeMs =
      BestMs(repeats, [&] { sink = CoresDaSelecao(colour, inicio, fim).size(); });
  std::printf("  24-bit whole image, %zu colours        %9.2f ms %9.1f Mpixel/s\n",
              CoresDaSelecao(colour, inicio, fim).size(), wholeMs, pixels / wholeMs / 1000.0);
  const double wholeGreyMs =
      BestMs(repeats, [&] { sink = CoresDaSelecao(grey, inicio, fim).size(); });
  std::printf("  8-bit whole image                        %9.2f ms %9.1f Mpixel/s\n", wholeGreyMs,
              pixels / wholeGreyMs / 1000.0);

  // The row loops alone, each version this processor runs, into reused bitmaps.
  Bitmap grey2 = grey, colour2 = colour;
  std::printf("row loops into a reused bitmap (ms):\n");
  for (const pixels::RowKernels* k : pixels::AvailableKernels()) {
    auto Rows = [&](auto&& row) {
      return BestMs(repeats, [&] {
        for (int y = 0; y < kSide; ++y) row(y);
        sink = colour2.bits()[5] + grey2.bits()[7];
      });
    };
    uint32_t cores[256];
    for (uint32_t i = 0; i < 256; ++i) cores[i] = i * 0x010203u;
    const double g = Rows([&](int y) { k->grey(colour.scanLine(y), grey2.scanLine(y), kSide); });
    const double c =
        Rows([&](int y) { k->channel(colour.scanLine(y), 1, grey2.scanLine(y), kSide); });
    const double ad = Rows([&](int y) { k->add(grey.scanLine(y), grey2.scanLine(y), kSide, 127); });
    const double t = Rows(
        [&](int y) { k->table(grey.scanLine(y), grey2.scanLine(y), kSide, grey.scanLine(9)); });
    const double e =
        Rows([&](int y) { k->expand(grey.scanLine(y), colour2.scanLine(y), kSide, cores); });
    std::printf("  %-6s grey %6.2f  channel %6.2f  add %6.2f  table %6.2f  expand %6.2f\n", k->name,
                g, c, ad, t, e);
  }
  return 0;
}
