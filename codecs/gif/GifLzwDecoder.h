#pragma once
// LZW decoding of a GIF image's data into the rows of an 8-bit bitmap. The decoder turns
// the codes into the pixel sequence; its two descendants say which bitmap row receives
// each run of `width` pixels: top to bottom, or in the four passes of an interlaced image.
#include <cstdint>
#include <span>
#include <vector>

#include "codecs/common/LzwDecoder.h"
#include "platform/Bitmap.h"

namespace vandrel {

class TGIFLZWDecoder {
 public:
  // Largest code size whose codes fit the 12-bit table (clear code 2^11).
  static constexpr int kMaxCodeSize = LzwDecoder<LzwLsbCodes>::kMaxCodeSize;

  // The bitmap must already have its size and be 8 bits per pixel.
  explicit TGIFLZWDecoder(Bitmap& bitmap);
  virtual ~TGIFLZWDecoder() = default;
  TGIFLZWDecoder(const TGIFLZWDecoder&) = delete;
  TGIFLZWDecoder& operator=(const TGIFLZWDecoder&) = delete;

  // Decodes the gathered data with the minimum code size (1 to kMaxCodeSize) into the
  // bitmap's rows. Rows the data do not reach keep their content; pixels beyond the last
  // row are dropped.
  void Decode(std::span<const uint8_t> data, int codeSize);

  // The most pixels `dataSize` bytes of codes of `codeSize` can give: the i-th code after
  // a clear puts out at most i pixels and no code more than 4096. Lets the caller refuse a
  // header size that the data cannot fill before anything is allocated.
  static uint64_t MaxPixels(uint64_t dataSize, int codeSize);

 protected:
  // The bitmap row that receives the line-th run of `width` decoded pixels.
  virtual int RowOfLine(int line) const = 0;

  Bitmap& bitmap_;
  int width_;
  int height_;
};

// Rows top to bottom.
class TGIFLZWDecoder_NotInterleaved : public TGIFLZWDecoder {
 public:
  using TGIFLZWDecoder::TGIFLZWDecoder;

 protected:
  int RowOfLine(int line) const override { return line; }
};

// Four passes with start rows 0, 4, 2, 1 and steps 8, 8, 4, 2; a pass whose start row is
// beyond the last row is skipped.
class TGIFLZWDecoder_Interleaved : public TGIFLZWDecoder {
 public:
  explicit TGIFLZWDecoder_Interleaved(Bitmap& bitmap);

 protected:
  int RowOfLine(int line) const override { return rows_[size_t(line)]; }

 private:
  std::vector<int> rows_;
};

}  // namespace vandrel
