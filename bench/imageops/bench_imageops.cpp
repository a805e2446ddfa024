// bench_imageops [REPEATS]: times the image operations on a 4096 x 4096 micrograph-like
// image and prints the best of REPEATS runs (default 10) of each, in milliseconds and in
// megapixels per second, with a memcpy of the source bytes as the yardstick.
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
#include "app/imaging/model/SimilarPixels.h"
#include "bench/support/BestTime.h"

namespace {

using vandrel::bench::BestMs;

volatile uint64_t sink;

void Report(const char* name, double ms, double pixels) {
  std::printf("%-46s %9.2f ms %9.1f Mpixel/s\n", name, ms, pixels / ms / 1000.0);
}

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

  std::vector<uint8_t> copy(colour.byteSize());
  Report("memcpy of the 8-bit image",
         BestMs(repeats,
                [&] {
                  std::memcpy(copy.data(), grey.bits(), grey.byteSize());
                  sink = copy[77];
                }),
         pixels);
  Report("memcpy of the 24-bit image",
         BestMs(repeats,
                [&] {
                  std::memcpy(copy.data(), colour.bits(), colour.byteSize());
                  sink = copy[77];
                }),
         pixels);

  Report("mean filter (8-bit)", BestMs(repeats, [&] { sink = FiltroMedia(grey).bits()[5]; }),
         pixels);
  Report("greyscale (24 -> 8 bits)",
         BestMs(repeats, [&] { sink = ConverterParaCinza(colour, GreyRamp()).bits()[5]; }), pixels);
  Report("brightness 50 % (copy + table)",
         BestMs(repeats,
                [&] {
                  Bitmap b = grey;
                  AplicarBrilho(b, 50);
                  sink = b.bits()[5];
                }),
         pixels);
  Report("channel split, green",
         BestMs(repeats, [&] { sink = ExtrairCanal(colour, 1, GreyRamp())->bits()[5]; }), pixels);

  // Similar pixels: a 512 x 512 selection, then the whole image marked and recoloured.
  const Point a{1000, 1000}, b{1511, 1511};
  const OpcoesSimilares os3{EscolhaSimilares::MaisFrequentes, 3, std::nullopt, 0xFFFFFF};
  const OpcoesSimilares todos{EscolhaSimilares::Todos, 0, 0x0000FF, 0};
  Report("similar pixels, 8-bit, \"Os\" 3",
         BestMs(repeats, [&] { sink = RecolorirSimilares(grey, a, b, os3).bits()[5]; }), pixels);
  Report("similar pixels, 8-bit, all, new colour",
         BestMs(repeats, [&] { sink = RecolorirSimilares(grey, a, b, todos).bits()[5]; }), pixels);
  Report("similar pixels, 24-bit, \"Os\" 3",
         BestMs(repeats, [&] { sink = RecolorirSimilares(colour, a, b, os3).bits()[5]; }), pixels);
  Report("similar pixels, 24-bit, all, new colour",
         BestMs(repeats, [&] { sink = RecolorirSimilares(colour, a, b, todos).bits()[5]; }),
         pixels);
  const size_t distintas = CoresDaSelecao(colour, a, b).size();
  Report("colour list of the 24-bit selection only",
         BestMs(repeats, [&] { sink = CoresDaSelecao(colour, a, b).size(); }),
         double(b.x - a.x + 1) * (b.y - a.y + 1));
  std::printf("(%zu distinct colours in the 24-bit selection)\n", distintas);
  // The whole image as the selection.
  Report("similar pixels, 8-bit, whole image selected",
         BestMs(repeats,
                [&] {
                  sink = RecolorirSimilares(grey, {0, 0}, {kSide - 1, kSide - 1}, os3).bits()[5];
                }),
         pixels);
  Report("similar pixels, 24-bit, whole image selected",
         BestMs(std::max(1, repeats / 4),
                [&] {
                  sink = RecolorirSimilares(colour, {0, 0}, {kSide - 1, kSide - 1}, os3).bits()[5];
                }),
         pixels);
  return 0;
}
