// Pixel format conversions of the bitmap.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "BitmapTestUtil.h"
#include "platform/Bitmap.h"

namespace vandrel {
namespace {

using test::GetIndex;
using test::SetColour;
using test::SetIndex;

int Dist2(PaletteEntry a, PaletteEntry b) {
  const int dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
  return dr * dr + dg * dg + db * db;
}

// Every pixel of `b` shows the same colour as the pixel of `a`.
void ExpectSameColours(const Bitmap& a, const Bitmap& b) {
  ASSERT_EQ(a.width(), b.width());
  ASSERT_EQ(a.height(), b.height());
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      ASSERT_EQ(a.pixelColor(x, y), b.pixelColor(x, y)) << "pixel " << x << "," << y;
}

// Padding bytes at the end of each row are zero, so rows compare and save cleanly.
void ExpectZeroPadding(const Bitmap& b) {
  const size_t used = (size_t(b.width()) * size_t(b.bitsPerPixel()) + 7) / 8;
  for (int y = 0; y < b.height(); ++y) {
    const uint8_t* row = b.scanLine(y);
    for (size_t i = used; i < b.stride(); ++i) ASSERT_EQ(row[i], 0) << "row " << y;
    // The unused low bits of the last byte of a 1- or 4-bit row.
    const size_t bits = size_t(b.width()) * size_t(b.bitsPerPixel());
    if (bits % 8) {
      ASSERT_EQ(row[used - 1] & ((1u << (8 - bits % 8)) - 1), 0u) << "row " << y;
    }
  }
}

struct IndexedCase {
  PixelFormat from;
  PixelFormat to;
  int width;
};

class IndexedToDirect : public ::testing::TestWithParam<IndexedCase> {};

TEST_P(IndexedToDirect, ColoursComeFromThePalette) {
  const IndexedCase c = GetParam();
  const unsigned colours = 1u << static_cast<int>(c.from);
  Bitmap b = test::RandomIndexed(c.width, 7, c.from, colours - 1);
  // A palette one entry short: the last index shows black.
  b.setPalette(test::DistinctPalette(int(colours) - 1));
  const Bitmap before = b;
  b.setPixelFormat(c.to);
  EXPECT_EQ(b.format(), c.to);
  EXPECT_TRUE(b.palette().empty());
  ExpectSameColours(before, b);
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x)
      if (GetIndex(before, x, y) == colours - 1) {
        EXPECT_EQ(b.pixelColor(x, y), PaletteEntry{});
      }
  if (c.to == PixelFormat::pf32bit) {
    for (int x = 0; x < b.width(); ++x) EXPECT_EQ(b.scanLine(3)[4 * x + 3], 0);
  }
  ExpectZeroPadding(b);
}

INSTANTIATE_TEST_SUITE_P(
    AllDepths, IndexedToDirect,
    ::testing::Values(IndexedCase{PixelFormat::pf1bit, PixelFormat::pf24bit, 13},
                      IndexedCase{PixelFormat::pf1bit, PixelFormat::pf32bit, 9},
                      IndexedCase{PixelFormat::pf4bit, PixelFormat::pf24bit, 5},
                      IndexedCase{PixelFormat::pf4bit, PixelFormat::pf32bit, 8},
                      IndexedCase{PixelFormat::pf8bit, PixelFormat::pf24bit, 3},
                      IndexedCase{PixelFormat::pf8bit, PixelFormat::pf32bit, 17}));

TEST(DirectToDirect, ThirtyTwoToTwentyFourDropsTheFourthByte) {
  Bitmap b = test::RandomColour(11, 5, PixelFormat::pf32bit);
  const Bitmap before = b;
  b.setPixelFormat(PixelFormat::pf24bit);
  EXPECT_EQ(b.stride(), 36u);
  ExpectSameColours(before, b);
  ExpectZeroPadding(b);
}

TEST(DirectToDirect, TwentyFourToThirtyTwoSetsTheFourthByteToZero) {
  Bitmap b = test::RandomColour(6, 4, PixelFormat::pf24bit);
  const Bitmap before = b;
  b.setPixelFormat(PixelFormat::pf32bit);
  ExpectSameColours(before, b);
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) EXPECT_EQ(b.scanLine(y)[4 * x + 3], 0);
}

TEST(SameFormat, ChangesNothing) {
  Bitmap b = test::RandomColour(4, 4, PixelFormat::pf24bit);
  b.setPalette(test::DistinctPalette(3));  // even a stray palette stays
  const Bitmap before = b;
  b.setPixelFormat(PixelFormat::pf24bit);
  EXPECT_EQ(b, before);
}

