#pragma once
// The TIFF writer: little-endian TIFF, one page (directory, values and strips) per call of
// Encode, the pages of one writer chained. Bitmaps of 1, 4 and 8 bits go out as palette
// images with a colour map (levels times 257), 24 and 32 bits as chunky RGB with 3 or 4
// samples of 8 bits; the fourth is marked as of no stated meaning and written opaque (255),
// as the picture is shown.
// Compression index 0 writes the rows as they are, 4 LZW and 6 PackBits.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

namespace vandrel {

class TTIFFEncoder {
 public:
  // Writes into `stream` from its end on; every offset written is a position in it, so a
  // stream that starts empty holds a file. The stream is not owned.
  explicit TTIFFEncoder(std::vector<uint8_t>* stream);
  TTIFFEncoder(const TTIFFEncoder&) = delete;
  TTIFFEncoder& operator=(const TTIFFEncoder&) = delete;

  // Appends one page. Compression indices 0..6 stand for the TIFF values 1, 2, 3, 4, 5, 6
  // and 32773; only 0, 4 and 6 have an encoder, and any other index raises
  // "TIFF: Unsupported \"Compression\" !" before anything is written. An empty bitmap is
  // refused (RefuseEmptyImage) before anything is written. An empty text writes no tag.
  void Encode(const Bitmap& bitmap, uint8_t compression, const std::string& imageDescription,
              const std::string& software, const std::string& artist);

 private:
  void Write(const void* data, size_t count);
  void Write16(uint16_t value);
  void Write32(uint32_t value);
  void Patch32(size_t position, uint32_t value);
  void WriteEntry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value);
  void WriteStrips(const Bitmap& bitmap, uint8_t compression);

  int32_t bitsPerPixel_ = 0;
  int32_t endOfLastPage_ = 0;
  int32_t nextDirectoryField_ = 0;
  int32_t rowsPerStrip_ = 0;
  int32_t byteCountCursor_ = 0;
  int32_t offsetCursor_ = 0;
  int32_t rowBytes_ = 0;
  std::vector<uint32_t> stripSizes_;
  std::vector<uint8_t>* stream_;
};

}  // namespace vandrel
