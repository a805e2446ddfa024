// Zoom arithmetic: bounds of the 0.2 steps, caption percentage, the band of the selected
// pixels at a zoom, centring.
#include "app/imaging/model/Zoom.h"

#include <gtest/gtest.h>

#include <random>

namespace vandrel {
namespace {

TEST(Zoom, StepsFromNormalStopAt20And600Percent) {
  double zoom = 1.0;
  int downs = 0;
  while (ZoomInRange(zoom - kZoomStep)) zoom -= kZoomStep, ++downs;
  EXPECT_EQ(downs, 4);
  EXPECT_EQ(ZoomPercent(zoom), 20);

  zoom = 1.0;
  int ups = 0;
  while (ZoomInRange(zoom + kZoomStep)) zoom += kZoomStep, ++ups;
  EXPECT_EQ(ups, 25);
  EXPECT_EQ(ZoomPercent(zoom), 600);
}

TEST(Zoom, BoundsAreExclusive) {
  EXPECT_FALSE(ZoomInRange(0.001));
  EXPECT_TRUE(ZoomInRange(0.0011));
  EXPECT_TRUE(ZoomInRange(6.0));
  EXPECT_FALSE(ZoomInRange(6.01));
  EXPECT_FALSE(ZoomInRange(0.0));
  EXPECT_FALSE(ZoomInRange(-0.2));
}

TEST(Zoom, PercentAndSizesRoundHalvesToEven) {
  EXPECT_EQ(ZoomPercent(1.0), 100);
  EXPECT_EQ(ZoomPercent(1.2), 120);
  EXPECT_EQ(ZoomPercent(1.0 - 4 * 0.2), 20);
  EXPECT_EQ(ZoomedSize(5, 0.5), 2);  // 2.5 -> 2
  EXPECT_EQ(ZoomedSize(7, 0.5), 4);  // 3.5 -> 4
  EXPECT_EQ(ZoomedSize(512, 1.2), 614);
  EXPECT_EQ(ZoomedSize(1, 0.2), 0);
}

TEST(Zoom, BandShowsTheSelectedPixelsAtTheirFirstDisplayPixels) {
  struct Case {
    PixelSelection pixels;
    int imageW, imageH, controlW, controlH;
    BandGeometry expected;
  };
  const Case cases[] = {
      {{{10, 20}, {15, 27}}, 100, 100, 100, 100, {10, 20, 5, 7}},    // 100 %
      {{{10, 20}, {15, 27}}, 100, 100, 200, 200, {20, 40, 10, 14}},  // 200 %
      {{{1, 1}, {50, 50}}, 97, 61, 116, 73, {2, 2, 58, 58}},         // 120 %: 1.2 -> 2
      {{{5, 5}, {99, 49}}, 100, 50, 20, 10, {1, 1, 18, 8}},          // 20 %: inside the control
      {{{3, 3}, {3, 3}}, 1, 1, 0, 0, {0, 0, 0, 0}},                  // a control of no size
      {{{0, 0}, {-1, -1}}, 0, 0, 0, 0, {0, 0, 0, 0}},                // an empty selection
  };
  for (const Case& c : cases)
    EXPECT_EQ(RescaleBand(c.pixels, c.imageW, c.imageH, c.controlW, c.controlH), c.expected)
        << c.imageW << "x" << c.imageH << " on " << c.controlW << "x" << c.controlH;
}

// Against a search written here: the first display pixel whose image pixel (truncated
// ratio) reaches p, or the last display pixel when none does.
TEST(Zoom, BandCornersAreTheFirstDisplayPixelsOfTheirImagePixels) {
  auto first = [](int p, int image, int control) {
    for (int d = 0; d < control; ++d)
      if (int64_t(d) * image / control >= p) return d;
    return control - 1;
  };
  std::mt19937 random(7);
  for (int run = 0; run < 2000; ++run) {
    const int w = 1 + int(random() % 300), h = 1 + int(random() % 300);
    const double zoom = 0.2 + 0.2 * int(random() % 30);
    const int cw = ZoomedSize(w, zoom), ch = ZoomedSize(h, zoom);
    if (cw == 0 || ch == 0) continue;
    const int x1 = int(random() % unsigned(w)), x2 = int(random() % unsigned(w));
    const int y1 = int(random() % unsigned(h)), y2 = int(random() % unsigned(h));
    const PixelSelection s{{std::min(x1, x2), std::min(y1, y2)},
                           {std::max(x1, x2), std::max(y1, y2)}};
    const BandGeometry b = RescaleBand(s, w, h, cw, ch);
    ASSERT_EQ(b.left, first(s.start.x, w, cw));
    ASSERT_EQ(b.top, first(s.start.y, h, ch));
    ASSERT_EQ(b.left + b.width, first(s.end.x, w, cw));
    ASSERT_EQ(b.top + b.height, first(s.end.y, h, ch));
    // With a display pixel for every image pixel the band converts back exactly.
    if (cw >= w && ch >= h) {
      ASSERT_EQ(ToImagePixel({b.left, b.top}, w, h, cw, ch), s.start);
      ASSERT_EQ(ToImagePixel({b.left + b.width, b.top + b.height}, w, h, cw, ch), s.end);
    }
  }
}

TEST(Zoom, CentringRoundsHalvesToEvenAndNeverGoesNegative) {
  EXPECT_EQ(CentredOffset(100, 50), 25);
  EXPECT_EQ(CentredOffset(101, 50), 26);  // 25.5 -> 26
  EXPECT_EQ(CentredOffset(103, 50), 26);  // 26.5 -> 26
  EXPECT_EQ(CentredOffset(50, 50), 0);
  EXPECT_EQ(CentredOffset(40, 50), 0);
}

}  // namespace
}  // namespace vandrel
