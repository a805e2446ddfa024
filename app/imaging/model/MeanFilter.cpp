// 3x3 box filter, separable: a vertical sum of up to three rows per column, then a sliding
// horizontal sum of three column sums, divided by the number of pixels in the window.
#include "app/imaging/model/MeanFilter.h"

#include <cstdint>
#include <vector>

#include "platform/Errors.h"

namespace vandrel {

namespace {

// Truncating division of a sum of at most 9 bytes (2295) by d = 1, 2, 3, 4, 6 or 9 as a
// multiply and shift: (s * ceil(65536 / d)) >> 16 is exact over that range, since
// ceil(65536 / d) x d exceeds 65536 by at most 2 and 2 x 2295 < 65536.
constexpr uint32_t Recip(uint32_t d) { return (65536 + d - 1) / d; }

inline uint8_t Div(uint32_t sum, uint32_t recip) { return uint8_t((sum * recip) >> 16); }

}  // namespace

Bitmap FiltroMedia(const Bitmap& source) {
  if (source.format() != PixelFormat::pf8bit)
    throw Exception("The mean filter needs an 8-bit image");
  const int w = source.width(), h = source.height();
  Bitmap out(w, h, PixelFormat::pf8bit);
  out.setPalette(source.palette());
  if (w == 0 || h == 0) return out;

  std::vector<uint16_t> colSum(static_cast<size_t>(w));
  for (int y = 0; y < h; ++y) {
    // Column sums over the rows of the window that exist.
    const int y0 = y > 0 ? y - 1 : y, y1 = y + 1 < h ? y + 1 : y;
    const uint32_t rows = uint32_t(y1 - y0 + 1);
    const uint8_t* a = source.scanLine(y0);
    const uint8_t* b = source.scanLine(y);
    const uint8_t* c = source.scanLine(y1);
    uint16_t* s = colSum.data();
    if (rows == 3) {
      for (int x = 0; x < w; ++x) s[x] = uint16_t(a[x] + b[x] + c[x]);
    } else if (rows == 2) {
      const uint8_t* other = y0 < y ? a : c;
      for (int x = 0; x < w; ++x) s[x] = uint16_t(b[x] + other[x]);
    } else {
      for (int x = 0; x < w; ++x) s[x] = b[x];
    }

    uint8_t* dst = out.scanLine(y);
    if (w == 1) {
      dst[0] = Div(s[0], Recip(rows));
      continue;
    }
    // Edges average 2 columns, the interior 3.
    const uint32_t edge = Recip(2 * rows), inner = Recip(3 * rows);
    dst[0] = Div(uint32_t(s[0]) + s[1], edge);
    for (int x = 1; x < w - 1; ++x) dst[x] = Div(uint32_t(s[x - 1]) + s[x] + s[x + 1], inner);
    dst[w - 1] = Div(uint32_t(s[w - 2]) + s[w - 1], edge);
  }
  return out;
}

}  // namespace vandrel
