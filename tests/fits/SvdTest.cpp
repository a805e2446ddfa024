// The SVD least-squares fit: the decomposition itself, the weighting by the ".err" values,
// the editing of small singular values and the degenerate inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "app/analysis/model/Umetodo.h"
#include "platform/Errors.h"
#include "tests/fits/FitsTestUtil.h"

namespace vandrel {
namespace {

using namespace fits_test;

// ---- the decomposition ---------------------------------------------------------------

struct Size {
  int m, n;
};

class DecomporSVDTest : public ::testing::TestWithParam<Size> {};

// u = U diag(w) V^T, U has orthonormal columns, V is orthogonal, w >= 0.
TEST_P(DecomporSVDTest, ReconstructsTheMatrix) {
  const auto [m, n] = GetParam();
  std::mt19937 random(m * 100 + n);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  MatrizSVD a{}, u{};
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j) a[i][j] = u[i][j] = value(random);
  VetorSVD w{};
  MatrizV v{};
  EXPECT_EQ(DecomporSVD(u, m, n, w, v), 0);

  for (int j = 0; j < n; ++j) EXPECT_GE(w[j], 0.0);
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j) {
      double s = 0.0;
      for (int k = 0; k < n; ++k) s += u[i][k] * w[k] * v[j][k];
      EXPECT_NEAR(s, a[i][j], 1e-12) << i << "," << j;
    }
  for (int p = 0; p < n; ++p)
    for (int q = 0; q < n; ++q) {
      double uu = 0.0, vv = 0.0;
      for (int i = 0; i < m; ++i) uu += u[i][p] * u[i][q];
      for (int i = 0; i < n; ++i) vv += v[i][p] * v[i][q];
      EXPECT_NEAR(uu, p == q ? 1.0 : 0.0, 1e-12);
      EXPECT_NEAR(vv, p == q ? 1.0 : 0.0, 1e-12);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, DecomporSVDTest,
                         ::testing::Values(Size{256, 1}, Size{256, 2}, Size{256, 7}, Size{256, 16},
                                           Size{16, 16}, Size{17, 16}, Size{3, 2}));

TEST(DecomporSVD, SingularValuesOfADiagonalMatrixAreItsEntriesUnsigned) {
  MatrizSVD u{};
  u[0][0] = -3.0;
  u[1][1] = 0.5;
  u[2][2] = 2.0;
  VetorSVD w{};
  MatrizV v{};
  DecomporSVD(u, 256, 3, w, v);
  std::vector<double> got(w.begin(), w.begin() + 3);
  std::sort(got.begin(), got.end());
  EXPECT_NEAR(got[0], 0.5, 1e-15);
  EXPECT_NEAR(got[1], 2.0, 1e-15);
  EXPECT_NEAR(got[2], 3.0, 1e-15);
}

TEST(DecomporSVD, RefusesSizesBeyondItsArrays) {
  MatrizSVD u{};
  VetorSVD w{};
  MatrizV v{};
  EXPECT_THROW(DecomporSVD(u, 256, 17, w, v), std::invalid_argument);
  EXPECT_THROW(DecomporSVD(u, 257, 3, w, v), std::invalid_argument);
  EXPECT_THROW(DecomporSVD(u, 2, 3, w, v), std::invalid_argument);
  EXPECT_EQ(DecomporSVD(u, 256, 0, w, v), 0);
}

// ---- the fit -------------------------------------------------------------------------

// Weighted least squares by the normal equations, solved in long double: an independent
// answer for patterns of full rank.
std::vector<double> NormalEquations(const GreyHistogram& h, const std::vector<GreyHistogram>& p,
                                    const GreyHistogram& sigma) {
  const size_t n = p.size();
  if (n == 0 || n > 16) return {};  // a pattern holds 1 to 16 phases
  std::vector<std::vector<long double>> a(n, std::vector<long double>(n + 1, 0.0L));
  for (int g = 0; g < 256; ++g) {
    const long double wt = 1.0L / ((long double)sigma[g] * sigma[g]);
    for (size_t r = 0; r < n; ++r) {
      for (size_t c = 0; c < n; ++c) a[r][c] += wt * p[r][g] * p[c][g];
      a[r][n] += wt * p[r][g] * h[g];
    }
  }
  for (size_t c = 0; c < n; ++c) {
    size_t pivot = c;
    for (size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    std::swap(a[c], a[pivot]);
    for (size_t r = 0; r < n; ++r)
      if (r != c) {
        const long double f = a[r][c] / a[c][c];
        for (size_t k = c; k <= n; ++k) a[r][k] -= f * a[c][k];
      }
  }
  std::vector<double> x(n);
  for (size_t r = 0; r < n; ++r) x[r] = double(a[r][n] / a[r][r]);
  return x;
}

double ChiSquare(const GreyHistogram& h, const std::vector<GreyHistogram>& p, const FitResult& a,
                 const GreyHistogram& sigma) {
  double chi2 = 0.0;
  for (int g = 0; g < 256; ++g) {
    double fit = 0.0;
    for (size_t j = 0; j < p.size(); ++j) fit += a[j] * p[j][g];
    chi2 += ((h[g] - fit) / sigma[g]) * ((h[g] - fit) / sigma[g]);
  }
  return chi2;
}

class SvdMixtureTest : public ::testing::TestWithParam<int> {};

// A histogram mixed from the pattern's own columns gives the fractions back.
TEST_P(SvdMixtureTest, RecoversTheFractionsOfAnExactMixture) {
  const int n = GetParam();
  const auto phases = Phases(n, 9.0);
  const auto f = Fractions(n);
  FitResult a;
  a.fill(7.0);
  const double chi2 = TMetodo().Ajustar(Mix(phases, f), phases, Ones(), a);
  for (int j = 0; j < n; ++j) EXPECT_NEAR(a[j], f[j], 1e-9) << "phase " << j;
  for (int j = n; j < kFitPhases; ++j) EXPECT_EQ(a[j], 0.0);
  EXPECT_LT(chi2, 1e-20);
}

INSTANTIATE_TEST_SUITE_P(PhaseCounts, SvdMixtureTest, ::testing::Values(1, 2, 3, 8, 16));

// A histogram that no mixture reproduces: the fit is the weighted least-squares solution,
// and the chi-square is the weighted sum of the squared residuals.
TEST(SvdFit, IsTheWeightedLeastSquaresSolution) {
  const auto phases = Phases(4, 20.0);
  GreyHistogram h = Mix(phases, {0.1, 0.2, 0.3, 0.4});
  std::mt19937 random(5);
  std::uniform_real_distribution<double> noise(0.0, 0.004);
  for (double& v : h) v += noise(random);
  struct Case {
    const char* name;
    GreyHistogram sigma;
  };
  GreyHistogram uneven, negative = Ones();
  for (int g = 0; g < 256; ++g) uneven[g] = 0.5 + (g % 7) * 0.75;
  for (int g = 0; g < 256; g += 3) negative[g] = -2.0;  // the sign of sigma does not count
  for (const Case& c : {Case{"ones", Ones()}, Case{"uneven", uneven}, Case{"signs", negative}}) {
    SCOPED_TRACE(c.name);
    FitResult a;
    const double chi2 = TMetodo().Ajustar(h, phases, c.sigma, a);
    const auto expected = NormalEquations(h, phases, c.sigma);
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(a[j], expected[j], 1e-10);
    EXPECT_NEAR(chi2, ChiSquare(h, phases, a, c.sigma), 1e-15);
  }
}

TEST(SvdFit, WithAllWeightsOneTheChiSquareIsTheSumOfSquaredResiduals) {
  const auto phases = Phases(3, 15.0);
  GreyHistogram h = Flat(0, 255);
  FitResult a;
  const double chi2 = TMetodo().Ajustar(h, phases, Ones(), a);
  double sum = 0.0;
  for (int g = 0; g < 256; ++g) {
    const double r = h[g] - (a[0] * phases[0][g] + a[1] * phases[1][g] + a[2] * phases[2][g]);
    sum += r * r;
  }
  EXPECT_DOUBLE_EQ(chi2, sum);
  EXPECT_GT(chi2, 0.0);
}

// A uniform deviation cannot change which coefficients fit best: every one, however
// small or large, gives the coefficients of deviation 1, without a word from the
// decomposition, and the chi-square scales by 1 / sigma^2 as far as a double holds it.
TEST(SvdFit, ScalingEverySigmaScalesTheChiSquareAndKeepsTheFit) {
  for (int fases : {3, 16}) {
    const auto phases = Phases(fases, 15.0);
    const GreyHistogram h = Mix(phases, Fractions(fases));
    GreyHistogram hRuido = h;
    for (int g = 0; g < 256; g += 7) hRuido[g] += 1e-4;  // not an exact mixture: chi2 > 0
    FitResult a1;
    const double chi1 = TMetodo().Ajustar(hRuido, phases, Ones(), a1);
    for (double sigma : {2.0, 1e-200, 1e-100, 1e-10, 1e10, 1e100, 1e200, 1e300}) {
      SCOPED_TRACE(std::to_string(fases) + " phases, sigma " + std::to_string(sigma));
      GreyHistogram uniforme;
      uniforme.fill(sigma);
      TMetodo metodo;
      int avisos = 0;
      metodo.Aviso = [&](const std::string&) { ++avisos; };
      FitResult a;
      const double chi2 = metodo.Ajustar(hRuido, phases, uniforme, a);
      EXPECT_EQ(avisos, 0);
      for (int j = 0; j < fases; ++j) EXPECT_NEAR(a[j], a1[j], 1e-12) << j;
      const double esperado = chi1 / (sigma * sigma);
      if (std::isfinite(esperado) && esperado > 1e-300) {
        EXPECT_NEAR(chi2, esperado, 1e-12 * esperado);
      }
    }
  }
}

// ---- degenerate patterns and histograms ----------------------------------------------

TEST(SvdFit, AZeroColumnGetsZeroAndTheOthersTheirFractions) {
  auto phases = Phases(3, 12.0);
  const GreyHistogram h = Mix(phases, {0.25, 0.0, 0.75});
  phases[1] = GreyHistogram{};
  FitResult a;
  const double chi2 = TMetodo().Ajustar(h, phases, Ones(), a);
  EXPECT_NEAR(a[0], 0.25, 1e-12);
  EXPECT_NEAR(a[1], 0.0, 1e-15);
  EXPECT_NEAR(a[2], 0.75, 1e-12);
  EXPECT_LT(chi2, 1e-25);
}

TEST(SvdFit, TwoIdenticalColumnsShareTheirWeightEqually) {
  auto phases = Phases(3, 12.0);
  const GreyHistogram h = Mix(phases, {0.2, 0.8, 0.0});
  phases[2] = phases[1];
  FitResult a;
  TMetodo().Ajustar(h, phases, Ones(), a);
  EXPECT_NEAR(a[0], 0.2, 1e-12);
  EXPECT_NEAR(a[1], 0.4, 1e-12);
  EXPECT_NEAR(a[2], 0.4, 1e-12);
}

TEST(SvdFit, EmptyHistogramOrPatternOfZerosGivesZeros) {
  struct Case {
    const char* name;
    GreyHistogram h;
    std::vector<GreyHistogram> phases;
  };
  for (const Case& c : {Case{"empty histogram", GreyHistogram{}, Phases(4, 10.0)},
                        Case{"zero columns", Flat(0, 255), std::vector<GreyHistogram>(3)}}) {
    SCOPED_TRACE(c.name);
    FitResult a;
    a.fill(1.0);
    const double chi2 = TMetodo().Ajustar(c.h, c.phases, Ones(), a);
    for (double v : a) EXPECT_EQ(v, 0.0);
    double expected = 0.0;
    for (double v : c.h) expected += v * v;
    EXPECT_DOUBLE_EQ(chi2, expected);
  }
}

TEST(SvdFit, NoPhasesGivesZerosAndTheHistogramsOwnSquares) {
  FitResult a;
  a.fill(1.0);
  const double chi2 = TMetodo().Ajustar(Flat(0, 3), {}, Ones(), a);
  for (double v : a) EXPECT_EQ(v, 0.0);
  EXPECT_DOUBLE_EQ(chi2, 4 * 0.25 * 0.25);
}

// A level of sigma 0 would divide by zero: it is left out, which is the fit of the other
// levels alone (the same as that level's row of zeros).
TEST(SvdFit, ALevelOfSigmaZeroIsLeftOut) {
  const auto phases = Phases(3, 25.0);
  GreyHistogram h = Flat(0, 255);
  h[128] += 0.5;  // a spike that only that level carries
  GreyHistogram sigma = Ones();
  sigma[128] = 0.0;
  sigma[3] = std::numeric_limits<double>::infinity();  // weight 0: left out as well

  FitResult a;
  const double chi2 = TMetodo().Ajustar(h, phases, sigma, a);

  GreyHistogram hOut = h;
  std::vector<GreyHistogram> pOut = phases;
  for (int g : {3, 128}) {
    hOut[g] = 0.0;
    for (auto& p : pOut) p[g] = 0.0;
  }
  FitResult expected;
  const double chiExpected = TMetodo().Ajustar(hOut, pOut, Ones(), expected);
  for (int j = 0; j < 3; ++j) {
    EXPECT_TRUE(std::isfinite(a[j]));
    EXPECT_NEAR(a[j], expected[j], 1e-13);
  }
  EXPECT_NEAR(chi2, chiExpected, 1e-15);
}

TEST(SvdFit, RefusesMoreThanSixteenPhases) {
  const auto phases = Phases(17, 5.0);
  FitResult a;
  EXPECT_THROW(TMetodo().Ajustar(Flat(0, 255), phases, Ones(), a), Exception);
}

// A pattern holding a value that is not a number cannot converge: every singular value
// but the first runs its 30 iterations, each reports the message, and the fit still ends.
TEST(SvdFit, ReportsNonConvergenceAndStillEnds) {
  auto phases = Phases(4, 10.0);
  phases[2][100] = std::nan("");
  std::vector<std::string> avisos;
  TMetodo metodo;
  metodo.Aviso = [&](const std::string& text) { avisos.push_back(text); };
  FitResult a;
  metodo.Ajustar(Flat(0, 255), phases, Ones(), a);
  ASSERT_FALSE(avisos.empty());
  EXPECT_LE(avisos.size(), 4u);
  for (const auto& text : avisos) EXPECT_EQ(text, "no convergence in 30 SVDCMP iterations");
  for (int j = 4; j < kFitPhases; ++j) EXPECT_EQ(a[j], 0.0);
}

TEST(SvdFit, ConvergingFitsReportNothing) {
  const auto phases = Phases(16, 6.0);
  int avisos = 0;
  TMetodo metodo;
  metodo.Aviso = [&](const std::string&) { ++avisos; };
  FitResult a;
  metodo.Ajustar(Mix(phases, Fractions(16)), phases, Ones(), a);
  EXPECT_EQ(avisos, 0);
}

}  // namespace
}  // namespace vandrel
