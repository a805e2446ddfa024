#include "app/analysis/model/UMetPowell.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vandrel {

void TPowellMethod::Executar(GreyHistogram h, PhaseHistograms padrao, RegistroLimiares limiares,
                             FitResult& a) {
  H_ = h;
  Limiares = limiares;
  Minimizar(padrao);
  a.fill(0.0);
  std::copy_n(A_.begin(), nc_, a.begin());
}

void TPowellMethod::Inicializar(PhaseHistograms padrao) {
  nc_ = CoefficientCount(Limiares);
  A_ = StartFractions(H_, Limiares);
  P_ = TakeColumns(padrao, nc_);
  for (int j = 0; j < kFitPhases; ++j) {
    // A zero column never moves: the search leaves it out of its trials and its moves.
    Ativo_[j] = j < nc_ && !P_.zero[j];
    S_[j] = kPasso;
    Delta_[j] = 0.0;
  }
  varreduras_ = 0;
  ciclo_ = false;
  fugiu_ = false;
  limite_ = false;
}

void TPowellMethod::Modelo(const FitResult& A, GreyHistogram& F) const {
  F.fill(0.0);
  SomarColunas(A, 0, F);
}

// Adds the terms of columns `from` .. NC to F, column by column, so that each level still
// sums its terms in phase order.
void TPowellMethod::SomarColunas(const FitResult& A, int from, GreyHistogram& F) const {
  for (int j = from; j < nc_; ++j) {
    const double aj = A[j];
    const double* pj = P_.p[j].data();
    for (int g = 0; g < 256; ++g) F[g] += aj * pj[g];
  }
}

double TPowellMethod::Erro(const GreyHistogram& F) const {
  double e = 0.0;
  for (int g = 0; g < 256; ++g) {
    const double r = H_[g] - F[g];
    e += r * r;
  }
  return e;
}

// A trial measures the error two steps from where A(j) stands and leaves it one step from
// there; a trial that would start below 0 puts A(j) back and stops it moving for this fit.
// A trial that would measure above the ceiling is refused as if it raised the error, and
// tells that the column runs away.
// The model of the trial is the whole model of A: the terms of the coefficients before j,
// which stay where their own trials left them for the rest of the sweep, are summed once
// into prefixo_, those after j, which have not moved yet in this sweep, into sufixo_, and
// the term of j goes between them.
void TPowellMethod::TentarPasso(int j) {
  A_[j] += S_[j];
  if (A_[j] < 0.0) {
    A_[j] -= S_[j];
    Ativo_[j] = false;
    return;  // Delta(j) keeps its previous value
  }
  if (A_[j] + S_[j] > kMaiorCoeficiente) {
    Delta_[j] = std::numeric_limits<double>::infinity();
    fugiu_ = true;
    return;  // left one step from where it stood, as any trial
  }
  A_[j] += S_[j];
  const double aj = A_[j];
  const double* pj = P_.p[j].data();
  const double* depois = sufixo_[j + 1].data();
  double e = 0.0;
  for (int g = 0; g < 256; ++g) {
    const double r = H_[g] - (prefixo_[g] + aj * pj[g] + depois[g]);
    e += r * r;
  }
  A_[j] -= S_[j];
  Delta_[j] = e - E_;
}

void TPowellMethod::Minimizar(PhaseHistograms padrao) {
  Inicializar(padrao);
  // The point of least error among the sweeps' start points that lie within the bounds:
  // what the search gives when it ends anywhere worse (the start point is one of them).
  FitResult melhor = A_;
  double menor = std::numeric_limits<double>::infinity();
  double movido;
  do {
    if (FecharCiclo()) break;
    Modelo(A_, F_);
    E_ = Erro(F_);
    if (E_ < menor && DentroDosLimites(A_)) {
      menor = E_;
      melhor = A_;
    }
    Estado& atual = recentes_[varreduras_ % kJanelaCiclo];
    atual.A = A_;
    atual.Delta = Delta_;
    atual.Ativo = Ativo_;
    atual.E = E_;
    // Every coefficient in order, active or not, against the error at the sweep's start;
    // earlier ones stand at their intermediate positions while later ones are tried.
    prefixo_.fill(0.0);
    // The terms of the coefficients after each one, as they stand until their own trials.
    sufixo_[nc_].fill(0.0);
    for (int j = nc_ - 1; j >= 0; --j) {
      const double aj = A_[j];
      const double* pj = P_.p[j].data();
      for (int g = 0; g < 256; ++g) sufixo_[j][g] = sufixo_[j + 1][g] + aj * pj[g];
    }
    for (int j = 0; j < nc_; ++j) {
      if (!P_.zero[j]) {
        TentarPasso(j);
        if (Delta_[j] > 0.0) {
          S_[j] = -S_[j];
          TentarPasso(j);
          if (Delta_[j] > 0.0) S_[j] = 0.0;
        }
      }
      const double aj = A_[j];
      const double* pj = P_.p[j].data();
      for (int g = 0; g < 256; ++g) prefixo_[g] += aj * pj[g];
    }
    movido = 0.0;
    ++varreduras_;
    for (int j = 0; j < nc_; ++j) {
      if (Ativo_[j]) {
        A_[j] += S_[j];
        movido += std::fabs(S_[j]);
      }
      S_[j] = kPasso;
    }
    limite_ = movido != 0.0 && varreduras_ >= kMaxVarreduras;
  } while (movido != 0.0 && !limite_);
  Modelo(A_, F_);
  const double final = Erro(F_);
  if (!(final <= menor) || !DentroDosLimites(A_)) A_ = melhor;
}

bool TPowellMethod::DentroDosLimites(const FitResult& A) const {
  return std::all_of(A.begin(), A.begin() + nc_,
                     [](double v) { return v >= 0.0 && v <= kMaiorCoeficiente; });
}

// Called before each sweep: when its start state is that of one of the recent sweeps, the
// sweeps since then repeat for ever. Takes the point of least error among them (the first
// one on a tie) and reports true.
bool TPowellMethod::FecharCiclo() {
  const int guardados = std::min(varreduras_, kJanelaCiclo);
  Estado agora;
  agora.A = A_;
  agora.Delta = Delta_;
  agora.Ativo = Ativo_;
  for (int d = 1; d <= guardados; ++d) {
    if (!(recentes_[(varreduras_ - d) % kJanelaCiclo] == agora)) continue;
    const Estado* melhor = nullptr;
    for (int k = d; k >= 1; --k) {
      const Estado& e = recentes_[(varreduras_ - k) % kJanelaCiclo];
      if (!melhor || e.E < melhor->E) melhor = &e;
    }
    A_ = melhor->A;
    ciclo_ = true;
    return true;
  }
  return false;
}

}  // namespace vandrel
