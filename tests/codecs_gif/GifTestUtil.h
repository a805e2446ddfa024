#pragma once
// Helpers of the GIF tests: building GIF files byte by byte, packing LZW codes, reading
// files, and decoding with our reader and with giflib.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/Bitmap.h"

namespace giftest {

using Bytes = std::vector<uint8_t>;

// Codes packed least significant bit first, each with its own width.
Bytes PackCodes(const std::vector<std::pair<int, int>>& codesAndWidths);

// Data split into sub-blocks of at most `blockSize` bytes, with the terminator.
Bytes SubBlocks(const Bytes& data, size_t blockSize = 255);

// A GIF file put together block by block.
class GifBuilder {
 public:
  // Header and logical screen; `globalTable` entries (a power of two from 2 to 256, or 0).
  GifBuilder& Header(const std::string& version, int width, int height, int globalColors,
                     uint8_t background = 0);
  // A colour table of `colors` entries, entry i = (i, 255 - i, i / 2) unless given.
  GifBuilder& ColorTable(int colors, const std::vector<vandrel::PaletteEntry>& entries = {});
  GifBuilder& GraphicControl(uint8_t packed, uint16_t delay, uint8_t transparentIndex);
  GifBuilder& Comment(const std::vector<std::string>& subBlocks);
  GifBuilder& Application(const std::string& identifier, const std::vector<Bytes>& subBlocks);
  GifBuilder& Descriptor(int left, int top, int width, int height, uint8_t packed);
  // Code size byte, then `data` as sub-blocks.
  GifBuilder& ImageData(int codeSize, const Bytes& data);
  GifBuilder& Raw(const Bytes& bytes);
  GifBuilder& Byte(uint8_t b);
  GifBuilder& Word(uint16_t w);
  GifBuilder& Trailer();
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

// The table entry ColorTable gives by default.
vandrel::PaletteEntry DefaultColor(int i);
vandrel::Palette DefaultPalette(int colors);

// A plain LZW encoder written independently of the program's: codes of the minimum code
// size with a clear code first, widening when the next code passes the width, a clear
// when the table is full unless `clearWhenFull` is false (then it stops adding entries).
Bytes EncodeLzw(const Bytes& pixels, int codeSize, bool clearWhenFull = true);

// The pixel indices of a bitmap, row after row, without padding.
Bytes Indices(const vandrel::Bitmap& bitmap);

// 64-bit FNV-1a, as the corpus reference defines it.
uint64_t Fnv1a(const Bytes& bytes);

Bytes ReadFile(const std::string& path);

// The first image as giflib's DGifSlurp reads it from memory.
struct GiflibImage {
  bool ok = false;
  int width = 0, height = 0;
  Bytes indices;             // rows top-down, de-interlaced
  vandrel::Palette palette;  // the local table, else the global one, else empty
};
GiflibImage GiflibDecode(const Bytes& file);

}  // namespace giftest
