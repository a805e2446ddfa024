#include "app/imaging/model/StretchRegion.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace vandrel {

namespace {

// 0xFFRRGGBB words for every palette index; indices beyond the palette show black.
std::array<uint32_t, 256> PaletteWords(const Palette& palette) {
  std::array<uint32_t, 256> words;
  words.fill(0xFF000000u);
  for (size_t i = 0; i < palette.size() && i < words.size(); ++i)
    words[i] = 0xFF000000u | uint32_t(palette[i].red) << 16 | uint32_t(palette[i].green) << 8 |
               palette[i].blue;
  return words;
}

}  // namespace

void StretchRegion(const Bitmap& image, int displayWidth, int displayHeight, int x0, int y0,
                   int width, int height, uint8_t* out, size_t outStride) {
  if (image.empty() || displayWidth <= 0 || displayHeight <= 0) return;
  // Clip the rectangle to the display; `out` keeps its origin at (x0, y0).
  const int left = std::max(x0, 0), top = std::max(y0, 0);
  const int right = std::min(x0 + width, displayWidth);
  const int bottom = std::min(y0 + height, displayHeight);
  if (left >= right || top >= bottom) return;
  const int W = image.width(), H = image.height();

  // Source column of every display column of the rectangle, computed once.
  std::vector<int> columns(size_t(right - left));
  for (int dx = left; dx < right; ++dx)
    columns[size_t(dx - left)] = int(int64_t(dx) * W / displayWidth);

  const std::array<uint32_t, 256> words = PaletteWords(image.palette());
  const PixelFormat format = image.format();
  const size_t n = columns.size();
  const int* col = columns.data();

  int previousRow = -1;
  const uint32_t* previous = nullptr;
  for (int dy = top; dy < bottom; ++dy) {
    const int sy = int(int64_t(dy) * H / displayHeight);
    uint32_t* dst = reinterpret_cast<uint32_t*>(out + size_t(dy - y0) * outStride) + (left - x0);
    // Zoomed in, consecutive display rows show the same image row: copy the one done.
    if (sy == previousRow) {
      std::memcpy(dst, previous, n * sizeof(uint32_t));
      continue;
    }
    previousRow = sy;
    previous = dst;
    const uint8_t* src = image.scanLine(sy);
    switch (format) {
      case PixelFormat::pf1bit:
        for (size_t i = 0; i < n; ++i) dst[i] = words[(src[col[i] >> 3] >> (7 - (col[i] & 7))) & 1];
        break;
      case PixelFormat::pf4bit:
        for (size_t i = 0; i < n; ++i)
          dst[i] = words[(col[i] & 1) ? (src[col[i] >> 1] & 0x0F) : (src[col[i] >> 1] >> 4)];
        break;
      case PixelFormat::pf8bit:
        for (size_t i = 0; i < n; ++i) dst[i] = words[src[col[i]]];
        break;
      case PixelFormat::pf24bit:
        for (size_t i = 0; i < n; ++i) {
          const uint8_t* p = src + 3 * size_t(col[i]);
          dst[i] = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
        break;
      case PixelFormat::pf32bit:
        for (size_t i = 0; i < n; ++i) {
          const uint8_t* p = src + 4 * size_t(col[i]);
          dst[i] = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
        break;
    }
  }
}

}  // namespace vandrel
