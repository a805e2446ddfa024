#pragma once
// Greyscale conversion of a 24-bit image: the three colour bytes weighted equally.
#include "platform/Bitmap.h"

namespace vandrel {

// The grey level of a pixel: Round((b0 + b1 + b2) / 3). A third of an integer is never
// exactly halfway, so this is (sum + 1) div 3: sums 0..1 give 0, 2..4 give 1, 764..765 255.
inline uint8_t NivelCinza(unsigned b0, unsigned b1, unsigned b2) {
  return uint8_t((b0 + b1 + b2 + 1) / 3);
}

// A new 8-bit bitmap of the source's size with `palette`, each pixel the grey level of the
// source pixel. Throws Exception for a source that is not 24-bit.
Bitmap ConverterParaCinza(const Bitmap& source, const Palette& palette);

}  // namespace vandrel
