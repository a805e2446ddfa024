#pragma once
// LZW decoding of codes packed least significant bit first, with a variable code width
// that grows once the next free code needs another bit: the codes of GIF image data, and
// of the TIFF strips written before the current bit order (code size 8). The output goes
// to the caller in lines of a fixed length through a window of bounded size, so that
// nothing the size of the picture is held besides the picture itself.
//
// Every string is copied from where it was put out before, so a code costs one block copy
// instead of a walk along its prefix chain; once that stretch of output has left the
// window, the chain is walked.
#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace vandrel {

class LzwLsbDecoder {
 public:
  // Largest code size whose codes fit the 12-bit table (clear code 2^11).
  static constexpr int kMaxCodeSize = 11;
  static constexpr int kMaxWidth = 12;
  static constexpr int kMaxCodes = 1 << kMaxWidth;  // 4096

  // `lineBytes` (at least 1) is the length of the lines handed on; `totalBytes` the most
  // output that can be of use (it bounds the window).
  LzwLsbDecoder(size_t lineBytes, uint64_t totalBytes) : line_(lineBytes) {
    const uint64_t wanted = std::max<uint64_t>(std::min<uint64_t>(totalBytes, 1 << 20), line_);
    capacity_ = size_t(wanted) + line_ + 2 * kMaxString;
    window_.resize(capacity_ + kSlack);
  }

  // Decodes `data` with the minimum code size `codeSize` (1 to kMaxCodeSize). Every
  // complete line goes to `line(const uint8_t*)`, which returns false once no more lines
  // are wanted; what is left of a last incomplete line goes to
  // `partial(const uint8_t*, size_t)`. Decoding ends at the end code, with the data (a
  // code cut short reads as the end code) or when no more lines are wanted.
  template <class Line, class Partial>
  void Decode(std::span<const uint8_t> data, int codeSize, Line&& line, Partial&& partial) {
    if (codeSize < 1 || codeSize > kMaxCodeSize) return;
    uint8_t* const base = window_.data();
    origin_ = 0;
    handed_ = 0;
    uint8_t* out = base;

    const unsigned clear = 1u << codeSize;
    const unsigned end = clear + 1;
    const unsigned firstFree = clear + 2;
    firstFree_ = firstFree;
    const int initialWidth = std::min(codeSize + 1, kMaxWidth);

    CodeReader reader(data);
    int width = initialWidth;
    unsigned mask = (1u << width) - 1;
    unsigned limit = 1u << width;
    unsigned next = firstFree;
    bool hasPrevious = false;
    unsigned previous = 0;  // code of the string put out last
    uint64_t previousAt = 0;
    size_t previousLength = 0;

    for (;;) {
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
      if (out + kMaxString > base + capacity_ && !Flush(out, line)) return;
      const uint64_t at = origin_ + uint64_t(out - base);
      if (!hasPrevious) {
        // First code after a clear (or at the start): one byte of its low 8 bits. A code
        // that is not a plain byte value has no string to build on, so the next code
        // starts over the same way.
        *out++ = uint8_t(code);
        if (code < clear) {
          previous = code;
          previousAt = at;
          previousLength = 1;
          hasPrevious = true;
        }
        // Only with code size 1 is the first free code already 2^width; widening here
        // reads such streams as giflib does and changes nothing for larger code sizes.
        if (next >= limit && width < kMaxWidth) {
          ++width;
          mask = (1u << width) - 1;
          limit <<= 1;
        }
        continue;
      }
      size_t n;
      unsigned current = code;
      uint8_t first;
      if (code < clear) {
        *out = uint8_t(code);
        first = uint8_t(code);
        n = 1;
      } else if (code < next) {
        n = length_[code];
        Repeat(out, code, offset_[code], n);
        first = *out;
      } else {
        // The code being defined (or one beyond it): the previous string and its first
        // byte.
        Repeat(out, previous, previousAt, previousLength);
        first = *out;
        out[previousLength] = first;
        n = previousLength + 1;
        current = next;
      }
      // The new entry is the previous string followed by the first byte of this one, which
      // sit side by side in the output. A full table takes no more entries (the data may
      // go on at 12 bits without a clear).
      if (next < unsigned(kMaxCodes)) {
        offset_[next] = previousAt;
        length_[next] = uint16_t(previousLength + 1);
        prefix_[next] = uint16_t(previous);
        suffix_[next] = first;
        ++next;
        if (next >= limit && width < kMaxWidth) {
          ++width;
          mask = (1u << width) - 1;
          limit <<= 1;
        }
      }
      previous = current;
      previousAt = at;
      previousLength = n;
      out += n;
    }
    if (!Flush(out, line)) return;
    const uint64_t stop = origin_ + uint64_t(out - base);
    if (stop > handed_) partial(base + (handed_ - origin_), size_t(stop - handed_));
  }

