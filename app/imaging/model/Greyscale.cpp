// Equal-weight greyscale: the rounded mean of blue, green and red.
#include "app/imaging/model/Greyscale.h"

#include "platform/Errors.h"

namespace vandrel {

Bitmap ConverterParaCinza(const Bitmap& source, const Palette& palette) {
  if (source.format() != PixelFormat::pf24bit)
    throw Exception("Greyscale conversion needs a 24-bit image");
  Bitmap grey(source.width(), source.height(), PixelFormat::pf8bit);
  grey.setPalette(palette);
  const int w = source.width();
  for (int y = 0; y < source.height(); ++y) {
    const uint8_t* src = source.scanLine(y);
    uint8_t* dst = grey.scanLine(y);
    for (int x = 0; x < w; ++x) dst[x] = NivelCinza(src[3 * x], src[3 * x + 1], src[3 * x + 2]);
  }
  return grey;
}

}  // namespace vandrel
