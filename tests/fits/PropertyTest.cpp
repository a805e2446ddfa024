// The three fits on a few hundred seeded random images, against references written here in
// long double: an unconstrained weighted least squares by Householder QR, a non-negative
// least squares by exact coordinate descent, and the condition of each pattern from the
// Jacobi eigenvalues of its Gram matrix.
//
// Patterns of 2 to 16 Gaussian phases are drawn three ways: means anywhere in 10..245 with
// spreads 4..20 (neighbours overlap, often badly), means spread evenly with narrow
// spreads (well conditioned), and one phase nearly a blend of two others (ill conditioned).
// Each image is the histogram of a multinomial sample of a 4096 x 4096 picture of a random
// mixture; the iterative fits start from thresholds halfway between the sorted phase means,
// as the method dialog proposes them; half the SVD fits carry uneven ".err" deviations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/analysis/model/UMetGradiente.h"
#include "app/analysis/model/UMetPowell.h"
#include "app/analysis/model/Umetodo.h"
#include "tests/fits/FitsTestUtil.h"

namespace vandrel {
namespace {

using namespace fits_test;
using Real = long double;
using Vec = std::vector<Real>;
using Mat = std::vector<Vec>;

constexpr int kCasos = 300;

struct Caso {
  unsigned seed = 0;
  const char* tipo = "";
  std::vector<GreyHistogram> fases;
  std::vector<double> medias;
  GreyHistogram h{};
  GreyHistogram sigma{};
  bool pesos = false;
  RegistroLimiares limiares;
};

// ---- the references ----

// sum_g (h(g) - sum_j a_j P_j(g))^2, as the iterative fits measure it.
Real Erro(const Caso& c, const double* a) {
  Real e = 0;
  for (int g = 0; g < 256; ++g) {
    Real f = 0;
    for (size_t j = 0; j < c.fases.size(); ++j) f += Real(a[j]) * c.fases[j][g];
    e += (c.h[g] - f) * (c.h[g] - f);
  }
  return e;
}

// The Gram matrix A^T W^2 A and A^T W^2 h with row weights 1/sigma (1 when unweighted).
void Gram(const Caso& c, bool weighted, Mat& q, Vec& b) {
  const size_t n = c.fases.size();
  q.assign(n, Vec(n, 0));
  b.assign(n, 0);
  for (int g = 0; g < 256; ++g) {
    const Real w = weighted ? 1 / Real(c.sigma[g]) : 1;
    for (size_t i = 0; i < n; ++i) {
      b[i] += w * w * c.fases[i][g] * c.h[g];
      for (size_t j = 0; j < n; ++j) q[i][j] += w * w * c.fases[i][g] * c.fases[j][g];
    }
  }
}

// The eigenvalues of a symmetric matrix by cyclic Jacobi rotations.
Vec Autovalores(Mat a) {
  const size_t n = a.size();
  for (int sweep = 0; sweep < 100; ++sweep) {
    Real off = 0;
    for (size_t i = 0; i < n; ++i)
      for (size_t j = i + 1; j < n; ++j) off += a[i][j] * a[i][j];
    if (off < 1e-60L) break;
    for (size_t p = 0; p < n; ++p)
      for (size_t r = p + 1; r < n; ++r) {
        if (a[p][r] == 0) continue;
        const Real theta = (a[r][r] - a[p][p]) / (2 * a[p][r]);
        const Real t = (theta >= 0 ? 1 : -1) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
        const Real cs = 1 / std::sqrt(t * t + 1), sn = t * cs;
        for (size_t k = 0; k < n; ++k) {  // columns p and r
          const Real x = a[k][p], y = a[k][r];
          a[k][p] = cs * x - sn * y;
          a[k][r] = sn * x + cs * y;
        }
        for (size_t k = 0; k < n; ++k) {  // rows p and r
          const Real x = a[p][k], y = a[r][k];
          a[p][k] = cs * x - sn * y;
          a[r][k] = sn * x + cs * y;
        }
      }
  }
  Vec d(n);
  for (size_t i = 0; i < n; ++i) d[i] = a[i][i];
  return d;
}

// The ratio of the largest to the smallest singular value of the (weighted) design matrix.
Real Condicao(const Caso& c, bool weighted) {
  Mat q;
  Vec b;
  Gram(c, weighted, q, b);
  const Vec d = Autovalores(q);
  const Real lo = *std::min_element(d.begin(), d.end()), hi = *std::max_element(d.begin(), d.end());
  return lo <= 0 ? INFINITY : std::sqrt(hi / lo);
}

// Weighted least squares by Householder QR of the 256 x n design matrix.
Vec MinimosQuadrados(const Caso& c, bool weighted) {
  const size_t n = c.fases.size(), m = 256;
  Mat a(m, Vec(n));
  Vec y(m);
  for (size_t g = 0; g < m; ++g) {
    const Real w = weighted ? 1 / Real(c.sigma[g]) : 1;
    for (size_t j = 0; j < n; ++j) a[g][j] = w * c.fases[j][g];
    y[g] = w * c.h[g];
  }
  for (size_t k = 0; k < n; ++k) {
    Real norm = 0;
    for (size_t i = k; i < m; ++i) norm += a[i][k] * a[i][k];
    norm = std::sqrt(norm);
    const Real alpha = a[k][k] > 0 ? -norm : norm;
    Vec v(m, 0);
    for (size_t i = k; i < m; ++i) v[i] = a[i][k];
    v[k] -= alpha;
    Real vv = 0;
    for (size_t i = k; i < m; ++i) vv += v[i] * v[i];
    if (vv == 0) continue;
    for (size_t j = k; j < n; ++j) {
      Real s = 0;
      for (size_t i = k; i < m; ++i) s += v[i] * a[i][j];
      for (size_t i = k; i < m; ++i) a[i][j] -= 2 * s / vv * v[i];
    }
    Real s = 0;
    for (size_t i = k; i < m; ++i) s += v[i] * y[i];
    for (size_t i = k; i < m; ++i) y[i] -= 2 * s / vv * v[i];
  }
  Vec x(n, 0);
  for (size_t k = n; k-- > 0;) {
    Real s = y[k];
    for (size_t j = k + 1; j < n; ++j) s -= a[k][j] * x[j];
    x[k] = s / a[k][k];
  }
  return x;
}

// Non-negative least squares (unweighted) by exact minimisation along one coefficient at a
// time, clipped at 0, until no coefficient moves.
Vec MinimosQuadradosNaoNegativos(const Caso& c) {
  Mat q;
  Vec b;
  Gram(c, false, q, b);
  const size_t n = b.size();
  Vec x(n, 0);
  for (int sweep = 0; sweep < 200000; ++sweep) {
    Real maior = 0;
    for (size_t j = 0; j < n; ++j) {
      Real qx = 0;
      for (size_t k = 0; k < n; ++k) qx += q[j][k] * x[k];
      const Real novo = std::max<Real>(0, x[j] + (b[j] - qx) / q[j][j]);
      maior = std::max(maior, std::fabs(novo - x[j]));
      x[j] = novo;
    }
    if (maior < 1e-16L) break;
  }
  return x;
}

// ---- the cases ----

GreyHistogram Amostra(const std::vector<GreyHistogram>& fases, const std::vector<double>& f,
                      std::mt19937& random) {
  const GreyHistogram p = Mix(fases, f);
  // A multinomial sample of 4096 x 4096 pixels, level by level as conditional binomials.
  long long restantes = 4096LL * 4096;
  double massa = 0;
  for (double v : p) massa += v;
  GreyCounts counts{};
  for (int g = 0; g < 256 && restantes > 0; ++g) {
    const double prob = massa > 0 ? std::clamp(p[g] / massa, 0.0, 1.0) : 0.0;
    const long long k = std::binomial_distribution<long long>(restantes, prob)(random);
    counts[g] = int32_t(k);
    restantes -= k;
    massa -= p[g];
  }
  return HistogramOfCounts(counts);
}

Caso Gerar(unsigned seed) {
  std::mt19937 random(seed);
  auto uniforme = [&](double a, double b) {
    return std::uniform_real_distribution<>(a, b)(random);
  };
  Caso c;
  c.seed = seed;
  const int n = std::uniform_int_distribution<>(2, 16)(random);
  switch (seed % 3) {
    case 0:
      c.tipo = "overlapping";
      for (int k = 0; k < n; ++k) {
        c.medias.push_back(uniforme(10, 245));
        c.fases.push_back(Bump(c.medias.back(), uniforme(4, 20)));
      }
      break;
    case 1: {
      c.tipo = "separated";
      const double passo = 225.0 / n;
      for (int k = 0; k < n; ++k) {
        c.medias.push_back(15 + passo * (k + 0.5) + uniforme(-passo / 10, passo / 10));
        c.fases.push_back(Bump(c.medias.back(), uniforme(2, std::max(2.5, passo / 4))));
      }
      std::shuffle(c.fases.begin(), c.fases.end(), random);  // columns in any order
      for (int k = 0; k < n; ++k) {
        double m = 0;
        for (int g = 0; g < 256; ++g) m += g * c.fases[k][g];
        c.medias[k] = m;
      }
      break;
    }
    default: {
      c.tipo = "nearly a blend";
      for (int k = 0; k < n; ++k) {
        c.medias.push_back(uniforme(10, 245));
        c.fases.push_back(Bump(c.medias.back(), uniforme(4, 20)));
      }
      const int a = 0, b = n - 1, alvo = n / 2;
      if (alvo != a && alvo != b) {
        const GreyHistogram ruido = Bump(uniforme(10, 245), 6);
        for (int g = 0; g < 256; ++g)
          c.fases[alvo][g] = 0.495 * c.fases[a][g] + 0.495 * c.fases[b][g] + 0.01 * ruido[g];
        c.medias[alvo] = 0;
        for (int g = 0; g < 256; ++g) c.medias[alvo] += g * c.fases[alvo][g];
      }
    }
  }
  std::vector<double> f(n);
  double soma = 0;
  for (double& v : f) soma += v = std::exponential_distribution<>(1.0)(random);
  if (random() % 4 == 0) soma -= std::exchange(f[random() % n], 0.0);  // a phase not there
  for (double& v : f) v /= soma;
  c.h = Amostra(c.fases, f, random);

  std::vector<double> ordenadas = c.medias;
  std::sort(ordenadas.begin(), ordenadas.end());
  c.limiares = ThresholdsBetween(ordenadas);

  c.pesos = seed % 2 == 1;
  for (double& s : c.sigma) s = c.pesos ? uniforme(0.5, 2.0) : 1.0;
  return c;
}

std::string Descricao(const Caso& c) {
  std::ostringstream o;
  o << "seed " << c.seed << ", " << c.fases.size() << " phases " << c.tipo
    << (c.pesos ? ", uneven weights" : "");
  return o.str();
}

class FitProperties : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    casos_ = new std::vector<Caso>;
    for (int s = 0; s < kCasos; ++s) casos_->push_back(Gerar(unsigned(1000 + s)));
  }
  static void TearDownTestSuite() {
    delete casos_;
    casos_ = nullptr;
  }
  static const std::vector<Caso>& Casos() { return *casos_; }

