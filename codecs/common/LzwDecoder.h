#pragma once
// LZW decoding with a variable code width of up to 12 bits, for both bit orders in use:
// codes least significant bit first (GIF image data, and TIFF strips written before the
// current bit order) and most significant bit first (TIFF strips). The two differ only in
// how a code is read from the data and in when the width grows; the string table and the
// output are the same work, done here once.
//
// The output goes to the caller in lines of a fixed length through a window of bounded
// size, so that nothing the size of the picture is held besides the picture itself. Every
// string is copied from where it was put out before, so a code costs one block copy
// instead of a walk along its prefix chain; once that stretch of output has left the
// window, the chain is walked. Single bytes are copied the same way, from a table of the
// 256 byte values kept after the window's output area.
#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace vandrel {

// Codes packed least significant bit first. The width grows once the next free code needs
// another bit; a code cut short by the end of the data reads as the end code.
class LzwLsbCodes {
 public:
  static constexpr bool kEarlyChange = false;
  // The first code after a clear that is not a plain byte value puts out its low 8 bits
  // but gives the next code nothing to build on.
  static constexpr bool kAnyFirstCodeIsByte = false;
  // GIF pictures are often dithered, their codes mostly single bytes: those are stored
  // apart from the strings, which pays for the branch there and not in TIFF strips.
  static constexpr bool kSingleBytesApart = true;

  explicit LzwLsbCodes(std::span<const uint8_t> data)
      : data_(data.data()), size_(data.size()), totalBits_(uint64_t(data.size()) * 8) {}

  void SetWidth(int width) {
    width_ = width;
    mask_ = (1u << width) - 1;
  }

  // The next code, or `end` when fewer than the width's bits remain.
  unsigned Next(unsigned end) {
    if (bit_ + uint64_t(width_) > totalBits_) return end;
    const size_t at = size_t(bit_ >> 3);
    uint32_t word;
    if (at + 4 <= size_) {
      std::memcpy(&word, data_ + at, 4);
      if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap32(word);
    } else {
      word = 0;
      for (size_t i = 0; at + i < size_; ++i) word |= uint32_t(data_[at + i]) << (8 * i);
    }
    const unsigned code = (word >> (bit_ & 7)) & mask_;
    bit_ += uint64_t(width_);
    return code;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  uint64_t totalBits_;
  uint64_t bit_ = 0;
  int width_ = 0;
  unsigned mask_ = 0;
};

// Codes packed most significant bit first. The width grows one code early, as TIFF writers
// have it; a code cut short by the end of the data is read with zero bits after it, and
// only a position past the data reads as the end code.
class LzwMsbCodes {
 public:
  static constexpr bool kEarlyChange = true;
  // Every first code after a clear stands for the byte of its low 8 bits.
  static constexpr bool kAnyFirstCodeIsByte = true;
  // Single bytes are copied like any string (see LzwLsbCodes).
  static constexpr bool kSingleBytesApart = false;

  explicit LzwMsbCodes(std::span<const uint8_t> data) : data_(data.data()), size_(data.size()) {}

  void SetWidth(int width) {
    width_ = width;
    mask_ = (1u << width) - 1;
    shift_ = 32 - width;
  }

  // One 32-bit big-endian window at the bit position (bytes past the data read as zero).
  unsigned Next(unsigned end) {
    const size_t byte = bit_ >> 3;
    uint32_t window;
    if (byte + 4 <= size_) {
      std::memcpy(&window, data_ + byte, 4);
      if constexpr (std::endian::native == std::endian::little) window = __builtin_bswap32(window);
    } else {
      if (byte >= size_) return end;
      window = 0;
      for (size_t i = 0; i < 4; ++i)
        window = (window << 8) | (byte + i < size_ ? data_[byte + i] : 0u);
    }
    const unsigned code = (window >> (shift_ - int(bit_ & 7))) & mask_;
    bit_ += size_t(width_);
    return code;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t bit_ = 0;
  int width_ = 0;
  int shift_ = 0;
  unsigned mask_ = 0;
};

template <class Codes>
class LzwDecoder {
 public:
  // Largest code size whose codes fit the 12-bit table (clear code 2^11).
  static constexpr int kMaxCodeSize = 11;
  static constexpr int kMaxWidth = 12;
  static constexpr int kMaxCodes = 1 << kMaxWidth;  // 4096

  // `lineBytes` (at least 1) is the length of the lines handed on; `totalBytes` the most
  // output that can be of use (it bounds the window).
  LzwDecoder(size_t lineBytes, uint64_t totalBytes) : line_(lineBytes) {
    const uint64_t wanted = std::max<uint64_t>(std::min<uint64_t>(totalBytes, 1 << 20), line_);
    capacity_ = size_t(wanted) + line_ + 2 * kMaxString;
    window_.resize(capacity_ + kBytesGap + 256 + kOvershoot);
    for (int b = 0; b < 256; ++b) window_[capacity_ + kBytesGap + size_t(b)] = uint8_t(b);
  }

  // Decodes `data` with the minimum code size `codeSize` (1 to kMaxCodeSize): clear code
  // 2^codeSize, end code one more, codes of codeSize + 1 bits at first. Every complete line
  // goes to `line(const uint8_t*)`, which returns false once no more lines are wanted; what
  // is left of a last incomplete line goes to `partial(const uint8_t*, size_t)`. Decoding
  // ends at the end code, with the data or when no more lines are wanted.
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
    const int initialWidth = std::min(codeSize + 1, kMaxWidth);
    // The codes below the clear code stand for the byte of their low 8 bits.
    for (unsigned c = 0; c < clear; ++c) entries_[c] = Entry{0, 1, uint8_t(c), uint8_t(c)};
    singles_ = clear;
    PlaceSingleBytes();

