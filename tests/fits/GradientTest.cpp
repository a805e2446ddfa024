// The conjugate-gradient fit: the start point, the pull-back that keeps coefficients from
// going negative, the converged flag, and the inputs on which its line search would not
// end by itself.
#include <gtest/gtest.h>

#include <cmath>

#include "app/analysis/model/UMetGradiente.h"
#include "tests/fits/FitsTestUtil.h"

namespace vandrel {
namespace {

using namespace fits_test;

struct Fit {
  FitResult a;
  bool convergiu = false;
  int iteracoes = 0;
};

Fit Gradiente(const GreyHistogram& h, const std::vector<GreyHistogram>& phases,
              const RegistroLimiares& limiares) {
  TGradientMethod m;
  Fit fit;
  fit.a.fill(9.0);
  fit.convergiu = !fit.convergiu;  // the method must set it either way
  m.Executar(h, phases, limiares, fit.convergiu, fit.a);
  fit.iteracoes = m.Iteracoes();
  return fit;
}

// With one threshold at 128 and 0.3 of the pixels on levels 0..127, the start point is
// (0.3, 0.7); with phases on those two halves it is also the answer.
TEST(Gradient, StartsFromTheFractionsBetweenTheThresholds) {
  const GreyHistogram low = Flat(0, 127), high = Flat(128, 255);
  const Fit fit = Gradiente(Mix({low, high}, {0.3, 0.7}), {low, high}, Record({128}));
  EXPECT_TRUE(fit.convergiu);
  EXPECT_EQ(fit.iteracoes, 1);
  EXPECT_NEAR(fit.a[0], 0.3, 1e-15);
  EXPECT_NEAR(fit.a[1], 0.7, 1e-15);
  for (int j = 2; j < kFitPhases; ++j) EXPECT_EQ(fit.a[j], 0.0);
}

// The unconstrained optimum of this image has negative outer coefficients (a single narrow
// peak fitted by three wide phases). The outer coefficients stop on 0, where the error
// rises beyond, and the middle one settles on the best multiple of its phase alone: the
// non-negative least-squares answer, reached and reported as converged.
TEST(Gradient, CoefficientsStopOnZeroAndTheFitSettlesThere) {
  const auto phases = Phases(3, 30.0);
  const GreyHistogram h = Bump(128, 8);
  const Fit fit = Gradiente(h, phases, ThresholdsBetween(Means(3)));
  EXPECT_TRUE(fit.convergiu);
  EXPECT_LT(fit.iteracoes, TGradientMethod::kMaxIteracoes);
  double hp = 0.0, pp = 0.0;
  for (int g = 0; g < 256; ++g) {
    hp += h[g] * phases[1][g];
    pp += phases[1][g] * phases[1][g];
  }
  EXPECT_EQ(fit.a[0], 0.0);
  EXPECT_NEAR(fit.a[1], hp / pp, 1e-6);
  EXPECT_EQ(fit.a[2], 0.0);
}

// A gradient of zero makes the search direction zero, along which the bracketing would
// compare ties for ever: the fit stops at once, converged.
TEST(Gradient, AZeroDirectionEndsTheFitConverged) {
  const Fit empty = Gradiente(GreyHistogram{}, Phases(4, 10.0), ThresholdsBetween(Means(4)));
  EXPECT_TRUE(empty.convergiu);
  EXPECT_EQ(empty.iteracoes, 1);
  for (double v : empty.a) EXPECT_EQ(v, 0.0);

  const Fit zeros = Gradiente(Flat(0, 255), std::vector<GreyHistogram>(3), Record({80, 160}));
  EXPECT_TRUE(zeros.convergiu);
  EXPECT_EQ(zeros.iteracoes, 1);
  EXPECT_NEAR(zeros.a[0], 80.0 / 256, 1e-15);  // no gradient: the start values stay
  EXPECT_NEAR(zeros.a[1], 80.0 / 256, 1e-15);
  EXPECT_NEAR(zeros.a[2], 96.0 / 256, 1e-15);
}

// A zero column has no gradient: its coefficient keeps its start value while the others
// fit. Missing phases count as zero columns.
TEST(Gradient, AZeroOrMissingColumnKeepsItsStartValue) {
  auto phases = Phases(3, 9.0);
  const GreyHistogram h = Mix(phases, {0.35, 0.0, 0.65});
  phases[1] = GreyHistogram{};
  const RegistroLimiares three = ThresholdsBetween(Means(3));
  const Fit fit = Gradiente(h, phases, three);
  EXPECT_TRUE(fit.convergiu);
  EXPECT_EQ(fit.a[1], StartFractions(h, three)[1]);
  EXPECT_NEAR(fit.a[0], 0.35, 1e-6);
  EXPECT_NEAR(fit.a[2], 0.65, 1e-6);

  const Fit missing = Gradiente(h, {phases[0]}, three);  // two phases short
  EXPECT_EQ(missing.a[1], StartFractions(h, three)[1]);
  EXPECT_EQ(missing.a[2], StartFractions(h, three)[2]);
}

// A phase too small to matter gives a direction along which the error does not change
// over any span the bracketing can reach: every step ties, and the line is given up
// without a move rather than widened until the numbers overflow.
TEST(Gradient, AFlatLineIsGivenUp) {
  GreyHistogram tiny{};
  tiny[10] = 1e-300;
  GreyHistogram h{};
  h[10] = 1.0;
  const Fit fit = Gradiente(h, {tiny}, Record({}));
  EXPECT_TRUE(fit.convergiu);
  EXPECT_EQ(fit.iteracoes, 1);
  EXPECT_EQ(fit.a[0], 1.0);
}

// Columns so large that the error overflows: the line values are not numbers, nothing
// moves, and the fit ends.
TEST(Gradient, OverflowingColumnsStillEnd) {
  GreyHistogram huge;
  huge.fill(1e300);
  const Fit fit = Gradiente(Flat(0, 255), {huge, huge}, Record({128}));
  EXPECT_FALSE(fit.convergiu);
  EXPECT_EQ(fit.a[0], 0.5);
  EXPECT_EQ(fit.a[1], 0.5);
}

TEST(Gradient, EachFitStartsAfresh) {
  const auto phases = Phases(5, 12.0);
  const RegistroLimiares limiares = ThresholdsBetween(Means(5));
  const GreyHistogram h = Mix(phases, Fractions(5));
  TGradientMethod fresh, used;
  FitResult a, b, scratch;
  bool c1, c2, c3;
  fresh.Executar(h, phases, limiares, c1, a);
  used.Executar(Bump(128, 8), Phases(3, 30.0), ThresholdsBetween(Means(3)), c2, scratch);
  used.Executar(h, phases, limiares, c3, b);
  EXPECT_EQ(a, b);
  EXPECT_EQ(c1, c3);
}

}  // namespace
}  // namespace vandrel