 private:
  // A string is at most 4096 bytes long; the block copies may write 16 bytes past it.
  static constexpr size_t kMaxString = kMaxCodes;
  static constexpr size_t kSlack = kMaxString + 64;

  // Reads codes least significant bit first from the data.
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
        std::memcpy(&word, data_ + at, 4);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap32(word);
      } else {
        word = 0;
        for (size_t i = 0; at + i < size_; ++i) word |= uint32_t(data_[at + i]) << (8 * i);
      }
      const unsigned code = (word >> (bit_ & 7)) & mask;
      bit_ += uint64_t(width);
      return code;
    }

   private:
    const uint8_t* data_;
    size_t size_;
    uint64_t totalBits_;
    uint64_t bit_ = 0;
  };

  // Writes the string of `code` (`length` bytes, put out before at `at`) at `out`.
  void Repeat(uint8_t* out, unsigned code, uint64_t at, size_t length) {
    if (at >= origin_) {
      // Still in the window, and wholly before `out`: copied 16 bytes at a time, each
      // block loaded before it is stored. Bytes written past the string are written again.
      const uint8_t* from = window_.data() + (at - origin_);
      for (size_t i = 0; i < length; i += 16) {
        uint8_t block[16];
        std::memcpy(block, from + i, 16);
        std::memcpy(out + i, block, 16);
      }
      return;
    }
    // Entries point to lower codes; the chain ends at a plain byte value.
    uint8_t* p = out + length;
    unsigned c = code;
    for (; c >= firstFree_ && p > out + 1; c = prefix_[c]) *--p = suffix_[c];
    *--p = uint8_t(c);
  }

  // Hands the complete lines of the window on and moves what is left, with the last
  // string's worth of output that later codes may repeat, to the window's start. False
  // once no more lines are wanted.
  template <class Line>
  bool Flush(uint8_t*& out, Line& line) {
    uint8_t* const base = window_.data();
    const uint64_t end = origin_ + uint64_t(out - base);
    while (end - handed_ >= line_) {
      if (!line(static_cast<const uint8_t*>(base + (handed_ - origin_)))) return false;
      handed_ += line_;
    }
    const uint64_t keep = std::min<uint64_t>(handed_, end > kMaxString ? end - kMaxString : 0);
    const uint64_t from = std::max(origin_, keep);
    std::memmove(base, base + (from - origin_), size_t(end - from));
    origin_ = from;
    out = base + (end - from);
    return true;
  }

  const size_t line_;
  size_t capacity_;
  unsigned firstFree_ = 0;
  std::vector<uint8_t> window_;
  uint64_t origin_ = 0;                       // output position of window_[0]
  uint64_t handed_ = 0;                       // output handed on in lines
  std::array<uint64_t, kMaxCodes> offset_{};  // where the string of a code was put out
  std::array<uint16_t, kMaxCodes> length_{};  // its length
  std::array<uint16_t, kMaxCodes> prefix_{};  // the code of all but its last byte
  std::array<uint8_t, kMaxCodes> suffix_{};   // its last byte
};

}  // namespace vandrel
