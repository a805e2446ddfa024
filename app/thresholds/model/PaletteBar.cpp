#include "app/thresholds/model/PaletteBar.h"

#include <algorithm>

#include "platform/Numbers.h"

namespace vandrel {

std::vector<FaixaDaPaleta> FaixasDaPaleta(int largura, bool proporcional, int n,
                                          const Limiares& lim, const PaletaFases& paleta) {
  n = std::clamp(n, 0, kMaxNiveis);
  std::vector<FaixaDaPaleta> faixas;
  faixas.reserve(size_t(n) + 1);
  if (proporcional) {
    const double escala = largura / 256.0;
    faixas.push_back({paleta[size_t(n)], int(Round(255 * escala))});
    for (int i = n; i >= 1; --i)
      faixas.push_back({paleta[size_t(i - 1)], int(Round(lim[size_t(i)] * escala))});
  } else {
    const double w = double(largura) / (n + 1);
    for (int k = n + 1; k >= 1; --k) faixas.push_back({paleta[size_t(k - 1)], int(Round(k * w))});
  }
  return faixas;
}

}  // namespace vandrel
