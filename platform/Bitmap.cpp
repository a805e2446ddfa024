#include "platform/Bitmap.h"

#include <atomic>
#include <string>

#include "platform/Errors.h"

namespace vandrel {

Palette GreyRamp() {
  Palette p(256);
  for (int i = 0; i < 256; ++i) p[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
  return p;
}

namespace {
std::atomic<uint64_t> budget{uint64_t(2) << 30};
}  // namespace

uint64_t DecodedImageBudget() { return budget.load(std::memory_order_relaxed); }
void SetDecodedImageBudget(uint64_t bytes) { budget.store(bytes, std::memory_order_relaxed); }

size_t Bitmap::strideFor(int width, PixelFormat format) {
  const size_t bits = size_t(width) * size_t(static_cast<int>(format));
  return ((bits + 31) / 32) * 4;
}

Bitmap::Bitmap(int width, int height, PixelFormat format) : format_(format) {
  setSize(width, height);
}

void Bitmap::setSize(int width, int height) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide ||
      int64_t(width) * height > kMaxPixels)
    throw Exception("Invalid bitmap size " + std::to_string(width) + " x " +
                    std::to_string(height));
  width_ = width;
  height_ = height;
  stride_ = strideFor(width, format_);
  pixels_ = ZeroedBytes(stride_ * size_t(height));  // a fresh block: all zero
}

void Bitmap::setPalette(Palette palette) {
  if (palette.size() > 256) palette.resize(256);
  palette_ = std::move(palette);
}

PaletteEntry Bitmap::pixelColor(int x, int y) const {
  const uint8_t* row = scanLine(y);
  auto fromPalette = [&](unsigned index) {
    return index < palette_.size() ? palette_[index] : PaletteEntry{};
  };
  switch (format_) {
    case PixelFormat::pf1bit:
      return fromPalette((row[x >> 3] >> (7 - (x & 7))) & 1);
    case PixelFormat::pf4bit:
      return fromPalette((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
    case PixelFormat::pf8bit:
      return fromPalette(row[x]);
    case PixelFormat::pf24bit:
      return {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
    case PixelFormat::pf32bit:
      return {row[4 * x + 2], row[4 * x + 1], row[4 * x]};
  }
  return {};
}

}  // namespace vandrel
