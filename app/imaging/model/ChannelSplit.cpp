// Channel extraction: byte 2 - channel of each blue, green, red pixel.
#include "app/imaging/model/ChannelSplit.h"

#include "app/imaging/model/PaletteSource.h"
#include "app/imaging/model/PixelRows.h"

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
  const auto row = pixels::Kernels().channel;
  const size_t w = size_t(bitmap.width());
  const size_t byte = size_t(2 - canal);
  for (int y = 0; y < bitmap.height(); ++y) row(bitmap.scanLine(y), byte, out->scanLine(y), w);
  return out;
}

}  // namespace vandrel
