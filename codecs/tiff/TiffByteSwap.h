#pragma once
// Byte-order routines of the TIFF reader and writer.
#include <cstdint>

namespace vandrel {

inline uint16_t ByteSwap16(uint16_t value) { return uint16_t((value >> 8) | (value << 8)); }

// Reverses the four bytes with the processor's byte-reverse instruction.
inline uint32_t ByteSwap32(uint32_t value) { return __builtin_bswap32(value); }

// Reverses the four bytes without a byte-reverse instruction: exchanges the two 16-bit
// halves and the bytes inside each. Same result as ByteSwap32.
inline uint32_t ByteSwap32Compat(uint32_t value) {
  value = (value >> 16) | (value << 16);
  return ((value & 0x00FF00FFu) << 8) | ((value >> 8) & 0x00FF00FFu);
}

// The 32-bit swap chosen once by processor level: level 3 (an 80386) has no byte-reverse
// instruction. Every processor we run on reports a later level.
inline constexpr int kProcessorLevel = 6;
inline uint32_t (*const ByteSwap32Routine)(uint32_t) = kProcessorLevel == 3 ? ByteSwap32Compat
                                                                            : ByteSwap32;

// Little-endian loads from unaligned bytes.
inline uint16_t LoadLE16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t LoadLE32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

}  // namespace vandrel
