// bench_save_image [REPEATS]: saving an 8000 x 6000 micrograph as GIF the way the image
// window does (EncodeForSave), for an 8-bit picture and for a 24-bit one (which is first
// reduced to a palette), with a memcpy of the pixels as the yardstick. Prints the best of
// REPEATS runs (default 3).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "app/imaging/model/SaveImage.h"
#include "bench/support/BestTime.h"

namespace {

using vandrel::bench::BestMs;

constexpr int kW = 8000, kH = 6000;

// Grey levels spread around a slowly varying mean, as in a micrograph.
uint8_t Level(std::mt19937& random, int x, int y, double period) {
  const double mean = 128 + 70 * std::sin(x / period) * std::cos(y / (period * 1.4));
  return uint8_t(std::clamp(mean + double(random() % 17) - 8, 0.0, 255.0));
}

void Report(const char* name, double ms) {
  std::printf("%-44s %9.1f ms %8.1f Mpixel/s\n", name, ms, double(kW) * kH / ms / 1000.0);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vandrel;
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::mt19937 random(1);
  Bitmap grey(kW, kH, PixelFormat::pf8bit);
  grey.setPalette(GreyRamp());
  Bitmap colour(kW, kH, PixelFormat::pf24bit);
  for (int y = 0; y < kH; ++y) {
    uint8_t* g = grey.scanLine(y);
    uint8_t* c = colour.scanLine(y);
    for (int x = 0; x < kW; ++x) {
      g[x] = Level(random, x, y, 37.0);
      c[3 * x] = Level(random, x, y, 41.0);
      c[3 * x + 1] = Level(random, x, y, 53.0);
      c[3 * x + 2] = Level(random, x, y, 29.0);
    }
  }
  std::printf("GIF save, %d x %d, best of %d\n", kW, kH, repeats);

  std::vector<uint8_t> copy(colour.byteSize());
  Report("memcpy of the 24-bit pixels (yardstick)",
         BestMs(repeats, [&] { std::memcpy(copy.data(), colour.bits(), copy.size()); }));
  size_t size = 0;
  Report("EncodeForSave GIF, 8-bit picture", BestMs(repeats, [&] {
           Bitmap picture = grey;
           size = EncodeForSave(picture, kSaveGif).size();
         }));
  std::printf("%44s %9.1f MB\n", "", double(size) / 1e6);
  Report("  24 -> 8 bits (palette reduction)", BestMs(repeats, [&] {
           Bitmap picture = colour;
           picture.setPixelFormat(PixelFormat::pf8bit);
         }));
  Report("EncodeForSave GIF, 24-bit picture", BestMs(repeats, [&] {
           Bitmap picture = colour;
           size = EncodeForSave(picture, kSaveGif).size();
         }));
  std::printf("%44s %9.1f MB\n", "", double(size) / 1e6);
  return 0;
}
