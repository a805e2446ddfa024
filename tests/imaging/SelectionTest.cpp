// Selection arithmetic: the band of a drag, its clamping, and display to image pixels.
#include "app/imaging/model/Selection.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

TEST(DragBand, AnyDirectionGivesTheSameBand) {
  const Rect expected{10, 20, 30, 45};
  EXPECT_EQ(DragBand({10, 20}, {30, 45}), expected);
  EXPECT_EQ(DragBand({30, 45}, {10, 20}), expected);
  EXPECT_EQ(DragBand({10, 45}, {30, 20}), expected);
  EXPECT_EQ(DragBand({30, 20}, {10, 45}), expected);
  EXPECT_EQ(DragBand({5, 5}, {5, 5}), (Rect{5, 5, 5, 5}));
}

TEST(ClampBand, KeepsTheBandInsideTheControl) {
  struct Case {
    Rect band;
    Rect expected;
  };
  const Case cases[] = {
      {{0, 0, 99, 49}, {0, 0, 99, 49}},        // already inside
      {{-5, -3, 120, 60}, {0, 0, 99, 49}},     // beyond every edge
      {{150, 70, 150, 70}, {99, 49, 99, 49}},  // wholly beyond the far edges
  };
  for (const Case& c : cases) EXPECT_EQ(ClampBand(c.band, 100, 50), c.expected);
}

struct Conversion {
  const char* name;
  Point display;
  int imageW, imageH, controlW, controlH;
  Point expected;
};

class ToImagePixelTest : public ::testing::TestWithParam<Conversion> {};

TEST_P(ToImagePixelTest, Converts) {
  const Conversion& c = GetParam();
  EXPECT_EQ(ToImagePixel(c.display, c.imageW, c.imageH, c.controlW, c.controlH), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToImagePixelTest,
    ::testing::Values(
        Conversion{"At100", {37, 12}, 100, 50, 100, 50, {37, 12}},
        Conversion{"At200Truncates", {21, 21}, 100, 50, 200, 100, {10, 10}},
        Conversion{"At200Start", {10, 10}, 100, 50, 200, 100, {5, 5}},
        Conversion{"LastDisplayColumnIsLastImageColumn", {199, 99}, 100, 50, 200, 100, {99, 49}},
        Conversion{"BeyondControlClampsToLast", {200, 100}, 100, 50, 200, 100, {99, 49}},
        Conversion{"NegativeClampsToZero", {-7, -1}, 100, 50, 200, 100, {0, 0}},
        Conversion{"At20", {19, 9}, 100, 50, 20, 10, {95, 45}},
        Conversion{"RatioFromSizesNotZoom", {50, 50}, 100, 100, 150, 100, {33, 50}},
        Conversion{"LargeImageNoOverflow", {49151, 49151}, 8192, 8192, 49152, 49152, {8191, 8191}},
        Conversion{"ControlOfZeroWidth", {5, 5}, 2, 2, 0, 0, {0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SelectedPixels, ZoomedBandSelectsInclusivePixels) {
  // At 200 % a band from display (10, 10) to (21, 21) covers image pixels 5..10.
  const PixelSelection s = SelectedPixels({10, 10}, {21, 21}, 100, 80, 200, 160);
  EXPECT_EQ(s.start, (Point{5, 5}));
  EXPECT_EQ(s.end, (Point{10, 10}));
  EXPECT_EQ(s.width(), 6);
  EXPECT_EQ(s.height(), 6);
  EXPECT_EQ(s.area(), 36);
  EXPECT_FALSE(s.empty());
}

TEST(SelectedPixels, SinglePointIsOnePixel) {
  const PixelSelection s = SelectedPixels({0, 0}, {0, 0}, 10, 10, 10, 10);
  EXPECT_EQ(s.area(), 1);
}

TEST(SelectedPixels, ImageOfZeroSizeGivesAnEmptySelection) {
  for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 5}, std::pair{5, 0}}) {
    const PixelSelection s = SelectedPixels({3, 3}, {9, 9}, w, h, 0, 0);
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s.area(), 0);
    int visited = 0;
    for (int y = s.start.y; y <= s.end.y; ++y)
      for (int x = s.start.x; x <= s.end.x; ++x) ++visited;
    EXPECT_EQ(visited, 0);
  }
}

}  // namespace
}  // namespace vandrel
