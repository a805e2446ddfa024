#include "app/analysis/model/FitCommon.h"

#include <algorithm>

namespace vandrel {

PhaseColumns TakeColumns(PhaseHistograms phases, int count) {
  PhaseColumns c;
  c.count = std::clamp(count, 0, kFitPhases);
  for (int j = 0; j < c.count; ++j) {
    if (size_t(j) < phases.size()) c.p[j] = phases[j];
    c.zero[j] = std::all_of(c.p[j].begin(), c.p[j].end(), [](double v) { return v == 0.0; });
  }
  return c;
}

int CoefficientCount(const RegistroLimiares& limiares) {
  return std::clamp(int(limiares.n), 0, kMaxNiveis) + 1;
}

bool ThresholdsFitPattern(const RegistroLimiares& limiares, int phases) {
  return limiares.n <= kMaxNiveis && int(limiares.n) + 1 == phases;
}

std::string ThresholdMismatchMessage(int phases) {
  const int niveis = std::max(phases - 1, 0);
  return "Os valores iniciais devem ter " + std::to_string(niveis) +
         (niveis == 1 ? " nível" : " níveis") + "\rpara um padrão de " + std::to_string(phases) +
         (phases == 1 ? " fase" : " fases");
}

FitResult StartFractions(const GreyHistogram& h, const RegistroLimiares& limiares) {
  const int n = CoefficientCount(limiares) - 1;
  const Limiares& lim = limiares.lim;
  auto sum = [&](int from, int to) {  // h over from..to, 0 when empty
    double s = 0.0;
    for (int g = from; g <= to; ++g) s += h[g];
    return s;
  };
  FitResult a{};
  for (int k = 1; k <= n; ++k) a[k - 1] = sum(lim[k - 1], int(lim[k]) - 1);
  a[n] = sum(lim[n], 255);
  return a;
}

}  // namespace vandrel
