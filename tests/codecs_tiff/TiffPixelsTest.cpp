// Row routines, colour conversions and the Orientation transform of the TIFF reader.
#include <gtest/gtest.h>

#include <cmath>

#include "TiffFixture.h"
#include "codecs/tiff/TiffPixels.h"

using namespace vandrel;
using tifftest::Bytes;

TEST(TiffDifferencing, Bytes) {
  Bytes grey = {10, 1, 1, 1};
  UndoDifferencingBytes(grey.data(), grey.size(), 1);
  EXPECT_EQ(grey, (Bytes{10, 11, 12, 13}));
  Bytes rgb = {10, 20, 30, 1, 2, 3, 255, 255, 255};
  UndoDifferencingBytes(rgb.data(), rgb.size(), 3);
  EXPECT_EQ(rgb, (Bytes{10, 20, 30, 11, 22, 33, 10, 21, 32}));  // wraps modulo 256
}

TEST(TiffDifferencing, Nibbles) {
  Bytes row = {0x12, 0x34};
  UndoDifferencingNibbles(row.data(), row.size(), 1);
  EXPECT_EQ(row, (Bytes{0x13, 0x6A}));
  Bytes first = {0x88};
  UndoDifferencingNibbles(first.data(), first.size(), 1);
  EXPECT_EQ(first, (Bytes{0x80}));
  Bytes wrap = {0xFF, 0x11};  // 15, 14 (mod 16), 15, 0
  UndoDifferencingNibbles(wrap.data(), wrap.size(), 1);
  EXPECT_EQ(wrap, (Bytes{0xFE, 0xF0}));
}

TEST(TiffRows, SwapRedBlueAndScatterPlane) {
  Bytes rgb = {1, 2, 3, 4, 5, 6, 7};  // a seventh byte that is not a whole pixel stays
  SwapRedBlue(rgb.data(), rgb.size(), 3);
  EXPECT_EQ(rgb, (Bytes{3, 2, 1, 6, 5, 4, 7}));
  Bytes rgba = {1, 2, 3, 4, 5, 6, 7, 8};
  SwapRedBlue(rgba.data(), rgba.size(), 4);
  EXPECT_EQ(rgba, (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
  Bytes row(9, 0);
  const Bytes plane = {7, 8, 9};
  ScatterPlane(plane.data(), row.data(), 3, 3, 2 * 3 + 1);
  EXPECT_EQ(row, (Bytes{0, 7, 0, 0, 8, 0, 0, 9, 0}));
}

TEST(TiffConversions, ClampToByte) {
  const struct {
    double x;
    int expected;
  } cases[] = {{-0.1, 0},    {0.5, 0},          {1.5, 2},        {2.5, 2},      {254.5, 254},
               {254.6, 255}, {255.0, 255},      {255.4, 255},    {300, 255},    {-1e300, 0},
               {1e300, 255}, {std::nan(""), 0}, {INFINITY, 255}, {-INFINITY, 0}};
  for (const auto& c : cases) EXPECT_EQ(ClampToByte(c.x), c.expected) << c.x;
  EXPECT_EQ(ClampByte(-5), 0);
  EXPECT_EQ(ClampByte(256), 255);
  EXPECT_EQ(ClampByte(17), 17);
}

TEST(TiffConversions, CMYK) {
  const struct {
    uint8_t c, m, y, k;
    uint8_t red, green, blue;
  } cases[] = {
      {0, 0, 0, 0, 255, 255, 255},     {200, 0, 0, 100, 0, 155, 155}, {0, 0, 0, 255, 0, 0, 0},
      {10, 20, 30, 40, 205, 195, 185}, {255, 255, 255, 255, 0, 0, 0}, {100, 0, 0, 155, 0, 100, 100},
  };
  for (const auto& c : cases) {
    uint8_t bgr[3];
    CMYKToBGR(c.c, c.m, c.y, c.k, bgr);
    EXPECT_EQ(bgr[2], c.red) << int(c.c) << "," << int(c.k);
    EXPECT_EQ(bgr[1], c.green);
    EXPECT_EQ(bgr[0], c.blue);
  }
  const Bytes cmyk = {0, 0, 0, 0, 200, 0, 0, 100};
  Bytes out(8, 0xEE);
  CMYKRowToBGR(cmyk.data(), out.data(), 2, 4);
  EXPECT_EQ(out, (Bytes{255, 255, 255, 0xEE, 155, 155, 0, 0xEE}));
}

TEST(TiffConversions, Lab) {
  const struct {
    uint8_t l;
    int8_t a, b;
    uint8_t red, green, blue;
  } cases[] = {
      {0, 0, 0, 0, 0, 0},       {255, 0, 0, 255, 255, 255},   {50, 0, 0, 18, 19, 17},
      {5, 0, 0, 1, 1, 1},       {5, 100, -100, 3, 0, 7},      {60, 40, -30, 41, 17, 50},
      {100, 0, 0, 97, 103, 92}, {120, -128, 127, 49, 250, 0},
  };
  for (const auto& c : cases) {
    uint8_t bgr[3];
    LabToBGR(c.l, c.a, c.b, bgr);
    EXPECT_EQ(bgr[2], c.red) << int(c.l) << "," << int(c.a) << "," << int(c.b);
    EXPECT_EQ(bgr[1], c.green) << int(c.l) << "," << int(c.a) << "," << int(c.b);
    EXPECT_EQ(bgr[0], c.blue) << int(c.l) << "," << int(c.a) << "," << int(c.b);
  }
}

TEST(TiffConversions, YCbCr) {
  const TiffYCbCrModel model;  // 0.299, 0.587, 0.114; black 0, 128, 128; scale 1
  const struct {
    uint8_t y, cb, cr;
    uint8_t red, green, blue;
  } cases[] = {
      {128, 128, 128, 128, 128, 128}, {255, 128, 128, 255, 255, 255}, {0, 128, 255, 178, 0, 0},
      {100, 200, 50, 0, 131, 228},    {76, 85, 255, 254, 0, 0},
  };
  for (const auto& c : cases) {
    uint8_t bgr[3];
    model.YCbCrToBGR(c.y, c.cb, c.cr, bgr);
    EXPECT_EQ(bgr[2], c.red) << int(c.y) << "," << int(c.cb) << "," << int(c.cr);
    EXPECT_EQ(bgr[1], c.green) << int(c.y) << "," << int(c.cb) << "," << int(c.cr);
    EXPECT_EQ(bgr[0], c.blue) << int(c.y) << "," << int(c.cb) << "," << int(c.cr);
  }
  // A reference white equal to its black scales by infinity: no undefined conversion.
  TiffYCbCrModel flat;
  flat.scale[0] = INFINITY;
  uint8_t bgr[3];
  flat.YCbCrToBGR(0, 128, 128, bgr);
  EXPECT_EQ(bgr[0], 0);
}

namespace {

// A 3 x 2 24-bit image whose pixel (x, y) has red x, green y.
Bitmap Numbered(int w, int h, PixelFormat format = PixelFormat::pf24bit) {
  Bitmap b(w, h, format);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = b.scanLine(y) + x * (b.bitsPerPixel() / 8);
      if (format == PixelFormat::pf8bit) {
        p[0] = uint8_t(x * 16 + y);
      } else {
        p[0] = 0;
        p[1] = uint8_t(y);
        p[2] = uint8_t(x);
        if (format == PixelFormat::pf32bit) p[3] = 9;
      }
    }
  return b;
}

}  // namespace

TEST(TiffOrientation, EveryValueTurnsTheStoredPictureUpright) {
  // The display pixel (x, y) comes from the stored pixel given by the TIFF definition of
  // each value (stored width w, height h).
  const int w = 3, h = 2;
  for (PixelFormat format : {PixelFormat::pf24bit, PixelFormat::pf32bit}) {
    for (int o = 1; o <= 8; ++o) {
      Bitmap b = Numbered(w, h, format);
      ApplyOrientation(b, o);
      const bool turned = o >= 5;
      ASSERT_EQ(b.width(), turned ? h : w) << o;
      ASSERT_EQ(b.height(), turned ? w : h) << o;
      for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
          int sx = x, sy = y;
          switch (o) {
            case 2:
              sx = w - 1 - x;
              break;
            case 3:
              sx = w - 1 - x;
              sy = h - 1 - y;
              break;
            case 4:
              sy = h - 1 - y;
              break;
            case 5:
              sx = y;
              sy = x;
              break;
            case 6:
              sx = y;
              sy = h - 1 - x;
              break;
            case 7:
              sx = w - 1 - y;
              sy = h - 1 - x;
              break;
            case 8:
              sx = w - 1 - y;
              sy = x;
              break;
          }
          const PaletteEntry c = b.pixelColor(x, y);
          EXPECT_EQ(c.red, sx) << "orientation " << o << " at " << x << "," << y;
          EXPECT_EQ(c.green, sy) << "orientation " << o << " at " << x << "," << y;
        }
    }
  }
}

