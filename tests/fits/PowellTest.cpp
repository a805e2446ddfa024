// The fixed-step coordinate descent: sweeps traced by hand, the end of the search on the
// inputs where it would run for ever, and degenerate inputs.
#include <gtest/gtest.h>

#include <cmath>

#include "app/analysis/model/UMetPowell.h"
#include "tests/fits/FitsTestUtil.h"

namespace vandrel {
namespace {

using namespace fits_test;

constexpr double s0 = TPowellMethod::kPasso;

GreyHistogram Scaled(GreyHistogram h, double factor) {
  for (double& v : h) v *= factor;
  return h;
}

// Two phases on disjoint halves of the grey levels, the image 0.3 / 0.7 of them, one
// threshold at 128: the start point is (0.3, 0.7).
struct Halves : ::testing::Test {
  const GreyHistogram low = Flat(0, 127), high = Flat(128, 255);
  const GreyHistogram h = Mix({low, high}, {0.3, 0.7});
  const RegistroLimiares limiar = Record({128});
};

// The pattern reproduces the image at the start point, and every trial raises the error:
// one sweep, no move.
TEST_F(Halves, ExactAtTheStartEndsAfterOneSweepWithoutMoving) {
  TPowellMethod m;
  FitResult a;
  a.fill(9.0);
  m.Executar(h, std::vector{low, high}, limiar, a);
  EXPECT_EQ(m.Varreduras(), 1);
  EXPECT_EQ(a[0], StartFractions(h, limiar)[0]);
  EXPECT_EQ(a[1], StartFractions(h, limiar)[1]);
  EXPECT_NEAR(a[0], 0.3, 1e-15);
  for (int j = 2; j < kFitPhases; ++j) EXPECT_EQ(a[j], 0.0);
}

// A column twice the phase: the coefficient walks down from 0.3 one step a sweep, as long as
// one step down does not raise the error, and stops at 0.15 after 150 moves and one sweep
// that moves nothing. The other coefficient, tried while the first stands where it started,
// never moves.
TEST_F(Halves, ACoefficientAboveItsOptimumStepsDownOneStepASweep) {
  TPowellMethod m;
  FitResult a;
  m.Executar(h, std::vector{Scaled(low, 2.0), high}, limiar, a);
  EXPECT_EQ(m.Varreduras(), 151);
  EXPECT_NEAR(a[0], 0.15, 1e-12);
  EXPECT_EQ(a[1], StartFractions(h, limiar)[1]);
  EXPECT_FALSE(m.TerminouEmCiclo());
}

// A column half the phase: the coefficient walks up two steps a sweep, from 0.7 to 1.4.
TEST_F(Halves, ACoefficientBelowItsOptimumStepsUpTwoStepsASweep) {
  TPowellMethod m;
  FitResult a;
  m.Executar(h, std::vector{low, Scaled(high, 0.5)}, limiar, a);
  EXPECT_EQ(m.Varreduras(), 351);
  EXPECT_NEAR(a[0], 0.3, 1e-15);
  EXPECT_NEAR(a[1], 1.4, 1e-12);
}

// A coefficient whose phase is absent walks down past 0 by less than a step; in the next
// sweep its downward trial would start below 0, so it stops moving for the rest of the fit
// and ends that sweep one step up, where its upward trial left it. Traced, with the second
// column the image itself:
//   sweep 1: a1 0.0017 -> 0.0007 (down), a2 0.9983 -> 1.0003 (up)
//   sweep 2: a1 0.0007 -> -0.0003 (down), a2 stays
//   sweep 3: a1 inactive, left at 0.0007; a2 stays; nothing counted as moved: the end.
// With the second column 0.625 of the image, a2 climbs on to 1.6003 (301 moves, then a sweep
// without one). In those sweeps a1's downward trial is still taken, but an inactive
// coefficient is not moved by it nor counted: a1 stays at 0.0007 and the fit ends after 302.
TEST(Powell, ACoefficientBelowZeroStopsMovingOneStepUp) {
  GreyHistogram h{};
  h[64] = 0.0017;
  h[200] = 0.9983;
  struct Case {
    double scale;
    int sweeps;
    double a2;
  };
  for (const Case& c : {Case{1.0, 3, 1.0003}, Case{0.625, 302, 1.6003}}) {
    SCOPED_TRACE(c.scale);
    TPowellMethod m;
    FitResult a;
    m.Executar(h, std::vector{Flat(0, 63), Scaled(h, c.scale)}, Record({65}), a);
    EXPECT_EQ(m.Varreduras(), c.sweeps);
    EXPECT_NEAR(a[0], 0.0007, 1e-12);
    EXPECT_NEAR(a[1], c.a2, 1e-12);
  }
}

TEST(Powell, EmptyHistogramStaysAtZero) {
  TPowellMethod m;
  FitResult a;
  m.Executar(GreyHistogram{}, Phases(4, 10.0), ThresholdsBetween(Means(4)), a);
  EXPECT_EQ(m.Varreduras(), 1);
  for (double v : a) EXPECT_EQ(v, 0.0);
}

// A first column of zeros does not change the error, so its upward trial would be taken
// in every sweep and the search never end. It keeps its start value; the others fit.
TEST(Powell, AZeroColumnKeepsItsStartValueAndTheSearchEnds) {
  for (int zero : {0, 1, 2}) {
    SCOPED_TRACE(zero);
    auto phases = Phases(3, 9.0);
    std::vector<double> f = {0.3, 0.3, 0.4};
    f[zero] = 0.0;
    const GreyHistogram h = Mix(phases, f);
    phases[zero] = GreyHistogram{};
    const RegistroLimiares limiares = ThresholdsBetween(Means(3));
    TPowellMethod m;
    FitResult a;
    m.Executar(h, phases, limiares, a);
    EXPECT_LT(m.Varreduras(), 1000);
    EXPECT_EQ(a[zero], StartFractions(h, limiares)[zero]);
    for (int j = 0; j < 3; ++j) {
      if (j == zero) continue;
      EXPECT_NEAR(a[j], f[j], 3 * s0) << j;
    }
  }
}

// 16 strongly overlapping phases: some coefficients step up and back down in turn and the
// sweeps repeat for ever. The repeat is seen and the search ends near the mixture.
TEST(Powell, ACycleOfSweepsEndsTheSearch) {
  const auto phases = Phases(16, 15.0);
  const auto f = Fractions(16);
  const GreyHistogram h = Mix(phases, f);
  TPowellMethod m;
  FitResult a;
  m.Executar(h, phases, ThresholdsBetween(Means(16)), a);
  EXPECT_TRUE(m.TerminouEmCiclo());
  EXPECT_LT(m.Varreduras(), 200);
  for (int j = 0; j < 16; ++j) EXPECT_NEAR(a[j], f[j], 0.05) << j;
}

// A column too small to change the model: its coefficient climbs in every sweep without
// changing the error (which the other column cannot bring to 0). It stops below the
// ceiling, the other coefficient still fits, and the fit says it did not settle.
TEST(Powell, AColumnTooSmallToMatterStopsBelowTheCeilingAndIsReported) {
  for (double tiny : {1e-300, 1e-25}) {
    SCOPED_TRACE(tiny);
    GreyHistogram column;
    column.fill(tiny);
    TPowellMethod m;
    FitResult a;
    m.Executar(Flat(100, 255), std::vector{column, Flat(128, 255)}, Record({128}), a);
    EXPECT_FALSE(m.Convergiu());
    EXPECT_LT(m.Varreduras(), TPowellMethod::kMaxVarreduras);
    EXPECT_GE(a[0], 0.0);
    EXPECT_LE(a[0], kMaiorCoeficiente);
    EXPECT_NEAR(a[1], 128.0 / 156, 1e-12);  // its start value is its best
  }
}

// Columns so large that the error overflows: every comparison fails, and still the search
// ends and stays within its arrays.
TEST(Powell, OverflowingColumnsStillEnd) {
  GreyHistogram huge;
  huge.fill(1e300);
  TPowellMethod m;
  FitResult a;
  m.Executar(Flat(0, 255), std::vector{huge, huge}, Record({128}), a);
  EXPECT_LE(m.Varreduras(), TPowellMethod::kMaxVarreduras);
  for (int j = 2; j < kFitPhases; ++j) EXPECT_EQ(a[j], 0.0);
}

TEST(Powell, EachFitStartsAfresh) {
  const auto phases = Phases(4, 9.0);
  const RegistroLimiares limiares = ThresholdsBetween(Means(4));
  const GreyHistogram h = Mix(phases, {0.1, 0.2, 0.3, 0.4});
  TPowellMethod fresh, used;
  FitResult a, b, scratch;
  fresh.Executar(h, phases, limiares, a);
  used.Executar(Mix(phases, {0.4, 0.3, 0.2, 0.1}), phases, limiares, scratch);
  used.Executar(h, phases, limiares, b);
  EXPECT_EQ(a, b);
  EXPECT_EQ(fresh.Varreduras(), used.Varreduras());
}

}  // namespace
}  // namespace vandrel
