// Every method on the same synthetic images: mixtures of known phase histograms come back
// as their fractions, and the result holds nothing beyond the phases fitted.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "app/analysis/model/UMetGradiente.h"
#include "app/analysis/model/UMetPowell.h"
#include "app/analysis/model/Umetodo.h"
#include "tests/fits/FitsTestUtil.h"

namespace vandrel {
namespace {

using namespace fits_test;

enum class Method { Svd, Powell, Gradient };

const char* Name(Method m) {
  switch (m) {
    case Method::Svd:
      return "Svd";
    case Method::Powell:
      return "Powell";
    case Method::Gradient:
      return "Gradient";
  }
  return "";
}

// The iterative methods start from thresholds halfway between the phase means, as the
// method dialog's automatic thresholds do.
FitResult Fit(Method m, const GreyHistogram& h, const std::vector<GreyHistogram>& phases,
              const RegistroLimiares& limiares) {
  FitResult a;
  a.fill(9.0);
  switch (m) {
    case Method::Svd:
      TMetodo().Ajustar(h, phases, Ones(), a);
      break;
    case Method::Powell:
      TPowellMethod().Executar(h, phases, limiares, a);
      break;
    case Method::Gradient: {
      bool convergiu = false;
      TGradientMethod().Executar(h, phases, limiares, convergiu, a);
      EXPECT_TRUE(convergiu);
      break;
    }
  }
  return a;
}

// How close each method comes: SVD solves exactly; the gradient stops at a relative error
// change of 1e-3; the fixed-step search stands on a grid of 0.001 steps and, with many
// overlapping phases, stops where no single step helps.
double Tolerance(Method m, int phases) {
  switch (m) {
    case Method::Svd:
      return 1e-9;
    case Method::Gradient:
      return 1e-5;
    case Method::Powell:
      return phases <= 8 ? 1e-3 : 5e-3;
  }
  return 0;
}

struct MixtureCase {
  Method method;
  int phases;
};

class MixtureTest : public ::testing::TestWithParam<MixtureCase> {};

TEST_P(MixtureTest, RecoversTheFractions) {
  const auto [method, n] = GetParam();
  const auto phases = Phases(n, 9.0);
  const auto f = Fractions(n);
  const FitResult a = Fit(method, Mix(phases, f), phases, ThresholdsBetween(Means(n)));
  for (int j = 0; j < n; ++j) EXPECT_NEAR(a[j], f[j], Tolerance(method, n)) << "phase " << j;
  for (int j = n; j < kFitPhases; ++j) EXPECT_EQ(a[j], 0.0) << "entry " << j;
}

// A histogram counted from pixels drawn from the mixture, as an image gives it: the fit is
// as close as the sampling allows.
TEST_P(MixtureTest, RecoversTheFractionsOfASampledImage) {
  const auto [method, n] = GetParam();
  const auto phases = Phases(n, 9.0);
  const auto f = Fractions(n);
  std::mt19937 random(n);
  std::discrete_distribution<int> phase(f.begin(), f.end());
  std::vector<std::discrete_distribution<int>> level;
  for (const auto& p : phases) level.emplace_back(p.begin(), p.end());
  GreyCounts counts{};
  for (int i = 0; i < 200000; ++i) ++counts[level[phase(random)](random)];
  const GreyHistogram h = HistogramOfCounts(counts);
  const FitResult a = Fit(method, h, phases, ThresholdsBetween(Means(n)));
  for (int j = 0; j < n; ++j) EXPECT_NEAR(a[j], f[j], 0.01) << "phase " << j;
}

// Patterns with more columns than the thresholds' phases: the iterative methods fit the
// first n + 1 columns only.
TEST(Mixture, IterativeMethodsUseTheFirstColumnsOnly) {
  for (Method method : {Method::Powell, Method::Gradient})
    for (int n : {2, 5, 8}) {
      SCOPED_TRACE(std::string(Name(method)) + std::to_string(n));
      auto phases = Phases(n, 9.0);
      const auto f = Fractions(n);
      const GreyHistogram h = Mix(phases, f);
      phases.push_back(Bump(128, 3));  // not in the image, and not fitted
      const FitResult a = Fit(method, h, phases, ThresholdsBetween(Means(n)));
      for (int j = 0; j < n; ++j) EXPECT_NEAR(a[j], f[j], Tolerance(method, n));
      EXPECT_EQ(a[n], 0.0);
    }
}

std::vector<MixtureCase> Cases() {
  std::vector<MixtureCase> cases;
  for (Method m : {Method::Svd, Method::Powell, Method::Gradient})
    for (int n : {2, 3, 5, 8, 16}) cases.push_back({m, n});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Methods, MixtureTest, ::testing::ValuesIn(Cases()), [](const auto& info) {
  return std::string(Name(info.param.method)) + std::to_string(info.param.phases);
});

}  // namespace
}  // namespace vandrel
