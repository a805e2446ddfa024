// Channel extraction: byte 2 - channel of each blue, green, red pixel.
#include "app/imaging/model/ChannelSplit.h"

#include "app/imaging/model/PaletteSource.h"

namespace vandrel {

namespace {
bool Extraivel(const Bitmap& bitmap, uint8_t canal) {
  return bitmap.format() == PixelFormat::pf24bit && canal <= 2;
}
}  // namespace

std::unique_ptr<Bitmap> ExtrairCanal(const Bitmap& bitmap, uint8_t canal) {
  if (!Extraivel(bitmap, canal)) return nullptr;
  return ExtrairCanal(bitmap, canal, PaletaCanais());
}

std::unique_ptr<Bitmap> ExtrairCanal(const Bitmap& bitmap, uint8_t canal, const Palette& palette) {
  if (!Extraivel(bitmap, canal)) return nullptr;
  auto out = std::make_unique<Bitmap>(bitmap.width(), bitmap.height(), PixelFormat::pf8bit);
  out->setPalette(palette);
  const int w = bitmap.width();
  const int offset = 2 - canal;
  for (int y = 0; y < bitmap.height(); ++y) {
    const uint8_t* src = bitmap.scanLine(y) + offset;
    uint8_t* dst = out->scanLine(y);
    for (int x = 0; x < w; ++x) dst[x] = src[3 * x];
  }
  return out;
}

}  // namespace vandrel
