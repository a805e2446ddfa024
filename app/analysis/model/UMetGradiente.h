#pragma once
// Conjugate-gradient fit.
//
// Method: Polak-Ribiere conjugate gradients with line minimisations, in the form of
// Numerical Recipes' frprmn, linmin, mnbrak and brent, minimising the unweighted squared
// error
//   E(p) = sum_g (h(g) - sum_j p_j P_j(g))^2
// from the pixel fractions between the grey-level thresholds, over the coefficients between
// 0 and kMaiorCoeficiente. The line searches never leave those bounds: a step stops where
// the first coefficient meets one, which then stays there while the error rises beyond it,
// and the conjugate directions start again without it. No step raises the error.
#include <array>

#include "app/analysis/model/FitCommon.h"
#include "app/thresholds/model/ThresholdRecord.h"

namespace vandrel {

class TGradientMethod {
 public:
  // Iterations of the driver; a fit that has not met its stopping test by then does not
  // report convergence.
  static constexpr int kMaxIteracoes = 200;
  // Passes of the bracketing before a line is given up as flat. Each pass widens the
  // bracket at least 1.618 times, so by then it spans some 1e209 times the first step; an
  // error that has not risen over that span does not change along the line at all.
  static constexpr int kMaxCercar = 1000;

  // Fits h by the first n + 1 phase histograms (n = the thresholds' level count), starting
  // from StartFractions; puts the coefficients into a[0..n], the rest 0. `convergiu` is
  // false when the driver ran its 200 iterations without meeting its stopping test, when a
  // coefficient ends at the ceiling (its column ran away), or when the error at the start
  // is not a finite number; the coefficients are then those where the search stopped,
  // whose error is never above the start point's.
  //
  // A zero search direction (the gradient is 0, as for an empty histogram or a start point
  // that fits exactly) and a line along which the error does not change give no move: the
  // fit then ends as converged. Phases that `padrao` lacks count as columns of zeros; such
  // a coefficient has no gradient and keeps its start value.
  void Executar(GreyHistogram h, PhaseHistograms padrao, RegistroLimiares limiares, bool& convergiu,
                FitResult& a);

  // Driver iterations of the last fit.
  int Iteracoes() const { return iteracoes_; }

 private:
  using Vetor = std::array<double, kFitPhases>;
  using Mascara = std::array<bool, kFitPhases>;

  void Inicializar(PhaseHistograms padrao);
  bool Minimizar(PhaseHistograms padrao);
  void ModeloGradiente(const Vetor& p, GreyHistogram& F) const;
  double ErroGradiente(const Vetor& p) const;
  void GradienteErro(const Vetor& p, Vetor& xi) const;
  void Prender(const Vetor& p, const Vetor& grad, int n, Mascara& livre) const;
  bool Soltar(const Vetor& p, const Vetor& grad, int n, Mascara& livre) const;
  static int Livres(const Mascara& livre, int n);
  bool GradienteConjugado(Vetor& p, int n, int& iteracoes, double ftol, double& fret);
  bool MinimizarNaLinha(Vetor& p, Vetor& xi, int n, double fp, double& fret, bool& cortado);
  bool CercarMinimo(double& a, double& b, double& c, double& fa, double& fb, double& fc);
  double MinimoBrent(double a, double b, double c, double tol, double& xmin);
  double ErroNaLinha(double x);

  RegistroLimiares Limiares;
  GreyHistogram H_{};
  PhaseColumns P_;
  int nc_ = 0;
  Vetor p_{}, p0_{};
  // The line being minimised.
  Vetor pcom_{}, xicom_{};
  int ncom_ = 0;
  int iteracoes_ = 0;
};

}  // namespace vandrel