TEST(IndexedToIndexed, IndicesAndPaletteStayWhenTheyFit) {
  struct Case {
    PixelFormat from, to;
    unsigned maxIndex;
    size_t paletteAfter;
  };
  const Case cases[] = {
      {PixelFormat::pf8bit, PixelFormat::pf4bit, 15, 16},
      {PixelFormat::pf8bit, PixelFormat::pf1bit, 1, 2},
      {PixelFormat::pf4bit, PixelFormat::pf1bit, 1, 2},
      {PixelFormat::pf1bit, PixelFormat::pf8bit, 1, 256},
      {PixelFormat::pf4bit, PixelFormat::pf8bit, 15, 256},
      {PixelFormat::pf1bit, PixelFormat::pf4bit, 1, 256},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << static_cast<int>(c.from) << " -> " << static_cast<int>(c.to));
    Bitmap b = test::RandomIndexed(21, 3, c.from, c.maxIndex);
    b.setPalette(test::DistinctPalette(256));
    const Bitmap before = b;
    b.setPixelFormat(c.to);
    ASSERT_EQ(b.format(), c.to);
    // The palette is cut to what the new depth can address.
    const size_t expected = std::min(c.paletteAfter, size_t(1) << static_cast<int>(c.to));
    EXPECT_EQ(b.palette().size(), expected);
    for (int y = 0; y < b.height(); ++y)
      for (int x = 0; x < b.width(); ++x) ASSERT_EQ(GetIndex(b, x, y), GetIndex(before, x, y));
    ExpectZeroPadding(b);
  }
}

TEST(IndexedToIndexed, IndicesThatDoNotFitGoThroughTheColours) {
  // 8-bit indices 0 and 200 cannot be 1-bit indices; the two colours still fit a 1-bit
  // palette exactly.
  Bitmap b(10, 2, PixelFormat::pf8bit);
  Palette pal(256);
  pal[200] = {10, 20, 30};
  b.setPalette(pal);
  for (int x = 0; x < 10; x += 3) b.scanLine(1)[x] = 200;
  const Bitmap before = b;
  b.setPixelFormat(PixelFormat::pf1bit);
  EXPECT_EQ(b.palette().size(), 2u);
  ExpectSameColours(before, b);
}

TEST(GreyDetection, GreyImagesGetTheGreyRampWithIndexEqualToLevel) {
  for (PixelFormat f : {PixelFormat::pf24bit, PixelFormat::pf32bit}) {
    Bitmap b(300, 2, f);
    for (int x = 0; x < 300; ++x) {
      const uint8_t v = uint8_t(x * 7);
      SetColour(b, x, 0, {v, v, v}, 0x55);  // the fourth byte plays no part
      SetColour(b, x, 1, {uint8_t(255 - v), uint8_t(255 - v), uint8_t(255 - v)}, 0xAA);
    }
    const Bitmap before = b;
    b.setPixelFormat(PixelFormat::pf8bit);
    EXPECT_EQ(b.palette(), GreyRamp());
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 300; ++x)
        ASSERT_EQ(b.scanLine(y)[x], before.pixelColor(x, y).red) << x << "," << y;
  }
}

TEST(GreyDetection, OneColouredPixelGivesAnExactPaletteInstead) {
  Bitmap b(8, 8, PixelFormat::pf24bit);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      SetColour(b, x, y, {uint8_t(y * 8), uint8_t(y * 8), uint8_t(y * 8)});
  SetColour(b, 7, 7, {1, 2, 3});
  const Bitmap before = b;
  b.setPixelFormat(PixelFormat::pf8bit);
  EXPECT_EQ(b.palette().size(), 9u);
  EXPECT_EQ(b.palette()[0], (PaletteEntry{0, 0, 0}));  // order of first appearance
  EXPECT_EQ(b.palette()[8], (PaletteEntry{1, 2, 3}));
  ExpectSameColours(before, b);
}

TEST(ExactPalette, UpToTheLimitEveryColourIsKept) {
  struct Case {
    PixelFormat to;
    int colours;
  };
  for (const Case c : {Case{PixelFormat::pf8bit, 256}, Case{PixelFormat::pf8bit, 100},
                       Case{PixelFormat::pf4bit, 16}, Case{PixelFormat::pf1bit, 2}}) {
    SCOPED_TRACE(c.colours);
    const Palette colours = test::DistinctPalette(c.colours);
    Bitmap b(37, 29, PixelFormat::pf24bit);
    std::mt19937 rng(7);
    for (int y = 0; y < b.height(); ++y)
      for (int x = 0; x < b.width(); ++x)
        SetColour(b, x, y,
                  colours[(y * b.width() + x) < c.colours ? y * b.width() + x : rng() % c.colours]);
    const Bitmap before = b;
    b.setPixelFormat(c.to);
    EXPECT_EQ(b.palette(), colours);  // first appearance order
    ExpectSameColours(before, b);
    ExpectZeroPadding(b);
    // And back: the same pixels as at first.
    b.setPixelFormat(PixelFormat::pf24bit);
    EXPECT_EQ(b, before);
  }
}

