#include "app/histograms/model/GreyLevels.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

namespace vandrel {

namespace {

// Four tables filled in turn keep consecutive equal bytes from waiting on each other's
// increments; 32-bit counters are enough, a bitmap holding at most 2^30 pixels.
struct Tables {
  alignas(64) uint32_t t[4][256] = {};
};

void CountRows(const Bitmap& bitmap, int y0, int y1, Tables& tables) {
  auto& t = tables.t;
  const int width = bitmap.width();
  for (int y = y0; y < y1; ++y) {
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
}

// One core counts about one byte per cycle, well below what memory delivers; large
// bitmaps are split into bands of rows counted side by side, joined before returning.
constexpr int64_t kPixelsPerBand = int64_t(1) << 21;
constexpr unsigned kMaxBands = 8;

}  // namespace

GreyCounts CountGreyLevels(const Bitmap& bitmap, unsigned threads) {
  GreyCounts counts{};
  if (bitmap.format() != PixelFormat::pf8bit || bitmap.empty()) return counts;
  const int height = bitmap.height();
  const int64_t pixels = int64_t(bitmap.width()) * height;
  const unsigned cores = threads ? threads : std::max(1u, std::thread::hardware_concurrency());
  const unsigned bands = unsigned(std::clamp<int64_t>(
      std::min<int64_t>(pixels / kPixelsPerBand, height), 1, std::min(cores, kMaxBands)));
  std::vector<Tables> tables(bands);
  auto band = [&](unsigned i) {
    CountRows(bitmap, int(int64_t(height) * i / bands), int(int64_t(height) * (i + 1) / bands),
              tables[i]);
  };
  std::vector<std::thread> helpers;
  for (unsigned i = 1; i < bands; ++i) {
    try {
      helpers.emplace_back(band, i);
    } catch (const std::system_error&) {
      band(i);  // no thread to be had: count the band here
    }
  }
  band(0);
  for (std::thread& t : helpers) t.join();
  for (const Tables& tb : tables)
    for (int g = 0; g < 256; ++g)
      counts[g] = int32_t(uint32_t(counts[g]) + tb.t[0][g] + tb.t[1][g] + tb.t[2][g] + tb.t[3][g]);
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
