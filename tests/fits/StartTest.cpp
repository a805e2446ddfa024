// The start point of the iterative fits and the phase columns they take.
#include <gtest/gtest.h>

#include <random>

#include "app/analysis/model/FitCommon.h"
#include "tests/fits/FitsTestUtil.h"

namespace vandrel {
namespace {

using namespace fits_test;

GreyHistogram Spikes(std::initializer_list<std::pair<int, double>> spikes) {
  GreyHistogram h{};
  for (auto [g, v] : spikes) h[g] = v;
  return h;
}

struct StartCase {
  const char* name;
  GreyHistogram h;
  RegistroLimiares limiares;
  std::vector<double> expected;  // the first entries; every later one is 0
};

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class StartFractionsTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartFractionsTest, SumsTheHistogramOverEachInterval) {
  const StartCase& c = GetParam();
  const FitResult a = StartFractions(c.h, c.limiares);
  for (int k = 0; k < kFitPhases; ++k)
    EXPECT_EQ(a[k], k < int(c.expected.size()) ? c.expected[k] : 0.0) << "coefficient " << k;
}

RegistroLimiares WithStaleBytes() {
  RegistroLimiares r = Record({128});
  r.lim[2] = 50;  // left from an earlier level: carries no meaning
  r.lim[3] = 200;
  return r;
}

RegistroLimiares Damaged() {
  RegistroLimiares r = Record({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150});
  r.n = 200;
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartFractionsTest,
    ::testing::Values(
        // Levels 0..127 hold 0.3 of the pixels: the start point is (0.3, 0.7).
        StartCase{"one threshold", Spikes({{0, 0.3}, {200, 0.7}}), Record({128}), {0.3, 0.7}},
        // A level equal to a threshold belongs to the upper interval.
        StartCase{
            "at the threshold", Spikes({{127, 0.25}, {128, 0.75}}), Record({128}), {0.25, 0.75}},
        // Two equal thresholds leave an empty interval: its coefficient starts at 0.
        StartCase{"equal neighbours",
                  Spikes({{50, 0.5}, {100, 0.25}, {150, 0.25}}),
                  Record({100, 100}),
                  {0.5, 0.0, 0.5}},
        // Thresholds out of order: the first interval runs to 149, the second is empty and
        // the third starts at 100, so level 120 counts twice.
        StartCase{"thresholds out of order",
                  Spikes({{50, 0.5}, {120, 0.25}, {160, 0.25}}),
                  Record({150, 100}),
                  {0.75, 0.0, 0.5}},
        StartCase{"no threshold", Spikes({{0, 0.5}, {255, 0.5}}), Record({}), {1.0}},
        StartCase{"stale bytes after the count",
                  Spikes({{60, 0.5}, {210, 0.5}}),
                  WithStaleBytes(),
                  {0.5, 0.5}},
        // A count beyond 15 is taken as 15: 16 coefficients, the last from 150 on.
        StartCase{"damaged count",
                  Spikes({{5, 0.5}, {255, 0.5}}),
                  Damaged(),
                  {0.5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.5}}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

TEST(StartFractions, OfAHistogramThatSumsToOneSumToOne) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> value(0.0, 1.0);
  GreyHistogram h;
  double sum = 0.0;
  for (double& v : h) sum += v = value(random);
  for (double& v : h) v /= sum;
  const FitResult a = StartFractions(h, ThresholdsBetween(Means(16)));
  double total = 0.0;
  for (double v : a) total += v;
  EXPECT_NEAR(total, 1.0, 1e-14);
}

TEST(CoefficientCount, IsOneMoreThanTheThresholdsAndAtMostSixteen) {
  for (auto [n, expected] :
       std::vector<std::pair<int, int>>{{0, 1}, {1, 2}, {15, 16}, {16, 16}, {255, 16}}) {
    RegistroLimiares r;
    r.n = uint8_t(n);
    EXPECT_EQ(CoefficientCount(r), expected) << n;
  }
}

TEST(TakeColumns, MissingPhasesAreZeroColumnsAndMarked) {
  auto phases = Phases(3, 10.0);
  phases[1] = GreyHistogram{};
  const PhaseColumns c = TakeColumns(phases, 5);
  ASSERT_EQ(c.count, 5);
  EXPECT_EQ(c.p[0], phases[0]);
  EXPECT_EQ(c.p[2], phases[2]);
  EXPECT_FALSE(c.zero[0]);
  EXPECT_TRUE(c.zero[1]);
  EXPECT_FALSE(c.zero[2]);
  EXPECT_TRUE(c.zero[3]);
  EXPECT_TRUE(c.zero[4]);
  EXPECT_EQ(TakeColumns(phases, 99).count, kFitPhases);
  EXPECT_EQ(TakeColumns(phases, -1).count, 0);
}

}  // namespace
}  // namespace vandrel
