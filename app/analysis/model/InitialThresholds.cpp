// Initial thresholds halfway between the mean grey levels of the phase histograms: each
// phase histogram sums to 1, so sum(g * h[g]) is its mean grey level, and neighbouring
// phases meet in the middle between their means.
#include "app/analysis/model/InitialThresholds.h"

#include <algorithm>
#include <utility>

#include "platform/Numbers.h"
#include "platform/TextFile.h"

namespace vandrel {

int32_t ReadPhaseCount(const std::string& pacPath) {
  TextReader pac(pacPath);
  const int32_t n = pac.ReadInteger();
  pac.Close();
  return n;
}

uint8_t UsablePhases(int32_t count) { return uint8_t(std::clamp<int32_t>(count, 0, kMaxFases)); }

std::array<double, kMaxFases> PhaseMeans(const std::string& patPath, int32_t phases) {
  std::array<double, kMaxFases> m{};
  TextReader pat(patPath);
  for (int g = 0; g < 256 && phases > 0; ++g)
    for (int32_t j = 0; j < phases; ++j) {
      if (pat.Eof()) return m;
      const double v = pat.ReadReal();
      if (j < kMaxFases) m[size_t(j)] += g * v;
    }
  return m;
}

void OrdenarMedias(std::array<double, kMaxFases>& m, int n) {
  n = std::clamp(n, 0, kMaxFases);
  for (int i = 0; i < n - 1; ++i)
    for (int j = i + 1; j < n; ++j)
      if (m[size_t(i)] >= m[size_t(j)]) std::swap(m[size_t(i)], m[size_t(j)]);
}

namespace {

// The middle of two means as a grey level; whatever a damaged pattern gives (a mean out of
// range, not a number) stays within the byte.
uint8_t Middle(double a, double b) {
  const double h = (a + b) / 2;
  if (!(h >= 0)) return 0;
  if (h >= 255) return 255;
  return uint8_t(Round(h));
}

}  // namespace

RegistroLimiares ThresholdsFromMeans(std::array<double, kMaxFases> m, int phases) {
  phases = std::clamp(phases, 0, kMaxFases);
  OrdenarMedias(m, phases);
  RegistroLimiares r;
  const int n = std::max(phases - 1, 0);
  r.n = uint8_t(n);
  r.lim = LimiaresIniciais();
  for (int k = 1; k <= n; ++k) r.lim[size_t(k)] = Middle(m[size_t(k - 1)], m[size_t(k)]);
  return r;
}

RegistroLimiares AutomaticThresholds(const std::string& patPath, int32_t phases) {
  return ThresholdsFromMeans(PhaseMeans(patPath, phases),
                             std::clamp<int32_t>(phases, 0, kMaxFases));
}

std::array<std::string, 17> ThresholdCells(const RegistroLimiares& r) {
  std::array<std::string, 17> cells{};
  const int n = std::min<int>(r.n, kMaxNiveis);
  for (int c = 0; c <= n; ++c) cells[size_t(c)] = std::to_string(r.lim[size_t(c)]);
  cells[size_t(n + 1)] = "255";
  return cells;
}

}  // namespace vandrel
