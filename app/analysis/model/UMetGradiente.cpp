#include "app/analysis/model/UMetGradiente.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vandrel {
namespace {

constexpr double kFtol = 0.001;       // relative tolerance of the driver
constexpr double kEps = 1.0e-10;      // keeps the driver's test meaningful at E = 0
constexpr double kTolLinha = 1.0e-6;  // tolerance of Brent's search along a line
constexpr double kOuro = 1.618034;    // golden-ratio growth of the bracketing
constexpr double kLimiteParabola = 100.0;
constexpr double kMinimo = 1.0e-20;      // smallest divisor of the parabolic step
constexpr double kOuroBrent = 0.381966;  // golden-section ratio of Brent's search
constexpr double kZeps = 1.0e-10;        // absolute guard of Brent's tolerance
constexpr int kMaxBrent = 200;

double Sinal(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }
double Maior(double a, double b) { return a > b ? a : b; }

}  // namespace

void TGradientMethod::Executar(GreyHistogram h, PhaseHistograms padrao, RegistroLimiares limiares,
                               bool& convergiu, FitResult& a) {
  H_ = h;
  Limiares = limiares;
  convergiu = Minimizar(padrao);
  a.fill(0.0);
  std::copy_n(p_.begin(), nc_, a.begin());
}

void TGradientMethod::Inicializar(PhaseHistograms padrao) {
  nc_ = CoefficientCount(Limiares);
  p0_ = StartFractions(H_, Limiares);
  P_ = TakeColumns(padrao, nc_);
  iteracoes_ = 0;
}

bool TGradientMethod::Minimizar(PhaseHistograms padrao) {
  Inicializar(padrao);
  p_ = p0_;
  double fret = 0.0;
  const bool convergiu = GradienteConjugado(p_, nc_, iteracoes_, kFtol, fret);
  // A coefficient held at the ceiling belongs to a column that ran away.
  return convergiu && std::none_of(p_.begin(), p_.begin() + nc_,
                                   [](double v) { return v >= kMaiorCoeficiente; });
}

void TGradientMethod::ModeloGradiente(const Vetor& p, GreyHistogram& F) const {
  // Column by column, so that each level still sums its terms in phase order.
  F.fill(0.0);
  for (int j = 0; j < nc_; ++j) {
    const double pj = p[j];
    const double* col = P_.p[j].data();
    for (int g = 0; g < 256; ++g) F[g] += pj * col[g];
  }
}

double TGradientMethod::ErroGradiente(const Vetor& p) const {
  GreyHistogram F;
  ModeloGradiente(p, F);
  double e = 0.0;
  for (int g = 0; g < 256; ++g) {
    const double r = H_[g] - F[g];
    e += r * r;
  }
  return e;
}

void TGradientMethod::GradienteErro(const Vetor& p, Vetor& xi) const {
  GreyHistogram F;
  ModeloGradiente(p, F);
  for (int g = 0; g < 256; ++g) F[g] = H_[g] - F[g];  // the residual
  for (int j = 0; j < nc_; ++j) {
    const double* col = P_.p[j].data();
    double s = 0.0;
    for (int g = 0; g < 256; ++g) s += F[g] * col[g];
    xi[j] = -2.0 * s;
  }
}

// Holds the free coefficients that stand on a bound while the error falls beyond it: at 0
// with the error rising upwards, at the ceiling with it falling further up.
void TGradientMethod::Prender(const Vetor& p, const Vetor& grad, int n, Mascara& livre) const {
  for (int j = 0; j < n; ++j)
    if ((p[j] <= 0.0 && grad[j] > 0.0) || (p[j] >= kMaiorCoeficiente && grad[j] < 0.0))
      livre[j] = false;
}

int TGradientMethod::Livres(const Mascara& livre, int n) {
  return int(std::count(livre.begin(), livre.begin() + n, true));
}

// Frees the held coefficients from which the error now falls inwards; false when none.
bool TGradientMethod::Soltar(const Vetor& p, const Vetor& grad, int n, Mascara& livre) const {
  bool algum = false;
  for (int j = 0; j < n; ++j)
    if (!livre[j] &&
        ((p[j] <= 0.0 && grad[j] < 0.0) || (p[j] >= kMaiorCoeficiente && grad[j] > 0.0)))
      livre[j] = algum = true;
  return algum;
}

