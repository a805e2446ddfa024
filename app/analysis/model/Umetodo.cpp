#include "app/analysis/model/Umetodo.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "platform/Errors.h"

namespace vandrel {
namespace {

// |a| with the sign of b, b >= 0 counting as positive.
double Sinal(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }

double Maior(double a, double b) { return a > b ? a : b; }

// sqrt(a^2 + b^2) without overflow or destructive underflow.
double Hipotenusa(double a, double b) {
  const double absa = std::fabs(a), absb = std::fabs(b);
  if (absa > absb) return absa * std::sqrt(1.0 + (absb / absa) * (absb / absa));
  if (absb == 0.0) return 0.0;
  return absb * std::sqrt(1.0 + (absa / absb) * (absa / absb));
}

// x is negligible beside the matrix norm.
bool Desprezivel(double x, double anorm) { return std::fabs(x) + anorm == anorm; }

}  // namespace

int DecomporSVD(MatrizSVD& a, int m, int n, VetorSVD& w, MatrizV& v) {
  if (n < 0 || n > kFitPhases || m < n || m > int(a.size()))
    throw std::invalid_argument("DecomporSVD: matrix size out of range");
  VetorSVD rv1{};
  int semConvergencia = 0;
  int l = 0;
  double g = 0.0, scale = 0.0, anorm = 0.0, s, f, h;

  // Householder reduction to bidiagonal form: w holds the diagonal, rv1 the super-diagonal.
  for (int i = 0; i < n; ++i) {
    l = i + 1;
    rv1[i] = scale * g;
    g = s = scale = 0.0;
    for (int k = i; k < m; ++k) scale += std::fabs(a[k][i]);
    if (scale != 0.0) {
      for (int k = i; k < m; ++k) {
        a[k][i] /= scale;
        s += a[k][i] * a[k][i];
      }
      f = a[i][i];
      g = -Sinal(std::sqrt(s), f);
      h = f * g - s;
      a[i][i] = f - g;
      for (int j = l; j < n; ++j) {
        s = 0.0;
        for (int k = i; k < m; ++k) s += a[k][i] * a[k][j];
        f = s / h;
        for (int k = i; k < m; ++k) a[k][j] += f * a[k][i];
      }
      for (int k = i; k < m; ++k) a[k][i] *= scale;
    }
    w[i] = scale * g;
    g = s = scale = 0.0;
    if (i != n - 1) {
      for (int k = l; k < n; ++k) scale += std::fabs(a[i][k]);
      if (scale != 0.0) {
        for (int k = l; k < n; ++k) {
          a[i][k] /= scale;
          s += a[i][k] * a[i][k];
        }
        f = a[i][l];
        g = -Sinal(std::sqrt(s), f);
        h = f * g - s;
        a[i][l] = f - g;
        for (int k = l; k < n; ++k) rv1[k] = a[i][k] / h;
        for (int j = l; j < m; ++j) {
          s = 0.0;
          for (int k = l; k < n; ++k) s += a[j][k] * a[i][k];
          for (int k = l; k < n; ++k) a[j][k] += s * rv1[k];
        }
        for (int k = l; k < n; ++k) a[i][k] *= scale;
      }
    }
    anorm = Maior(anorm, std::fabs(w[i]) + std::fabs(rv1[i]));
  }

  // Accumulation of the right-hand transformations.
  for (int i = n - 1; i >= 0; --i) {
    if (i < n - 1) {
      if (g != 0.0) {
        // Double division, so that a tiny a[i][l] does not underflow.
        for (int j = l; j < n; ++j) v[j][i] = (a[i][j] / a[i][l]) / g;
        for (int j = l; j < n; ++j) {
          s = 0.0;
          for (int k = l; k < n; ++k) s += a[i][k] * v[k][j];
          for (int k = l; k < n; ++k) v[k][j] += s * v[k][i];
        }
      }
      for (int j = l; j < n; ++j) v[i][j] = v[j][i] = 0.0;
    }
    v[i][i] = 1.0;
    g = rv1[i];
    l = i;
  }

  // Accumulation of the left-hand transformations.
  for (int i = n - 1; i >= 0; --i) {
    l = i + 1;
    g = w[i];
    for (int j = l; j < n; ++j) a[i][j] = 0.0;
    if (g != 0.0) {
      g = 1.0 / g;
      for (int j = l; j < n; ++j) {
        s = 0.0;
        for (int k = l; k < m; ++k) s += a[k][i] * a[k][j];
        f = (s / a[i][i]) * g;
        for (int k = i; k < m; ++k) a[k][j] += f * a[k][i];
      }
      for (int j = i; j < m; ++j) a[j][i] *= g;
    } else {
      for (int j = i; j < m; ++j) a[j][i] = 0.0;
    }
    a[i][i] += 1.0;
  }

  // Diagonalisation of the bidiagonal form, one singular value at a time from the last.
  for (int k = n - 1; k >= 0; --k) {
    for (int its = 1; its <= 30; ++its) {
      // Test for splitting. rv1[0] is always 0, so l = 0 always splits; testing it by
      // index keeps the scan inside the arrays even when the norm is not a number.
      bool cancelar = true;
      int nm = 0;
      for (l = k; l >= 0; --l) {
        nm = l - 1;
        if (l == 0 || Desprezivel(rv1[l], anorm)) {
          cancelar = false;
          break;
        }
        if (Desprezivel(w[nm], anorm)) break;
      }
      if (cancelar) {
        // w[nm] is negligible: cancel rv1[l] by rotations against the rows below.
        double c = 0.0;
        s = 1.0;
        for (int i = l; i <= k; ++i) {
          f = s * rv1[i];
          rv1[i] = c * rv1[i];
          if (Desprezivel(f, anorm)) break;
          g = w[i];
          h = Hipotenusa(f, g);
          w[i] = h;
          h = 1.0 / h;
          c = g * h;
          s = -f * h;
          for (int j = 0; j < m; ++j) {
            const double y = a[j][nm], z = a[j][i];
            a[j][nm] = y * c + z * s;
            a[j][i] = z * c - y * s;
          }
        }
      }
      double z = w[k];
      if (l == k) {
        // Converged: singular values are made non-negative.
        if (z < 0.0) {
          w[k] = -z;
          for (int j = 0; j < n; ++j) v[j][k] = -v[j][k];
        }
        break;
      }
      if (its == 30) ++semConvergencia;  // the 30th iteration still runs
      // Shift from the bottom 2 x 2 minor.
      double x = w[l];
      nm = k - 1;
      double y = w[nm];
      g = rv1[nm];
      h = rv1[k];
      // After a cancellation an underflow can leave a zero here; the next split test then
      // finds the split, so this iteration makes no QR step rather than divide by zero.
      if (h == 0.0 || y == 0.0 || x == 0.0) continue;
      f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
      g = Hipotenusa(f, 1.0);
      f = ((x - z) * (x + z) + h * ((y / (f + Sinal(g, f))) - h)) / x;
      // Next QR transformation.
      double c = 1.0;
      s = 1.0;
      for (int j = l; j <= nm; ++j) {
        const int i = j + 1;
        g = rv1[i];
        y = w[i];
        h = s * g;
        g = c * g;
        z = Hipotenusa(f, h);
        rv1[j] = z;
        if (z != 0.0) {
          c = f / z;
          s = h / z;
        } else {  // nothing to rotate
          c = 1.0;
          s = 0.0;
        }
        f = x * c + g * s;
        g = g * c - x * s;
        h = y * s;
        y *= c;
        for (int jj = 0; jj < n; ++jj) {
          x = v[jj][j];
          z = v[jj][i];
          v[jj][j] = x * c + z * s;
          v[jj][i] = z * c - x * s;
        }
        z = Hipotenusa(f, h);
        w[j] = z;
        if (z != 0.0) {  // the rotation can be arbitrary when z is 0
          z = 1.0 / z;
          c = f * z;
          s = h * z;
        }
        f = c * g + s * y;
        x = c * y - s * g;
        for (int jj = 0; jj < m; ++jj) {
          y = a[jj][j];
          z = a[jj][i];
          a[jj][j] = y * c + z * s;
          a[jj][i] = z * c - y * s;
        }
      }
      rv1[l] = 0.0;
      rv1[k] = f;
      w[k] = x;
    }
  }
  return semConvergencia;
}

void ResolverSVD(const MatrizSVD& u, const VetorSVD& w, const MatrizV& v, int m, int n,
                 const std::array<double, 256>& b, VetorSVD& x) {
  VetorSVD tmp{};
  for (int j = 0; j < n; ++j) {
    double s = 0.0;
    if (w[j] != 0.0) {
      for (int i = 0; i < m; ++i) s += u[i][j] * b[i];
      s /= w[j];
    }
    tmp[j] = s;
  }
  for (int j = 0; j < n; ++j) {
    double s = 0.0;
    for (int k = 0; k < n; ++k) s += v[j][k] * tmp[k];
    x[j] = s;
  }
}

double TMetodo::Ajustar(GreyHistogram h, PhaseHistograms fases, const GreyHistogram& desvios,
                        FitResult& a) {
  if (fases.size() > size_t(kFitPhases)) throw Exception("O padrão deve ter no máximo 16 fases");
  const int n = int(fases.size());
  constexpr int m = 256;
  a.fill(0.0);

  // Design matrix and right-hand side, each row weighted by 1 / sigma. Only the ratios of
  // the weights change the coefficients, so they are taken as sigma_min / sigma, the
  // largest being 1: deviations of 1e-200 or 1e200 fit as 1 does, where 1 / sigma itself
  // would overflow the decomposition or vanish in it.
  double menor = std::numeric_limits<double>::infinity();
  for (double s : desvios)
    if (s != 0.0 && std::isfinite(s)) menor = std::min(menor, std::fabs(s));
  MatrizSVD u{};
  std::array<double, 256> b{}, t{};
  for (int i = 0; i < m; ++i) {
    t[i] = menor / desvios[i];
    if (!std::isfinite(t[i])) t[i] = 0.0;  // sigma 0 or not a number: level left out
    for (int j = 0; j < n; ++j) u[i][j] = fases[j][i] * t[i];
    b[i] = h[i] * t[i];
  }

  MatrizV v{};
  VetorSVD w{};
  const int semConvergencia = DecomporSVD(u, m, n, w, v);
  if (Aviso)
    for (int k = 0; k < semConvergencia; ++k) Aviso(kSemConvergenciaSVD);

  // Singular values below 1e-5 of the largest carry only rounding: taken as 0.
  double wmax = 0.0;
  for (int j = 0; j < n; ++j)
    if (w[j] > wmax) wmax = w[j];
  const double limite = 1.0e-5 * wmax;
  for (int j = 0; j < n; ++j)
    if (w[j] < limite) w[j] = 0.0;

  VetorSVD x{};
  ResolverSVD(u, w, v, m, n, b, x);
  std::copy_n(x.begin(), n, a.begin());

  double chi2 = 0.0;
  for (int i = 0; i < m; ++i) {
    if (t[i] == 0.0) continue;
    double ajuste = 0.0;
    for (int j = 0; j < n; ++j) ajuste += a[j] * fases[j][i];
    const double r = (h[i] - ajuste) / desvios[i];
    chi2 += r * r;
  }
  return chi2;
}

}  // namespace vandrel
