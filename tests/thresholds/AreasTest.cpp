// Area fractions of the phases from grey-level counts, and how the table writes them.
#include <gtest/gtest.h>

#include "app/thresholds/model/PhaseAreas.h"
#include "app/thresholds/model/PhaseColouring.h"
#include "platform/Numbers.h"

namespace vandrel {
namespace {

Limiares Lim(std::initializer_list<int> thresholds) {
  Limiares lim = LimiaresIniciais();
  int i = 1;
  for (int t : thresholds) lim[size_t(i++)] = uint8_t(t);
  return lim;
}

GreyCounts Counts(std::initializer_list<std::pair<int, int>> levels) {
  GreyCounts c{};
  for (auto [g, n] : levels) c[size_t(g)] += n;
  return c;
}

int64_t Total(const GreyCounts& c) {
  int64_t s = 0;
  for (int32_t v : c) s += v;
  return s;
}

TEST(CalcularAreasTest, FreshWindowRowsAreHalfOpenRanges) {
  const GreyCounts c = Counts({{0, 1}, {127, 1}, {128, 1}, {255, 1}});
  const auto rows = CalcularAreas(c, Total(c), 1, Lim({128}));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (LinhaDeArea{0, 128, 2, 5000}));
  // The last row includes 255, and the threshold's own level counts here.
  EXPECT_EQ(rows[1], (LinhaDeArea{128, 255, 2, 5000}));
}

TEST(CalcularAreasTest, ALevelAtAThresholdCountsUpButIsPaintedDown) {
  const GreyCounts c = Counts({{100, 1}});
  const Limiares lim = Lim({100});
  const auto rows = CalcularAreas(c, 1, 1, lim);
  EXPECT_EQ(rows[0].pixels, 0);
  EXPECT_EQ(rows[1].pixels, 1);
  EXPECT_EQ(FaseDoNivel(100, 1, lim), 0);
}

TEST(CalcularAreasTest, EqualThresholdsGiveAnEmptyPhase) {
  const GreyCounts c = Counts({{79, 2}, {80, 3}, {81, 5}});
  const auto rows = CalcularAreas(c, Total(c), 2, Lim({80, 80}));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].pixels, 2);
  EXPECT_EQ(rows[1], (LinhaDeArea{80, 80, 0, 0}));
  EXPECT_EQ(rows[2].pixels, 8);
}

TEST(CalcularAreasTest, ThresholdsOutOfOrderCountNothingBetweenThem) {
  // The window sorts before it counts; unsorted input gives an empty middle row rather
  // than a negative one.
  const GreyCounts c = Counts({{10, 1}, {60, 1}, {200, 1}});
  const auto rows = CalcularAreas(c, 3, 2, Lim({150, 50}));
  EXPECT_EQ(rows[0].pixels, 2);  // 0 .. 149
  EXPECT_EQ(rows[1].pixels, 0);  // 150 .. 49: none
  EXPECT_EQ(rows[2].pixels, 2);  // 50 .. 255
}

TEST(CalcularAreasTest, FifteenThresholdsGiveSixteenRows) {
  GreyCounts c{};
  for (int g = 0; g < 256; ++g) c[size_t(g)] = 1;
  const Limiares lim = Lim({16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240});
  const auto rows = CalcularAreas(c, 256, 15, lim);
  ASSERT_EQ(rows.size(), 16u);
  for (const LinhaDeArea& r : rows) EXPECT_EQ(r.pixels, 16);
  EXPECT_EQ(rows[0].de, 0);
  EXPECT_EQ(rows[15].de, 240);
  EXPECT_EQ(rows[15].ate, 255);
}

struct AreaCase {
  int64_t pixels, total;
  const char* texto;  // with "." as the decimal separator
};

class TextoDaAreaTest : public ::testing::TestWithParam<AreaCase> {};

TEST_P(TextoDaAreaTest, TruncatesToTwoDecimals) {
  const AreaCase& c = GetParam();
  GreyCounts counts{};
  counts[200] = int32_t(c.pixels);  // phase 1 of a fresh window
  const auto rows = CalcularAreas(counts, c.total, 1, Lim({128}));
  EXPECT_EQ(TextoDaArea(rows[1].centesimos), c.texto);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextoDaAreaTest,
    ::testing::Values(AreaCase{1, 3, "33.33"}, AreaCase{2, 3, "66.66"}, AreaCase{1, 8, "12.5"},
                      AreaCase{5, 5, "100"}, AreaCase{0, 7, "0"},
                      // Exact fractions stay exact: 29 % is not shown as 28.99.
                      AreaCase{29, 100, "29"}, AreaCase{57, 100, "57"}, AreaCase{1, 10000, "0.01"},
                      AreaCase{1, 10001, "0"},
                      // 4096 x 4096 pixels, all but one in this phase.
                      AreaCase{16777215, 16777216, "99.99"},
                      // An image of no pixels shows 0 rather than dividing by zero.
                      AreaCase{0, 0, "0"}));

TEST(TextoDaAreaSeparator, UsesTheDecimalSeparator) {
  const char antes = DecimalSeparator();
  SetDecimalSeparator(',');
  EXPECT_EQ(TextoDaArea(3333), "33,33");
  EXPECT_EQ(TextoDaArea(10000), "100");
  SetDecimalSeparator(antes);
}

}  // namespace
}  // namespace vandrel