 private:
  static std::vector<Caso>* casos_;
};
std::vector<Caso>* FitProperties::casos_ = nullptr;

struct Iterativo {
  FitResult a;
  bool convergiu = true;
};

Iterativo Gradiente(const Caso& c) {
  Iterativo r;
  TGradientMethod().Executar(c.h, c.fases, c.limiares, r.convergiu, r.a);
  return r;
}
Iterativo Descida(const Caso& c) {
  Iterativo r;
  TPowellMethod m;
  m.Executar(c.h, c.fases, c.limiares, r.a);
  r.convergiu = m.Convergiu();
  return r;
}

// Neither iterative fit returns a coefficient outside 0 .. 2 nor ends at a larger error than
// the point it started from.
TEST_F(FitProperties, IterativeFitsStayWithinZeroAndTwoAndNeverRaiseTheError) {
  for (const Caso& c : Casos()) {
    SCOPED_TRACE(Descricao(c));
    const FitResult inicio = StartFractions(c.h, c.limiares);
    const Real erroInicial = Erro(c, inicio.data());
    const int n = int(c.fases.size());
    for (const auto& [nome, fit] :
         {std::pair{"gradient", Gradiente(c)}, {"fixed-step", Descida(c)}}) {
      SCOPED_TRACE(nome);
      for (int j = 0; j < n; ++j) {
        EXPECT_GE(fit.a[j], 0.0) << "phase " << j;
        EXPECT_LE(fit.a[j], kMaiorCoeficiente) << "phase " << j;
      }
      for (int j = n; j < kFitPhases; ++j) EXPECT_EQ(fit.a[j], 0.0);
      EXPECT_LE(Erro(c, fit.a.data()), erroInicial * (1 + 1e-12L));
    }
  }
}

