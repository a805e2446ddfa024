#pragma once
// The palette bar of the thresholds window: one band per phase, drawn as rectangles from
// the bar's left edge, widest first, so that each narrower one covers the start of the one
// before. Proportional bands end where the phase's upper threshold lies on the grey axis of
// a bar `largura` pixels wide; otherwise the n + 1 bands are of equal width.
#include <vector>

#include "app/thresholds/model/PhasePalette.h"
#include "app/thresholds/model/ThresholdRecord.h"

namespace vandrel {

struct FaixaDaPaleta {
  TriploCor cor{};
  int direita = 0;  // right edge, exclusive: the rectangle spans x = 0 .. direita - 1
  bool operator==(const FaixaDaPaleta&) const = default;
};

// In drawing order. Proportional: Paleta[n] to round(255 x s), then Paleta[i-1] to
// round(lim[i] x s) for i = n down to 1, with s = largura / 256. Equal: Paleta[k-1] to
// round(k x largura / (n+1)) for k = n+1 down to 1. Rounding halves to even.
std::vector<FaixaDaPaleta> FaixasDaPaleta(int largura, bool proporcional, int n,
                                          const Limiares& lim, const PaletaFases& paleta);

}  // namespace vandrel
