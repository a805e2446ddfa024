// Painting of the image control: every exposed display pixel shows the image pixel that
// the selection conversion names, for each pixel format.
#include "app/imaging/model/StretchRegion.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/imaging/model/Selection.h"

namespace vandrel {
namespace {

uint32_t Word(PaletteEntry c) {
  return 0xFF000000u | uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
}

Bitmap Pattern(PixelFormat format, int w, int h) {
  Bitmap b(w, h, format);
  if (b.indexed()) {
    Palette p(1u << std::min(b.bitsPerPixel(), 8));
    for (size_t i = 0; i < p.size(); ++i) p[i] = {uint8_t(i * 7), uint8_t(255 - i), uint8_t(i)};
    b.setPalette(p);
  }
  for (int y = 0; y < h; ++y)
    for (size_t i = 0; i < b.stride(); ++i) b.scanLine(y)[i] = uint8_t(i * 31 + y * 17);
  return b;
}

struct Case {
  PixelFormat format;
  int displayW, displayH;
};

class StretchRegionTest : public ::testing::TestWithParam<Case> {};

TEST_P(StretchRegionTest, ExposedPixelsMatchTheSelectionMapping) {
  const Case c = GetParam();
  const Bitmap image = Pattern(c.format, 13, 9);
  // An exposed rectangle that sticks out of the display on the right and bottom.
  const int x0 = 3, y0 = 2, w = c.displayW, h = c.displayH;
  const uint32_t sentinel = 0x12345678u;
  std::vector<uint32_t> out(size_t(w) * h, sentinel);
  StretchRegion(image, c.displayW, c.displayH, x0, y0, w, h, reinterpret_cast<uint8_t*>(out.data()),
                size_t(w) * 4);
  for (int dy = y0; dy < y0 + h; ++dy)
    for (int dx = x0; dx < x0 + w; ++dx) {
      const uint32_t got = out[size_t(dy - y0) * w + (dx - x0)];
      if (dx >= c.displayW || dy >= c.displayH) {
        ASSERT_EQ(got, sentinel) << dx << "," << dy;
        continue;
      }
      const Point p = ToImagePixel({dx, dy}, 13, 9, c.displayW, c.displayH);
      ASSERT_EQ(got, Word(image.pixelColor(p.x, p.y))) << dx << "," << dy;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, StretchRegionTest,
    ::testing::Values(Case{PixelFormat::pf1bit, 13, 9}, Case{PixelFormat::pf4bit, 26, 18},
                      Case{PixelFormat::pf8bit, 78, 54}, Case{PixelFormat::pf8bit, 3, 2},
                      Case{PixelFormat::pf24bit, 16, 11}, Case{PixelFormat::pf32bit, 39, 27}));

TEST(StretchRegion, EmptyImageOrDisplayLeavesTheBufferAlone) {
  std::vector<uint32_t> out(16, 7u);
  StretchRegion(Bitmap(), 4, 4, 0, 0, 4, 4, reinterpret_cast<uint8_t*>(out.data()), 16);
  StretchRegion(Pattern(PixelFormat::pf8bit, 4, 4), 0, 4, 0, 0, 4, 4,
                reinterpret_cast<uint8_t*>(out.data()), 16);
  for (uint32_t v : out) EXPECT_EQ(v, 7u);
}

TEST(StretchRegion, IndexBeyondThePaletteShowsBlack) {
  Bitmap b(2, 1, PixelFormat::pf8bit);
  b.setPalette({{10, 20, 30}});
  b.scanLine(0)[1] = 200;
  uint32_t out[2] = {};
  StretchRegion(b, 2, 1, 0, 0, 2, 1, reinterpret_cast<uint8_t*>(out), 8);
  EXPECT_EQ(out[0], 0xFF0A141Eu);
  EXPECT_EQ(out[1], 0xFF000000u);
}

}  // namespace
}  // namespace vandrel
