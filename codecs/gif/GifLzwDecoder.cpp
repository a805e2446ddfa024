#include "codecs/gif/GifLzwDecoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace vandrel {

namespace {

constexpr int kMaxWidth = 12;
constexpr int kMaxCodes = 1 << kMaxWidth;  // 4096
// Longest string a code can stand for, and room for the 16-byte block copies.
constexpr size_t kSlack = kMaxCodes + 32;

// Reads codes least significant bit first from the gathered bytes.
class CodeReader {
 public:
  explicit CodeReader(std::span<const uint8_t> data)
      : data_(data.data()), size_(data.size()), totalBits_(uint64_t(data.size()) * 8) {}

  // The next `width` bits, or `end` when fewer remain.
  unsigned Next(int width, unsigned mask, unsigned end) {
    if (bit_ + uint64_t(width) > totalBits_) return end;
    const size_t at = size_t(bit_ >> 3);
    uint32_t word;
    if (at + 4 <= size_) {
      std::memcpy(&word, data_ + at, 4);  // little-endian host assumed below
      word = FromLittleEndian(word);
    } else {
      word = 0;
      for (size_t i = 0; at + i < size_; ++i) word |= uint32_t(data_[at + i]) << (8 * i);
    }
    const unsigned code = (word >> (bit_ & 7)) & mask;
    bit_ += uint64_t(width);
    return code;
  }

 private:
  static uint32_t FromLittleEndian(uint32_t v) {
    if constexpr (std::endian::native == std::endian::big) return __builtin_bswap32(v);
    return v;
  }

  const uint8_t* data_;
  size_t size_;
  uint64_t totalBits_;
  uint64_t bit_ = 0;
};

// Copies `count` bytes from an earlier place of the output to `to`, in 16-byte blocks that
// may run past the end of the string (into output not yet written). The source ends at or
// before `to`, so every block reads bytes that no earlier block of this copy wrote.
inline void CopyString(uint8_t* to, const uint8_t* from, size_t count) {
  for (size_t i = 0; i < count; i += 16) {
    uint8_t block[16];
    std::memcpy(block, from + i, 16);
    std::memcpy(to + i, block, 16);
  }
}

}  // namespace

TGIFLZWDecoder::TGIFLZWDecoder(Bitmap& bitmap)
    : bitmap_(bitmap), width_(bitmap.width()), height_(bitmap.height()) {}

uint64_t TGIFLZWDecoder::MaxPixels(uint64_t dataSize, int codeSize) {
  if (codeSize < 1 || codeSize > kMaxCodeSize) return 0;
  const uint64_t codes = dataSize * 8 / uint64_t(codeSize + 1);
  const uint64_t full = kMaxCodes;
  if (codes <= full) return codes * (codes + 1) / 2;
  return full * (full + 1) / 2 + (codes - full) * full;
}

void TGIFLZWDecoder::Decode(std::span<const uint8_t> data, int codeSize) {
  if (width_ <= 0 || height_ <= 0 || codeSize < 1 || codeSize > kMaxCodeSize) return;
  const size_t pixels = size_t(width_) * size_t(height_);

  // The pixels in the order of the data. Every string is copied from where it was put out
  // before, so a code costs one block copy instead of a walk along its prefix chain.
  std::vector<uint8_t> out(pixels + kSlack);
  uint8_t* const o = out.data();
  std::array<uint32_t, kMaxCodes> offset;  // where the string of a code was put out
  std::array<uint16_t, kMaxCodes> length;  // its length

  const unsigned clear = 1u << codeSize;
  const unsigned end = clear + 1;
  const unsigned firstFree = clear + 2;
  const int initialWidth = std::min(codeSize + 1, kMaxWidth);

  CodeReader reader(data);
  int width = initialWidth;
  unsigned mask = (1u << width) - 1;
  unsigned limit = 1u << width;
  unsigned next = firstFree;
  bool hasPrevious = false;
  size_t previousAt = 0, previousLength = 0;
  size_t at = 0;

  while (at < pixels) {
    const unsigned code = reader.Next(width, mask, end);
    if (code == end) break;
    if (code == clear) {
      width = initialWidth;
      mask = (1u << width) - 1;
      limit = 1u << width;
      next = firstFree;
      hasPrevious = false;
      continue;
    }
    if (!hasPrevious) {
      // First code after a clear (or at the start): one pixel of its low 8 bits. A code
      // that is not a plain pixel value has no string to build on, so the next code starts
      // over the same way.
      o[at] = uint8_t(code);
      if (code < clear) {
        previousAt = at;
        previousLength = 1;
        hasPrevious = true;
      }
      ++at;
      // Only with code size 1 is the first free code already 2^width; widening here reads
      // such streams as giflib does and changes nothing for larger code sizes.
      if (next >= limit && width < kMaxWidth) {
        ++width;
        mask = (1u << width) - 1;
        limit <<= 1;
      }
      continue;
    }
    size_t n;
    if (code < clear) {
      o[at] = uint8_t(code);
      n = 1;
    } else if (code < next) {
      n = length[code];
      CopyString(o + at, o + offset[code], n);
    } else {
      // The code being defined (or one beyond it): the previous string and its first byte.
      CopyString(o + at, o + previousAt, previousLength);
      o[at + previousLength] = o[previousAt];
      n = previousLength + 1;
    }
    // The new entry is the previous string followed by the first byte of this one, which
    // sit side by side in the output. A full table takes no more entries (the data may go
    // on at 12 bits without a clear).
    if (next < unsigned(kMaxCodes)) {
      offset[next] = uint32_t(previousAt);
      length[next] = uint16_t(previousLength + 1);
      ++next;
      if (next >= limit && width < kMaxWidth) {
        ++width;
        mask = (1u << width) - 1;
        limit <<= 1;
      }
    }
    previousAt = at;
    previousLength = n;
    at += n;
  }

  // Hand the finished rows, and the filled part of the last one, to their bitmap rows.
  const size_t done = std::min(at, pixels);
  const int rows = int(done / size_t(width_));
  for (int line = 0; line < rows; ++line)
    std::memcpy(bitmap_.scanLine(RowOfLine(line)), o + size_t(line) * size_t(width_),
                size_t(width_));
  if (const size_t rest = done % size_t(width_); rest > 0)
    std::memcpy(bitmap_.scanLine(RowOfLine(rows)), o + size_t(rows) * size_t(width_), rest);
}

TGIFLZWDecoder_Interleaved::TGIFLZWDecoder_Interleaved(Bitmap& bitmap) : TGIFLZWDecoder(bitmap) {
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};
  rows_.reserve(size_t(std::max(height_, 0)));
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height_; y += kStep[pass]) rows_.push_back(y);
}

}  // namespace vandrel
