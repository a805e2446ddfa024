#pragma once
// Pixel setters and generators for bitmap tests.
#include <cstdint>
#include <random>

#include "platform/Bitmap.h"

namespace vandrel::test {

inline void SetIndex(Bitmap& b, int x, int y, unsigned index) {
  uint8_t* row = b.scanLine(y);
  switch (b.format()) {
    case PixelFormat::pf1bit: {
      const uint8_t bit = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = (index & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
      break;
    }
    case PixelFormat::pf4bit:
      row[x >> 1] = (x & 1) ? uint8_t((row[x >> 1] & 0xF0) | (index & 15))
                            : uint8_t((row[x >> 1] & 0x0F) | (index & 15) << 4);
      break;
    default:
      row[x] = uint8_t(index);
  }
}

inline unsigned GetIndex(const Bitmap& b, int x, int y) {
  const uint8_t* row = b.scanLine(y);
  switch (b.format()) {
    case PixelFormat::pf1bit:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case PixelFormat::pf4bit:
      return (x & 1) ? (row[x >> 1] & 15) : (row[x >> 1] >> 4);
    default:
      return row[x];
  }
}

// Sets a 24- or 32-bit pixel; `fourth` is the fourth byte of a 32-bit pixel.
inline void SetColour(Bitmap& b, int x, int y, PaletteEntry c, uint8_t fourth = 0) {
  const int bpp = b.bitsPerPixel() / 8;
  uint8_t* p = b.scanLine(y) + bpp * x;
  p[0] = c.blue;
  p[1] = c.green;
  p[2] = c.red;
  if (bpp == 4) p[3] = fourth;
}

// A palette of n distinct colours.
inline Palette DistinctPalette(int n) {
  Palette p;
  for (int i = 0; i < n; ++i) p.push_back({uint8_t(i * 37), uint8_t(255 - i), uint8_t(i * 11 + 3)});
  return p;
}

// An indexed bitmap whose pixels use indices 0..maxIndex pseudo-randomly.
inline Bitmap RandomIndexed(int w, int h, PixelFormat f, unsigned maxIndex, unsigned seed = 1) {
  Bitmap b(w, h, f);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetIndex(b, x, y, rng() % (maxIndex + 1));
  return b;
}

// A 24- or 32-bit bitmap of pseudo-random colours.
inline Bitmap RandomColour(int w, int h, PixelFormat f, unsigned seed = 1) {
  Bitmap b(w, h, f);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t v = rng();
      SetColour(b, x, y, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)}, uint8_t(v >> 24));
    }
  return b;
}

}  // namespace vandrel::test
