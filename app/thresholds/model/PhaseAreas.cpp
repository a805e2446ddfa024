// Phase area fractions from grey-level counts, over the thresholds' half-open ranges.
#include "app/thresholds/model/PhaseAreas.h"

#include <algorithm>

#include "platform/Format.h"

namespace vandrel {

namespace {

int64_t Soma(const GreyCounts& c, int de, int ate) {  // levels de .. ate-1
  int64_t s = 0;
  for (int g = std::max(de, 0); g < std::min(ate, 256); ++g) s += c[size_t(g)];
  return s;
}

}  // namespace

std::vector<LinhaDeArea> CalcularAreas(const GreyCounts& contagens, int64_t total, int n,
                                       const Limiares& lim) {
  n = std::clamp(n, 0, kMaxNiveis);
  std::vector<LinhaDeArea> linhas;
  linhas.reserve(size_t(n) + 1);
  for (int i = 1; i <= n + 1; ++i) {
    LinhaDeArea l;
    l.de = lim[size_t(i - 1)];
    l.ate = i <= n ? lim[size_t(i)] : 255;
    l.pixels = Soma(contagens, l.de, i <= n ? l.ate : 256);
    // Trunc(s / total x 10000): exact in 64 bits (at most 2^31 pixels times 10^4).
    l.centesimos = total > 0 ? l.pixels * 10000 / total : 0;
    linhas.push_back(l);
  }
  return linhas;
}

std::string TextoDaArea(int64_t centesimos) { return FormatGeneral(double(centesimos) / 100.0); }

}  // namespace vandrel
