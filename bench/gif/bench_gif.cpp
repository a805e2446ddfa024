// Decodes 2048 x 2048 8-bit GIFs with our reader and with giflib in the same run and
// prints the times and their ratio (ours / giflib; below 1 means we are faster).
// Three kinds of picture: a micrograph-like grey image (smooth phases with noise), pure
// noise (short strings) and large flat areas (long strings).
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "codecs/gif/GifImage.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kSide = 2048;

int WriteToMemory(GifFileType* gif, const GifByteType* data, int count) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + count);
  return count;
}

struct Input {
  const Bytes* bytes;
  size_t at;
};

int ReadFromMemory(GifFileType* gif, GifByteType* target, int count) {
  auto* in = static_cast<Input*>(gif->UserData);
  const size_t n = std::min(size_t(count), in->bytes->size() - in->at);
  std::memcpy(target, in->bytes->data() + in->at, n);
  in->at += n;
  return int(n);
}

Bytes EncodeWithGiflib(const Bytes& pixels, bool interlaced) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToMemory, &error);
  ColorMapObject* map = GifMakeMapObject(256, nullptr);
  for (int i = 0; i < 256; ++i) map->Colors[i] = {GifByteType(i), GifByteType(i), GifByteType(i)};
  EGifPutScreenDesc(gif, kSide, kSide, 8, 0, map);
  EGifPutImageDesc(gif, 0, 0, kSide, kSide, interlaced, nullptr);
  std::vector<int> order;
  if (interlaced) {
    for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
      for (int y = start; y < kSide; y += step) order.push_back(y);
  } else {
    for (int y = 0; y < kSide; ++y) order.push_back(y);
  }
  for (int y : order)
    EGifPutLine(gif, const_cast<uint8_t*>(pixels.data()) + size_t(y) * kSide, kSide);
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
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

void Compare(const char* name, const Bytes& pixels, bool interlaced) {
  const Bytes file = EncodeWithGiflib(pixels, interlaced);
  uint64_t sink = 0;
  const double ours = BestSeconds(7, [&] {
    vandrel::TGIF picture;
    picture.LoadFromStream(file);
    sink += picture.scanLine(kSide / 2)[kSide / 3];
  });
  const double theirs = BestSeconds(7, [&] {
    Input in{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&in, ReadFromMemory, &error);
    DGifSlurp(gif);
    sink += gif->SavedImages[0].RasterBits[size_t(kSide) * kSide / 2 + kSide / 3];
    DGifCloseFile(gif, &error);
  });
  std::printf("%-28s %8.1f KB  ours %7.2f ms  giflib %7.2f ms  ratio %.2f%s\n", name,
              double(file.size()) / 1024, ours * 1e3, theirs * 1e3, ours / theirs,
              sink == 0xFFFFFFFF ? " " : "");
}

}  // namespace

int main() {
  std::mt19937 random(1);
  Bytes micrograph(size_t(kSide) * kSide), noise(micrograph.size()), flat(micrograph.size());
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const size_t i = size_t(y) * kSide + size_t(x);
      const double phase = 128 + 70 * std::sin(x / 37.0) * std::cos(y / 53.0);
      micrograph[i] = uint8_t(std::clamp(phase + double(random() % 9) - 4, 0.0, 255.0));
      noise[i] = uint8_t(random());
      flat[i] = uint8_t(((x / 256) + (y / 256)) % 4 * 60);
    }
  std::printf("GIF decode, %d x %d, 8 bits, best of 7\n", kSide, kSide);
  Compare("micrograph", micrograph, false);
  Compare("micrograph interlaced", micrograph, true);
  Compare("noise", noise, false);
  Compare("flat areas", flat, false);
  return 0;
}
