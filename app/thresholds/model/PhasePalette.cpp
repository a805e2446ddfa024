#include "app/thresholds/model/PhasePalette.h"

namespace vandrel {

PaletaFases PaletaPadrao() {
  // Colour values with red in the low byte.
  static constexpr int32_t kCores[16] = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FFFF, 0xFF0000, 0x00FF00,
                                         0x800000, 0x008000, 0xFFFF00, 0xF0CAA6, 0x808000, 0x000080,
                                         0xC0C0C0, 0x800080, 0xFF00FF, 0x008080};
  PaletaFases p{};
  for (size_t k = 0; k < p.size(); ++k) p[k] = InteiroParaRGB(kCores[k]);
  return p;
}

}  // namespace vandrel
