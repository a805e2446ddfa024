// Grey-level counts of 8-bit bitmaps and the histogram made from counts.
#include "app/histograms/model/GreyLevels.h"

#include <gtest/gtest.h>

#include <random>

#include "HistogramTestUtil.h"

namespace vandrel {
namespace {

using testing::GreyBitmap;

GreyCounts NaiveCounts(const Bitmap& b) {
  GreyCounts c{};
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) ++c[b.scanLine(y)[x]];
  return c;
}

TEST(CountGreyLevels, MatchesAPixelByPixelCountForAnyWidth) {
  // Widths around the 8-byte steps of the counting loop; the row padding holds 255s that
  // must not be counted.
  std::mt19937 random(7);
  for (int width : {1, 3, 7, 8, 9, 15, 16, 17, 33, 257}) {
    SCOPED_TRACE(width);
    Bitmap b = GreyBitmap(width, 5, [&](int, int) { return uint8_t(random() % 200); });
    for (int y = 0; y < b.height(); ++y)
      for (size_t x = size_t(width); x < b.stride(); ++x) b.scanLine(y)[x] = 255;
    const GreyCounts counts = CountGreyLevels(b);
    EXPECT_EQ(counts, NaiveCounts(b));
    EXPECT_EQ(counts[255], 0);
  }
}

TEST(CountGreyLevels, LargeBitmapsCountedInBandsGiveTheSameCounts) {
  // Enough pixels to be split into bands of rows; heights that do not divide evenly.
  for (int height : {1400, 2999}) {
    Bitmap b =
        GreyBitmap(3001, height, [](int x, int y) { return uint8_t((x * 7 + y * 13) % 251); });
    EXPECT_EQ(CountGreyLevels(b), NaiveCounts(b)) << height;
  }
  // Every pixel equal: one count holding them all.
  Bitmap flat(4096, 2048, PixelFormat::pf8bit);
  EXPECT_EQ(CountGreyLevels(flat)[0], 4096 * 2048);
}

TEST(CountGreyLevels, CountsOnlyEightBitBitmaps) {
  EXPECT_EQ(CountGreyLevels(Bitmap()), GreyCounts{});
  EXPECT_EQ(CountGreyLevels(Bitmap(0, 5, PixelFormat::pf8bit)), GreyCounts{});
  EXPECT_EQ(CountGreyLevels(Bitmap(4, 4, PixelFormat::pf24bit)), GreyCounts{});
  EXPECT_EQ(CountGreyLevels(Bitmap(4, 4, PixelFormat::pf4bit)), GreyCounts{});
  const GreyCounts zeros = CountGreyLevels(Bitmap(6, 4, PixelFormat::pf8bit));
  EXPECT_EQ(zeros[0], 24);
}

TEST(HistogramOfCounts, DividesBySumAndTakesZeroAsOne) {
  GreyCounts c{};
  EXPECT_EQ(HistogramOfCounts(c), GreyHistogram{});
  c[3] = 1;
  c[7] = 3;
  const GreyHistogram h = HistogramOfCounts(c);
  EXPECT_EQ(h[3], 0.25);
  EXPECT_EQ(h[7], 0.75);
  // Counts that add up to 0 divide by 1.
  c[9] = -4;
  EXPECT_EQ(HistogramOfCounts(c)[7], 3.0);
  // The sum does not wrap round in 32 bits.
  GreyCounts big{};
  big[0] = big[1] = 0x7FFFFFFF;
  EXPECT_EQ(HistogramOfCounts(big)[0], 0.5);
}

}  // namespace
}  // namespace vandrel