// Polak-Ribiere over the coefficients that are free to move. The line searches stay
// between 0 and the ceiling and take no step that raises the error; a step that a bound
// cuts short holds that coefficient there and starts the conjugate directions again from
// the steepest descent. The search over the free coefficients settles when a step lowers
// the error by less than the relative tolerance once the directions since the last
// restart are as many as the free coefficients, or when not even the steepest descent
// finds a lower error. Then a held coefficient from which the error falls inwards is freed
// and the search goes on; with none, the fit has converged.
bool TGradientMethod::GradienteConjugado(Vetor& p, int n, int& iteracoes, double ftol,
                                         double& fret) {
  Vetor g{}, h{}, xi{}, grad{};
  Mascara livre{};
  std::fill_n(livre.begin(), n, true);
  double fp = ErroGradiente(p);
  fret = fp;
  if (!std::isfinite(fp)) return false;
  GradienteErro(p, grad);
  bool descida = true;  // xi is the steepest descent
  int passos = 1;       // line searches since then, the coming one included
  auto recomecar = [&] {
    Prender(p, grad, n, livre);
    for (int j = 0; j < n; ++j) {
      g[j] = livre[j] ? -grad[j] : 0.0;
      xi[j] = h[j] = g[j];
    }
    descida = true;
    passos = 1;
  };
  recomecar();
  for (int its = 1; its <= kMaxIteracoes; ++its) {
    iteracoes = its;
    bool cortado = false;
    bool assentou;
    if (!MinimizarNaLinha(p, xi, n, fp, fret, cortado)) {
      if (!descida) {  // nothing lower along a conjugate direction: try downhill
        recomecar();
        continue;
      }
      assentou = true;  // nothing lower even downhill: settled, to rounding
    } else {
      const bool pequeno =
          2.0 * std::fabs(fret - fp) <= ftol * (std::fabs(fret) + std::fabs(fp) + kEps);
      fp = fret;
      GradienteErro(p, grad);
      if (cortado) {
        recomecar();
        continue;
      }
      // On the quadratic error, conjugate steps reach the minimum over the free
      // coefficients in as many steps as there are of them; a step that gains little
      // before then may only have crossed a narrow valley. An error within the test's
      // absolute guard is an exact fit already.
      assentou = pequeno && (passos >= Livres(livre, n) || fp <= ftol * kEps);
    }
    if (assentou) {
      if (!Soltar(p, grad, n, livre)) return true;
      recomecar();
      continue;
    }
    double gg = 0.0, dgg = 0.0;
    for (int j = 0; j < n; ++j) {
      const double gj = livre[j] ? grad[j] : 0.0;
      gg += g[j] * g[j];
      dgg += (gj + g[j]) * gj;  // Polak-Ribiere
    }
    if (gg == 0.0) {
      recomecar();
      continue;
    }
    const double gam = dgg / gg;
    for (int j = 0; j < n; ++j) {
      g[j] = livre[j] ? -grad[j] : 0.0;
      xi[j] = h[j] = g[j] + gam * h[j];
    }
    descida = false;
    ++passos;
  }
  return false;
}

// Moves p along xi to the lowest error the line reaches between 0 and the ceiling: the
// line's own minimum, or the point where the first coefficient meets a bound (`cortado`),
// that coefficient then standing exactly on it. `fp` is the error at p; `fret` becomes the
// error where p ends. A step that does not lower the error is not taken (false).
bool TGradientMethod::MinimizarNaLinha(Vetor& p, Vetor& xi, int n, double fp, double& fret,
                                       bool& cortado) {
  fret = fp;
  cortado = false;
  ncom_ = n;
  pcom_ = p;
  xicom_ = xi;
  // How far the line stays inside the bounds.
  double tmax = std::numeric_limits<double>::infinity();
  int limite = -1;
  double naBorda = 0.0;
  for (int j = 0; j < n; ++j) {
    double t;
    if (xi[j] < 0.0)
      t = p[j] / -xi[j];
    else if (xi[j] > 0.0)
      t = (kMaiorCoeficiente - p[j]) / xi[j];
    else
      continue;
    if (t < tmax) {
      tmax = t;
      limite = j;
      naBorda = xi[j] < 0.0 ? 0.0 : kMaiorCoeficiente;
    }
  }
  // A zero direction, or one that leaves the bounds at once, gives no step; along a zero
  // one the bracketing would compare ties for ever.
  if (limite < 0 || !(tmax > 0.0)) return false;
  double a = 0.0, b = 1.0, c, fa, fb, fc, xmin = 0.0;
  if (!CercarMinimo(a, b, c, fa, fb, fc)) return false;
  MinimoBrent(a, b, c, kTolLinha, xmin);
  if (!std::isfinite(xmin)) return false;
  if (xmin >= tmax) {
    xmin = tmax;
    cortado = true;
  }
  if (!(xmin > 0.0)) return false;
  Vetor q = p;
  for (int j = 0; j < n; ++j)
    q[j] = std::clamp(p[j] + xmin * xi[j], 0.0, kMaiorCoeficiente);  // rounding stays inside
  if (cortado) q[limite] = naBorda;
  const double fq = ErroGradiente(q);
  if (!(fq < fp)) {
    cortado = false;
    return false;
  }
  p = q;
  fret = fq;
  return true;
}