    Codes codes(data);
    int width = initialWidth;
    unsigned limit = 1u << width;
    codes.SetWidth(width);
    unsigned next = firstFree;
    bool hasPrevious = false;
    unsigned previous = 0;    // code of the string put out last
    uint64_t previousAt = 0;  // where it was put out
    constexpr unsigned kEarly = Codes::kEarlyChange ? 1 : 0;

    for (;;) {
      const unsigned code = codes.Next(end);
      if (code - clear < 2) [[unlikely]] {
        if (code == end) break;
        width = initialWidth;
        limit = 1u << width;
        codes.SetWidth(width);
        next = firstFree;
        hasPrevious = false;
        continue;
      }
      if (out + kMaxString > base + capacity_ && !Flush(out, line)) return;
      const uint64_t at = origin_ + uint64_t(out - base);
      if (!hasPrevious) [[unlikely]] {
        // First code after a clear (or at the start): one byte of its low 8 bits, defining
        // nothing.
        *out++ = uint8_t(code);
        if (Codes::kAnyFirstCodeIsByte || code < clear) {
          previous = code & 0xFF;
          previousAt = at;
          hasPrevious = true;
        }
      } else if (code >= next) [[unlikely]] {
        // The code being defined (or one beyond it, taken as that code): the previous
        // string followed by its own first byte. A 12-bit code beyond the table leaves
        // room for the entry.
        const uint8_t first = entries_[previous].first;
        out = Repeat(out, previous, previousAt);
        *out++ = first;
        Define(next, previous, first, previousAt);
        previous = next++;
        previousAt = at;
      } else if (Codes::kSingleBytesApart && code < clear) {
        // A single byte, stored as it is.
        *out++ = uint8_t(code);
        if (next < unsigned(kMaxCodes)) Define(next++, previous, uint8_t(code), previousAt);
        previous = code;
        previousAt = at;
      } else {
        // The new entry is the previous string followed by the first byte of this one, which
        // sit side by side in the output. A full table takes no more entries (the data may
        // go on at 12 bits without a clear).
        out = Repeat(out, code, offsets_[code]);
        if (next < unsigned(kMaxCodes)) Define(next++, previous, entries_[code].first, previousAt);
        previous = code;
        previousAt = at;
      }
      if (next + kEarly >= limit && width < kMaxWidth) {
        ++width;
        limit <<= 1;
        codes.SetWidth(width);
      }
    }
    if (!Flush(out, line)) return;
    const uint64_t stop = origin_ + uint64_t(out - base);
    if (stop > handed_) partial(base + (handed_ - origin_), size_t(stop - handed_));
  }

 private:
  // A string is at most 4096 bytes long; the block copies may write 16 bytes past it and
  // read 16 bytes past a single byte's place.
  static constexpr size_t kMaxString = kMaxCodes;
  static constexpr size_t kBytesGap = 64;
  static constexpr size_t kOvershoot = 32;

  // One entry: prefix and suffix, and the length and first byte of its string.
  struct Entry {
    uint16_t prefix;
    uint16_t length;
    uint8_t suffix;
    uint8_t first;
  };

  void Define(unsigned code, unsigned prefix, uint8_t suffix, uint64_t at) {
    const Entry& from = entries_[prefix];
    entries_[code] = Entry{uint16_t(prefix), uint16_t(from.length + 1), suffix, from.first};
    offsets_[code] = at;
  }

  // The single bytes' strings lie in the byte table after the output area: beyond anything
  // written, so always copied as a block.
  void PlaceSingleBytes() {
    const uint64_t table = origin_ + capacity_ + kBytesGap;
    for (unsigned c = 0; c < singles_; ++c) offsets_[c] = table + (c & 0xFF);
  }

  // Writes the string of `code`, put out before at `at`, at `out`; returns its end.
  uint8_t* Repeat(uint8_t* out, unsigned code, uint64_t at) {
    const size_t length = entries_[code].length;
    if (at >= origin_) [[likely]] {
      // Still in the window, and wholly before `out`: copied 16 bytes at a time, each block
      // loaded before it is stored (the two may overlap when the string is short). Bytes
      // read past the string's end are never needed, bytes written past it are written
      // again.
      const uint8_t* from = window_.data() + (at - origin_);
      size_t i = 0;
      do {
        uint8_t block[16];
        std::memcpy(block, from + i, 16);
        std::memcpy(out + i, block, 16);
        i += 16;
      } while (i < length);
      return out + length;
    }
    // Entries point to lower codes; the chain ends at a single byte.
    uint8_t* p = out + length;
    for (unsigned c = code, n = unsigned(length); n > 0; --n, c = entries_[c].prefix)
      *--p = entries_[c].suffix;
    return out + length;
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
    PlaceSingleBytes();
    return true;
  }

  const size_t line_;
  size_t capacity_;
  unsigned singles_ = 0;
  std::vector<uint8_t> window_;
  uint64_t origin_ = 0;                        // output position of window_[0]
  uint64_t handed_ = 0;                        // output handed on in lines
  std::array<Entry, kMaxCodes> entries_{};     // the string table
  std::array<uint64_t, kMaxCodes> offsets_{};  // where the string of a code was put out
};

}  // namespace vandrel
