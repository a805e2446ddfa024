#include "app/histograms/model/GreyLevels.h"

#include <cstring>

namespace vandrel {

GreyCounts CountGreyLevels(const Bitmap& bitmap) {
  GreyCounts counts{};
  if (bitmap.format() != PixelFormat::pf8bit || bitmap.empty()) return counts;
  // Four tables filled in turn keep consecutive equal bytes from waiting on each other's
  // increments; 32-bit counters are enough, a bitmap holding at most 2^30 pixels.
  alignas(64) uint32_t t[4][256] = {};
  const int width = bitmap.width();
  for (int y = 0; y < bitmap.height(); ++y) {
    const uint8_t* p = bitmap.scanLine(y);
    int x = 0;
    for (; x + 8 <= width; x += 8) {
      uint64_t v;
      std::memcpy(&v, p + x, 8);
      ++t[0][v & 0xFF];
      ++t[1][(v >> 8) & 0xFF];
      ++t[2][(v >> 16) & 0xFF];
      ++t[3][(v >> 24) & 0xFF];
      ++t[0][(v >> 32) & 0xFF];
      ++t[1][(v >> 40) & 0xFF];
      ++t[2][(v >> 48) & 0xFF];
      ++t[3][v >> 56];
    }
    for (; x < width; ++x) ++t[0][p[x]];
  }
  for (int g = 0; g < 256; ++g) counts[g] = int32_t(t[0][g] + t[1][g] + t[2][g] + t[3][g]);
  return counts;
}

GreyHistogram HistogramOfCounts(const GreyCounts& counts) {
  int64_t sum = 0;
  for (int32_t c : counts) sum += c;
  if (sum == 0) sum = 1;
  GreyHistogram h;
  for (int g = 0; g < 256; ++g) h[g] = double(counts[g]) / double(sum);
  return h;
}

}  // namespace vandrel
