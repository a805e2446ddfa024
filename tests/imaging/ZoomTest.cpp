// Zoom arithmetic: bounds of the 0.2 steps, caption percentage, band rescaling, centring.
#include "app/imaging/model/Zoom.h"

#include <gtest/gtest.h>

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

TEST(Zoom, BandFollowsTheNewScale) {
  // From 100 % (control 100 for an image of 100) to 200 %: twice the band.
  EXPECT_EQ(RescaleBand({10, 20, 5, 7}, 100, 100, 2.0), (BandGeometry{20, 40, 10, 14}));
  // From 200 % back to 100 %: half, rounded halves to even.
  EXPECT_EQ(RescaleBand({21, 20, 5, 7}, 200, 100, 1.0), (BandGeometry{10, 10, 2, 4}));
  // An image or old control of zero width has no scale: the band stays.
  EXPECT_EQ(RescaleBand({1, 2, 3, 4}, 0, 1, 0.4), (BandGeometry{1, 2, 3, 4}));
  EXPECT_EQ(RescaleBand({1, 2, 3, 4}, 10, 0, 0.4), (BandGeometry{1, 2, 3, 4}));
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
