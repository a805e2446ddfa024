// Encodes 2048 x 2048 8-bit images as GIF with our writer and with giflib (EGifPutLine) in
// the same run and prints the times and their ratio (ours / giflib; below 1 means we are
// faster), then the time of our writer on a 4096 x 4096 micrograph.
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "codecs/gif/GifImage.h"

namespace {

using Bytes = std::vector<uint8_t>;

int WriteToMemory(GifFileType* gif, const GifByteType* data, int count) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + count);
  return count;
}

double BestSeconds(int runs, const std::function<void()>& fn) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    fn();
    const auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
  }
  return best;
}

Bytes Ours(const vandrel::Bitmap& bitmap) {
  Bytes stream;
  vandrel::TGIFEncoder encoder(&stream);
  encoder.WriteHeader(uint16_t(bitmap.width()), uint16_t(bitmap.height()), 0, 0, nullptr, "");
  encoder.AddFrame(&bitmap, &bitmap.palette(), 0, 0, 0, 0, false, 0, "");
  return stream;
}

Bytes Giflib(const vandrel::Bitmap& bitmap) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToMemory, &error);
  ColorMapObject* map = GifMakeMapObject(256, nullptr);
  for (int i = 0; i < 256; ++i) map->Colors[i] = {GifByteType(i), GifByteType(i), GifByteType(i)};
  EGifPutScreenDesc(gif, bitmap.width(), bitmap.height(), 8, 0, nullptr);
  EGifPutImageDesc(gif, 0, 0, bitmap.width(), bitmap.height(), false, map);
  for (int y = 0; y < bitmap.height(); ++y)
    EGifPutLine(gif, const_cast<uint8_t*>(bitmap.scanLine(y)), bitmap.width());
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

vandrel::Bitmap Picture(int side, int kind) {
  std::mt19937 random(1);
  vandrel::Bitmap b(side, side, vandrel::PixelFormat::pf8bit);
  b.setPalette(vandrel::GreyRamp());
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const double phase = 128 + 70 * std::sin(x / 37.0) * std::cos(y / 53.0);
      uint8_t v;
      switch (kind) {
        case 0:
          v = uint8_t(std::clamp(phase + double(random() % 9) - 4, 0.0, 255.0));
          break;
        case 1:
          v = uint8_t(random());
          break;
        default:
          v = uint8_t(((x / 256) + (y / 256)) % 4 * 60);
          break;
      }
      b.scanLine(y)[x] = v;
    }
  return b;
}

void Compare(const char* name, const vandrel::Bitmap& bitmap) {
  size_t ourSize = 0, theirSize = 0;
  const double ours = BestSeconds(5, [&] { ourSize = Ours(bitmap).size(); });
  const double theirs = BestSeconds(5, [&] { theirSize = Giflib(bitmap).size(); });
  std::printf("%-12s ours %7.2f ms (%8.1f KB)  giflib %7.2f ms (%8.1f KB)  ratio %.2f\n", name,
              ours * 1e3, double(ourSize) / 1024, theirs * 1e3, double(theirSize) / 1024,
              ours / theirs);
}

}  // namespace

int main() {
  std::printf("GIF encode, 2048 x 2048, 8 bits, best of 5\n");
  Compare("micrograph", Picture(2048, 0));
  Compare("noise", Picture(2048, 1));
  Compare("flat areas", Picture(2048, 2));
  const vandrel::Bitmap large = Picture(4096, 0);
  const double t = BestSeconds(3, [&] { Ours(large); });
  std::printf("4096 x 4096 micrograph, ours: %.1f ms\n", t * 1e3);
  return 0;
}
