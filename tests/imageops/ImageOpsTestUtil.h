#pragma once
// Small fixed images for the image-operation tests: 8-bit and 24-bit bitmaps built from
// tables of values, and palettes that tell the delivered palette files apart.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/Bitmap.h"

namespace vandrel::testing {

// An 8-bit bitmap from rows of grey levels, with `palette` (the grey ramp by default).
inline Bitmap Grey(std::initializer_list<std::initializer_list<int>> rows,
                   const Palette& palette = GreyRamp()) {
  const int h = int(rows.size());
  const int w = h ? int(rows.begin()->size()) : 0;
  Bitmap b(w, h, PixelFormat::pf8bit);
  b.setPalette(palette);
  int y = 0;
  for (const auto& row : rows) {
    int x = 0;
    for (int v : row) b.scanLine(y)[x++] = uint8_t(v);
    ++y;
  }
  return b;
}

// The grey levels of an 8-bit bitmap, row by row.
inline std::vector<std::vector<int>> Levels(const Bitmap& b) {
  std::vector<std::vector<int>> out(size_t(b.height()));
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) out[size_t(y)].push_back(b.scanLine(y)[x]);
  return out;
}

using Bytes3 = std::array<uint8_t, 3>;  // blue, green, red

// A 24-bit bitmap from rows of pixels given as their three bytes (blue, green, red).
inline Bitmap Rgb(std::initializer_list<std::initializer_list<Bytes3>> rows) {
  const int h = int(rows.size());
  const int w = h ? int(rows.begin()->size()) : 0;
  Bitmap b(w, h, PixelFormat::pf24bit);
  int y = 0;
  for (const auto& row : rows) {
    int x = 0;
    for (const Bytes3& p : row) {
      std::copy(p.begin(), p.end(), b.scanLine(y) + 3 * x);
      ++x;
    }
    ++y;
  }
  return b;
}

inline Bytes3 PixelBytes(const Bitmap& b, int x, int y) {
  const uint8_t* p = b.scanLine(y) + 3 * x;
  return {p[0], p[1], p[2]};
}

// Palettes of the two delivered palette files in the tests, different from each other and
// from the grey ramp, so a test can tell which one an image received.
inline Palette PaletaCinzaDeTeste() {
  Palette p(256);
  for (int i = 0; i < 256; ++i) p[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)};
  return p;
}
inline Palette PaletaCanaisDeTeste() {
  Palette p(256);
  for (int i = 0; i < 256; ++i) p[size_t(i)] = {uint8_t(i / 3), uint8_t(i), uint8_t(255 - i)};
  return p;
}

}  // namespace vandrel::testing