// On well-conditioned patterns the conjugate gradient converges to the non-negative least
// squares answer.
TEST_F(FitProperties, GradientMatchesNonNegativeLeastSquaresOnWellConditionedPatterns) {
  int comparados = 0;
  for (const Caso& c : Casos()) {
    if (Condicao(c, false) > 100) continue;
    ++comparados;
    SCOPED_TRACE(Descricao(c));
    const Iterativo fit = Gradiente(c);
    const Vec ref = MinimosQuadradosNaoNegativos(c);
    EXPECT_TRUE(fit.convergiu);
    for (size_t j = 0; j < ref.size(); ++j) EXPECT_NEAR(fit.a[j], double(ref[j]), 0.01) << j;
  }
  EXPECT_GE(comparados, kCasos / 4);  // the property has been put to the test
}

// SVD is the unconstrained (weighted) least squares: on patterns whose condition keeps
// every singular value above its cutoff it gives the least-squares coefficients.
TEST_F(FitProperties, SvdMatchesLeastSquaresOnWellConditionedPatterns) {
  int comparados = 0;
  for (const Caso& c : Casos()) {
    if (Condicao(c, c.pesos) > 1e4) continue;
    ++comparados;
    SCOPED_TRACE(Descricao(c));
    TMetodo metodo;
    int avisos = 0;
    metodo.Aviso = [&](const std::string&) { ++avisos; };
    FitResult a;
    metodo.Ajustar(c.h, c.fases, c.sigma, a);
    const Vec ref = MinimosQuadrados(c, c.pesos);
    EXPECT_EQ(avisos, 0);
    for (size_t j = 0; j < ref.size(); ++j)
      EXPECT_NEAR(a[j], double(ref[j]), 1e-8 * std::max<Real>(1, std::fabs(ref[j]))) << j;
  }
  EXPECT_GE(comparados, kCasos / 2);
}

}  // namespace
}  // namespace vandrel
