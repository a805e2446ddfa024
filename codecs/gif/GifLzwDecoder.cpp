#include "codecs/gif/GifLzwDecoder.h"

#include <cstring>

#include "codecs/common/LzwDecoder.h"

namespace vandrel {

TGIFLZWDecoder::TGIFLZWDecoder(Bitmap& bitmap)
    : bitmap_(bitmap), width_(bitmap.width()), height_(bitmap.height()) {}

uint64_t TGIFLZWDecoder::MaxPixels(uint64_t dataSize, int codeSize) {
  if (codeSize < 1 || codeSize > kMaxCodeSize) return 0;
  const uint64_t codes = dataSize * 8 / uint64_t(codeSize + 1);
  const uint64_t full = LzwDecoder<LzwLsbCodes>::kMaxCodes;
  if (codes <= full) return codes * (codes + 1) / 2;
  return full * (full + 1) / 2 + (codes - full) * full;
}

void TGIFLZWDecoder::Decode(std::span<const uint8_t> data, int codeSize) {
  if (width_ <= 0 || height_ <= 0 || codeSize < 1 || codeSize > kMaxCodeSize) return;
  // The pixels come in lines of the image's width, each copied to the row it belongs to;
  // pixels after the last row are not decoded.
  LzwDecoder<LzwLsbCodes> lzw{size_t(width_), uint64_t(width_) * uint64_t(height_)};
  int line = 0;
  lzw.Decode(
      data, codeSize,
      [&](const uint8_t* pixels) {
        std::memcpy(bitmap_.scanLine(RowOfLine(line)), pixels, size_t(width_));
        return ++line < height_;
      },
      [&](const uint8_t* pixels, size_t count) {
        std::memcpy(bitmap_.scanLine(RowOfLine(line)), pixels, count);
      });
}

TGIFLZWDecoder_Interleaved::TGIFLZWDecoder_Interleaved(Bitmap& bitmap) : TGIFLZWDecoder(bitmap) {
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};
  rows_.reserve(size_t(std::max(height_, 0)));
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height_; y += kStep[pass]) rows_.push_back(y);
}

}  // namespace vandrel
