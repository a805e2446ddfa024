// Equal-weight greyscale: the rounded mean of blue, green and red.
#include "app/imaging/model/Greyscale.h"

#include "app/imaging/model/PixelRows.h"
#include "platform/Errors.h"

namespace vandrel {

Bitmap ConverterParaCinza(const Bitmap& source, const Palette& palette) {
  if (source.format() != PixelFormat::pf24bit)
    throw Exception("Greyscale conversion needs a 24-bit image");
  Bitmap grey(source.width(), source.height(), PixelFormat::pf8bit);
  grey.setPalette(palette);
  const auto row = pixels::Kernels().grey;
  const size_t w = size_t(source.width());
  for (int y = 0; y < source.height(); ++y) row(source.scanLine(y), grey.scanLine(y), w);
  return grey;
}

}  // namespace vandrel