// Checks that every pixel took its nearest palette colour and returns the largest error.
int ExpectNearestMapping(const Bitmap& source, const Bitmap& indexed) {
  int worst = 0;
  const Palette& pal = indexed.palette();
  for (int y = 0; y < source.height(); ++y)
    for (int x = 0; x < source.width(); ++x) {
      const PaletteEntry c = source.pixelColor(x, y);
      const unsigned i = GetIndex(indexed, x, y);
      EXPECT_LT(i, pal.size());
      int best = 1 << 30;
      for (const PaletteEntry& e : pal) best = std::min(best, Dist2(c, e));
      const int got = Dist2(c, pal[i]);
      EXPECT_EQ(got, best) << "pixel " << x << "," << y << " is not mapped to its nearest colour";
      if (got != best) return worst;
      worst = std::max(worst, got);
    }
  return worst;
}

TEST(Quantiser, ManyColoursAreReducedToNearestPaletteColours) {
  struct Case {
    PixelFormat from, to;
    size_t limit;
  };
  for (const Case c : {Case{PixelFormat::pf24bit, PixelFormat::pf8bit, 256},
                       Case{PixelFormat::pf32bit, PixelFormat::pf8bit, 256},
                       Case{PixelFormat::pf24bit, PixelFormat::pf4bit, 16},
                       Case{PixelFormat::pf24bit, PixelFormat::pf1bit, 2}}) {
    SCOPED_TRACE(c.limit);
    const Bitmap source = test::RandomColour(97, 61, c.from, 3);
    Bitmap b = source;
    b.setPixelFormat(c.to);
    EXPECT_LE(b.palette().size(), c.limit);
    EXPECT_GE(b.palette().size(), c.limit / 2);
    ExpectNearestMapping(source, b);
    ExpectZeroPadding(b);
  }
}

TEST(Quantiser, SmoothImagesKeepCloseColours) {
  // A colour ramp of 64 x 64 x 4 distinct colours: 256 well-chosen colours leave every
  // pixel within a few levels of what it was.
  Bitmap source(256, 64, PixelFormat::pf24bit);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 256; ++x)
      SetColour(source, x, y, {uint8_t(x), uint8_t(y * 4), uint8_t((x + y) / 2)});
  Bitmap b = source;
  b.setPixelFormat(PixelFormat::pf8bit);
  EXPECT_EQ(b.palette().size(), 256u);
  const int worst = ExpectNearestMapping(source, b);
  EXPECT_LE(worst, 3 * 12 * 12) << "largest squared error";
}

TEST(Quantiser, TwoClustersOfManyShadesGiveBothClusters) {
  // 300 shades of red and 300 shades of blue, reduced to 2 colours: one of each.
  Bitmap source(600, 1, PixelFormat::pf24bit);
  for (int x = 0; x < 300; ++x) {
    SetColour(source, x, 0, {uint8_t(200 + x % 50), uint8_t(x / 50), 0});
    SetColour(source, 300 + x, 0, {0, uint8_t(x / 50), uint8_t(200 + x % 50)});
  }
  Bitmap b = source;
  b.setPixelFormat(PixelFormat::pf1bit);
  ASSERT_EQ(b.palette().size(), 2u);
  EXPECT_NE(GetIndex(b, 0, 0), GetIndex(b, 599, 0));
  ExpectNearestMapping(source, b);
}

TEST(Quantiser, IsDeterministic) {
  Bitmap a = test::RandomColour(50, 50, PixelFormat::pf24bit, 9);
  Bitmap b = a;
  a.setPixelFormat(PixelFormat::pf8bit);
  b.setPixelFormat(PixelFormat::pf8bit);
  EXPECT_EQ(a, b);
}

TEST(EmptyBitmaps, ConvertToEveryFormat) {
  const PixelFormat all[] = {PixelFormat::pf1bit, PixelFormat::pf4bit, PixelFormat::pf8bit,
                             PixelFormat::pf24bit, PixelFormat::pf32bit};
  for (PixelFormat from : all)
    for (PixelFormat to : all)
      for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 5}, std::pair{5, 0}}) {
        Bitmap b(w, h, from);
        b.setPixelFormat(to);
        EXPECT_EQ(b.format(), to);
        EXPECT_EQ(b.width(), w);
        EXPECT_EQ(b.height(), h);
      }
}

TEST(SizeThenFormat, ANewBlackBitmapBecomesEightBitGrey) {
  // The raw reader's order of calls: size first on a fresh bitmap, then 8 bits.
  Bitmap b;
  b.setSize(512, 512);
  b.setPixelFormat(PixelFormat::pf8bit);
  EXPECT_EQ(b.stride(), 512u);
  EXPECT_EQ(b.palette(), GreyRamp());
  EXPECT_EQ(b.scanLine(511)[511], 0);
}

}  // namespace
}  // namespace vandrel
