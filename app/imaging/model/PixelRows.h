#pragma once
// The inner loops of the per-pixel operations, one row at a time: the greyscale mean, the
// extraction of one byte of each 24-bit pixel, the saturating add of brightness, a 256-entry
// byte table, the expansion of 8-bit pixels into 24-bit colours through a table, and the
// recolouring of 24-bit pixels by a set of colours.
//
// Each loop has a plain version and, on processors that have AVX2, a vector version chosen
// once at start; both give the same bytes. Rows may have any width: the vector loops finish
// a row with the plain loop and never read or write outside the bytes they are given.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vandrel::pixels {

// A recolouring of 24-bit pixels by a set of marked colours. Keys are the three pixel bytes
// read as a little-endian number (blue lowest). `bits` holds one bit per key (2^24 bits);
// when `few` is not null it lists the same set in `fewCount` keys (at most kFewKeys).
struct Recolouring {
  static constexpr size_t kFewKeys = 8;
  const uint64_t* bits = nullptr;
  const uint32_t* few = nullptr;
  size_t fewCount = 0;
  bool keep = true;         // marked pixels keep their colour, else take `colour`
  uint32_t colour = 0;      // as a key
  uint32_t background = 0;  // of the pixels not marked, as a key
};

struct RowKernels {
  const char* name;
  // grey[x] := (b + g + r + 1) div 3 of the pixel bytes bgr[3x..3x+2].
  void (*grey)(const uint8_t* bgr, uint8_t* grey, size_t width);
  // out[x] := bgr[3x + byte], byte 0 to 2.
  void (*channel)(const uint8_t* bgr, size_t byte, uint8_t* out, size_t width);
  // dst[i] := src[i] + offset, kept inside 0..255. src and dst may be the same row.
  void (*add)(const uint8_t* src, uint8_t* dst, size_t n, int offset);
  // dst[i] := table[src[i]] (256 entries). src and dst may be the same row.
  void (*table)(const uint8_t* src, uint8_t* dst, size_t n, const uint8_t* table);
  // dst[3x..3x+2] := the low three bytes of colours[src[x]] (256 entries), low byte first.
  void (*expand)(const uint8_t* src, uint8_t* dst, size_t width, const uint32_t* colours);
  // dst pixel x := the recoloured bgr pixel x.
  void (*recolour)(const uint8_t* bgr, uint8_t* dst, size_t width, const Recolouring& r);
};

// The fastest set this processor runs.
const RowKernels& Kernels();
// Every set this processor runs, the plain one first (the tests compare them).
std::vector<const RowKernels*> AvailableKernels();

}  // namespace vandrel::pixels
