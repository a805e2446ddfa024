// Brightness by a saturating add: s = p + offset, clipped to 0..255.
#include "app/imaging/model/Brightness.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vandrel {

int BrilhoOffset(int percentual) { return percentual * 255 / 100; }

void AplicarBrilho(Bitmap& image, int percentual) {
  if (image.bitsPerPixel() < 8) return;
  const int offset = BrilhoOffset(percentual);
  std::array<uint8_t, 256> lut;
  for (int p = 0; p < 256; ++p) lut[size_t(p)] = uint8_t(std::clamp(p + offset, 0, 255));
  const size_t bytes = size_t(image.width()) * size_t(image.bitsPerPixel() / 8);
  for (int y = 0; y < image.height(); ++y) {
    uint8_t* row = image.scanLine(y);
    for (size_t x = 0; x < bytes; ++x) row[x] = lut[row[x]];
  }
}

}  // namespace vandrel
