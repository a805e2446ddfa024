#pragma once
// Weighted linear least squares by singular value decomposition.
//
// Method: the Golub-Reinsch SVD (Householder bidiagonalisation, then implicit-shift QR) and
// the general least-squares fit by SVD, in the form of Numerical Recipes' svdcmp, svbksb and
// svdfit, with the design matrix taken from the phase histograms instead of from basis
// functions. Each grey level g is weighted by 1 / sigma(g), sigma being the pattern's
// ".err" value of that level.
#include <array>
#include <functional>
#include <string>

#include "app/analysis/model/FitCommon.h"

namespace vandrel {

// Rows are grey levels (at most 256), columns phases (at most 16).
using MatrizSVD = std::array<std::array<double, kFitPhases>, 256>;
using MatrizV = std::array<std::array<double, kFitPhases>, kFitPhases>;
using VetorSVD = std::array<double, kFitPhases>;

// The message of a singular value that has not converged after 30 QR iterations.
inline constexpr const char* kSemConvergenciaSVD = "no convergence in 30 SVDCMP iterations";

// Replaces u (m x n, n <= m <= 256, 0 <= n <= 16) by U of u = U diag(w) V^T and fills w (n)
// and v (n x n); the singular values are left unsorted. Each singular value has at most 30
// QR iterations; one that has not converged by the 30th is taken as it stands and counted.
// Returns that count. Sizes out of range raise std::invalid_argument.
int DecomporSVD(MatrizSVD& u, int m, int n, VetorSVD& w, MatrizV& v);

// x = V diag(1/w) U^T b, with 1/w taken as 0 where w is 0.
void ResolverSVD(const MatrizSVD& u, const VetorSVD& w, const MatrizV& v, int m, int n,
                 const std::array<double, 256>& b, VetorSVD& x);

class TMetodo {
 public:
  // Told kSemConvergenciaSVD once per singular value that did not converge; the fit goes on
  // with the values as they stand.
  std::function<void(const std::string&)> Aviso;

  // Fits h by the phase histograms `fases` (N of them) with the standard deviation
  // `desvios[g]` of every grey level, puts a_1..a_N into a[0..N-1] (the rest 0) and returns
  // the chi-square sum_g ((h(g) - fit(g)) / sigma(g))^2.
  //
  // Singular values below 1e-5 of the largest are taken as 0, so a zero column or a column
  // that repeats others gets the least-norm share (0, or an equal split). A grey level whose
  // sigma is 0 would weigh infinitely: it is left out of the fit and of the chi-square, as
  // is a level whose weight 1 / sigma is not a finite number. More than 16 phases raise an
  // Exception.
  double Ajustar(GreyHistogram h, PhaseHistograms fases, const GreyHistogram& desvios,
                 FitResult& a);
};

}  // namespace vandrel
