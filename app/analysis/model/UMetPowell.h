#pragma once
// Fixed-step coordinate descent.
//
// Method: coordinate search with a fixed step, as in the exploratory moves of Hooke and
// Jeeves' direct search (1961): each sweep tries every coefficient one step up and, failing
// that, one step down, against the error at the start of the sweep, and keeps the trials
// that do not raise it. It minimises the unweighted squared error
//   E(a) = sum_g (h(g) - sum_j a_j P_j(g))^2
// from the pixel fractions between the grey-level thresholds.
#include <array>

#include "app/analysis/model/FitCommon.h"
#include "app/thresholds/model/ThresholdRecord.h"

namespace vandrel {

class TPowellMethod {
 public:
  // The step of every trial (the double closest to 0.001).
  static constexpr double kPasso = 0.001;
  // The search stops when a sweep moves nothing. It can also fall into a cycle (strongly
  // overlapping phases make some coefficients step up and back down in turn): a sweep is
  // fully decided by the state it starts from, so once that state repeats the search would
  // never end. The states of the last kJanelaCiclo sweeps are kept; a repeat ends the search
  // at the point of the cycle with the smallest error.
  static constexpr int kJanelaCiclo = 64;
  // Sweeps after which the search stops, for what the window does not catch (a longer
  // cycle). A coefficient travels at most two steps a sweep, so this leaves room for a
  // travel of 20 where a fit from the threshold fractions needs about 1; a column too small
  // to change the model, whose coefficient climbs without changing the error, meets the
  // ceiling long before.
  static constexpr int kMaxVarreduras = 10000;

  // Fits h by the first n + 1 phase histograms (n = the thresholds' level count), starting
  // from StartFractions; puts the n + 1 coefficients into a[0..n], the rest 0. Phases that
  // `padrao` lacks count as columns of zeros. A coefficient whose column is 0 at every grey
  // level does not change the error and so could climb for ever: it keeps its start value.
  // No trial measures a coefficient above kMaiorCoeficiente, and the coefficients given are
  // those of the least error among the sweeps' start points when the search ends anywhere
  // worse or outside 0 .. kMaiorCoeficiente: never a larger error than the start point's.
  void Executar(GreyHistogram h, PhaseHistograms padrao, RegistroLimiares limiares, FitResult& a);

  // Sweeps of the last fit, the one that moved nothing included.
  int Varreduras() const { return varreduras_; }
  // Whether the last fit ended on a cycle.
  bool TerminouEmCiclo() const { return ciclo_; }
  // Whether the last fit settled: false when a coefficient ran into the ceiling
  // (kMaiorCoeficiente) or the sweep bound ended the search.
  bool Convergiu() const { return !fugiu_ && !limite_; }

 private:
  void Inicializar(PhaseHistograms padrao);
  void Minimizar(PhaseHistograms padrao);
  void Modelo(const FitResult& A, GreyHistogram& F) const;
  void SomarColunas(const FitResult& A, int from, GreyHistogram& F) const;
  double Erro(const GreyHistogram& F) const;
  void TentarPasso(int j);
  bool FecharCiclo();
  bool DentroDosLimites(const FitResult& A) const;

  // What decides a sweep: the coefficients, their flags and the kept error changes.
  struct Estado {
    FitResult A{}, Delta{};
    std::array<bool, kFitPhases> Ativo{};
    double E = 0.0;  // the error of A
    bool operator==(const Estado& o) const {
      return A == o.A && Delta == o.Delta && Ativo == o.Ativo;
    }
  };

  RegistroLimiares Limiares;
  GreyHistogram H_{};
  PhaseColumns P_;
  int nc_ = 0;
  FitResult A_{}, S_{}, Delta_{};
  std::array<bool, kFitPhases> Ativo_{};
  double E_ = 0.0;
  GreyHistogram F_{};
  GreyHistogram prefixo_{};  // the terms of the coefficients already tried in this sweep
  std::array<GreyHistogram, kFitPhases + 1>
      sufixo_{};  // [j]: the terms of j .. NC at the sweep's start
  int varreduras_ = 0;
  bool ciclo_ = false;
  bool fugiu_ = false;                           // a trial met the ceiling
  bool limite_ = false;                          // the sweep bound ended the search
  std::array<Estado, kJanelaCiclo> recentes_{};  // ring of the last sweeps' start states
};

}  // namespace vandrel
