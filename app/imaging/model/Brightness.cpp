// Brightness by a saturating add: s = p + offset, clipped to 0..255.
#include "app/imaging/model/Brightness.h"

#include <cstring>

#include "app/imaging/model/PixelRows.h"

namespace vandrel {

int BrilhoOffset(int percentual) { return percentual * 255 / 100; }

namespace {
// The pixel bytes of one row, without its padding; none for 1- and 4-bit bitmaps.
size_t PixelBytes(const Bitmap& image) {
  if (image.bitsPerPixel() < 8) return 0;
  return size_t(image.width()) * size_t(image.bitsPerPixel() / 8);
}
}  // namespace

void AplicarBrilho(Bitmap& image, int percentual) {
  const size_t bytes = PixelBytes(image);
  if (bytes == 0) return;
  const int offset = BrilhoOffset(percentual);
  const auto add = pixels::Kernels().add;
  for (int y = 0; y < image.height(); ++y) add(image.scanLine(y), image.scanLine(y), bytes, offset);
}

Bitmap ComBrilho(const Bitmap& image, int percentual) {
  const size_t bytes = PixelBytes(image);
  if (bytes == 0) return image;
  Bitmap out(image.width(), image.height(), image.format());
  out.setPalette(image.palette());
  const int offset = BrilhoOffset(percentual);
  const auto add = pixels::Kernels().add;
  const size_t padding = image.stride() - bytes;  // kept as the source has it, like a copy
  for (int y = 0; y < image.height(); ++y) {
    add(image.scanLine(y), out.scanLine(y), bytes, offset);
    std::memcpy(out.scanLine(y) + bytes, image.scanLine(y) + bytes, padding);
  }
  return out;
}

}  // namespace vandrel