TEST(TiffOrientation, SixOnThreeByTwo) {
  Bitmap b = Numbered(3, 2, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  ApplyOrientation(b, 6);
  ASSERT_EQ(b.width(), 2);
  ASSERT_EQ(b.height(), 3);
  EXPECT_EQ(b.format(), PixelFormat::pf8bit);
  EXPECT_EQ(b.palette(), GreyRamp());
  // Rotated 90 degrees clockwise: the stored bottom-left pixel (0, 1) is now top-left.
  const uint8_t expected[3][2] = {{0x01, 0x00}, {0x11, 0x10}, {0x21, 0x20}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(b.scanLine(y)[x], expected[y][x]) << x << "," << y;
}

TEST(TiffOrientation, OddHeightRotationMirrorsTheMiddleRow) {
  Bitmap b = Numbered(2, 3);
  ApplyOrientation(b, 3);
  EXPECT_EQ(b.pixelColor(0, 1).red, 1);
  EXPECT_EQ(b.pixelColor(1, 1).red, 0);
}

TEST(TiffOrientation, BelowEightBitsBecomesTwentyFourBits) {
  Bitmap b(10, 1, PixelFormat::pf1bit);
  b.setPalette({{0, 0, 0}, {255, 255, 255}});
  b.scanLine(0)[0] = 0x80;  // pixel 0 white
  for (int o : {2, 0, 9}) {
    Bitmap c = b;
    ApplyOrientation(c, o);
    EXPECT_EQ(c.format(), PixelFormat::pf24bit) << o;
    EXPECT_EQ(c.pixelColor(o == 2 ? 9 : 0, 0), (PaletteEntry{255, 255, 255})) << o;
    EXPECT_EQ(c.pixelColor(o == 2 ? 0 : 9, 0), (PaletteEntry{0, 0, 0})) << o;
  }
  Bitmap c = b;
  ApplyOrientation(c, 1);
  EXPECT_EQ(c, b);
}
