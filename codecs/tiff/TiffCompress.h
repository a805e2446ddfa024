#pragma once
// The TIFF writer's compressors: LZW of one strip and PackBits of one row, appended to a
// byte buffer.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vandrel {

// LZW as TIFF writes it: codes 256 Clear, 257 End of Information, 258 the first free one;
// 9 to 12 bits, most significant bit first; the width grows when the next code reaches
// 512, 1024 and 2048, and a Clear follows when it reaches 4095 at 12 bits. The strip
// starts with a Clear and ends with End of Information, the last byte padded with zeros.
void CompressLZW(const uint8_t* data, size_t count, std::vector<uint8_t>& out);

// PackBits of one row: literals of up to 128 bytes, runs of 2 to 128 equal bytes; a pair of
// equal bytes is always a run.
void PackBitsRow(const uint8_t* row, size_t count, std::vector<uint8_t>& out);

}  // namespace vandrel