double TGradientMethod::ErroNaLinha(double x) {
  Vetor q{};
  for (int j = 0; j < ncom_; ++j) q[j] = pcom_[j] + x * xicom_[j];
  return ErroGradiente(q);
}

// Brackets a minimum of the line function between a, b and c, with f(b) below f(a) and
// f(c). A tie continues the search, so the loop is bounded: a line that stays flat, or
// whose values stop being finite numbers, is given up (false).
bool TGradientMethod::CercarMinimo(double& a, double& b, double& c, double& fa, double& fb,
                                   double& fc) {
  fa = ErroNaLinha(a);
  fb = ErroNaLinha(b);
  if (fb > fa) {
    std::swap(a, b);
    std::swap(fa, fb);
  }
  c = b + kOuro * (b - a);
  fc = ErroNaLinha(c);
  for (int passo = 0; fb >= fc; ++passo) {
    if (passo == kMaxCercar) return false;
    const double r = (b - a) * (fb - fc);
    const double q = (b - c) * (fb - fa);
    double u =
        b - ((b - c) * q - (b - a) * r) / (2.0 * Sinal(Maior(std::fabs(q - r), kMinimo), q - r));
    const double ulim = b + kLimiteParabola * (c - b);
    double fu;
    if ((b - u) * (u - c) > 0.0) {  // parabolic u between b and c
      fu = ErroNaLinha(u);
      if (fu < fc) {
        a = b;
        b = u;
        fa = fb;
        fb = fu;
        break;
      } else if (fu > fb) {
        c = u;
        fc = fu;
        break;
      }
      u = c + kOuro * (c - b);
      fu = ErroNaLinha(u);
    } else if ((c - u) * (u - ulim) > 0.0) {  // parabolic u between c and its limit
      fu = ErroNaLinha(u);
      if (fu < fc) {
        b = c;
        c = u;
        u = c + kOuro * (c - b);
        fb = fc;
        fc = fu;
        fu = ErroNaLinha(u);
      }
    } else if ((u - ulim) * (ulim - c) >= 0.0) {  // parabolic u limited
      u = ulim;
      fu = ErroNaLinha(u);
    } else {  // parabolic u refused: golden growth
      u = c + kOuro * (c - b);
      fu = ErroNaLinha(u);
    }
    a = b;
    b = c;
    c = u;
    fa = fb;
    fb = fc;
    fc = fu;
  }
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(fa) &&
         std::isfinite(fb) && std::isfinite(fc);
}

double TGradientMethod::MinimoBrent(double ax, double bx, double cx, double tol, double& xmin) {
  double a = ax < cx ? ax : cx;
  double b = ax > cx ? ax : cx;
  double x = bx, w = bx, v = bx;
  double fx = ErroNaLinha(x), fw = fx, fv = fx;
  double d = 0.0, e = 0.0;
  for (int iter = 1; iter <= kMaxBrent; ++iter) {
    const double xm = 0.5 * (a + b);
    const double tol1 = tol * std::fabs(x) + kZeps;
    const double tol2 = 2.0 * tol1;
    if (std::fabs(x - xm) <= (tol2 - 0.5 * (b - a))) {
      xmin = x;
      return fx;
    }
    if (std::fabs(e) > tol1) {  // trial parabolic fit
      double r = (x - w) * (fx - fv);
      double q = (x - v) * (fx - fw);
      double p = (x - v) * q - (x - w) * r;
      q = 2.0 * (q - r);
      if (q > 0.0) p = -p;
      q = std::fabs(q);
      const double etemp = e;
      e = d;
      if (std::fabs(p) >= std::fabs(0.5 * q * etemp) || p <= q * (a - x) || p >= q * (b - x)) {
        e = x >= xm ? a - x : b - x;
        d = kOuroBrent * e;
      } else {
        d = p / q;
        const double u = x + d;
        if (u - a < tol2 || b - u < tol2) d = Sinal(tol1, xm - x);
      }
    } else {  // golden section
      e = x >= xm ? a - x : b - x;
      d = kOuroBrent * e;
    }
    const double u = std::fabs(d) >= tol1 ? x + d : x + Sinal(tol1, d);
    const double fu = ErroNaLinha(u);
    if (fu <= fx) {
      if (u >= x)
        a = x;
      else
        b = x;
      v = w;
      w = x;
      x = u;
      fv = fw;
      fw = fx;
      fx = fu;
    } else {
      if (u < x)
        a = u;
      else
        b = u;
      if (fu <= fw || w == x) {
        v = w;
        w = u;
        fv = fw;
        fw = fu;
      } else if (fu <= fv || v == x || v == w) {
        v = u;
        fv = fu;
      }
    }
  }
  xmin = x;  // the best point found
  return fx;
}

}  // namespace vandrel
