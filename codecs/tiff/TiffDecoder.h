#pragma once
// The TIFF container: the 8-byte header, the chain of image file directories, the tags of
// one directory, the checks that decide whether it can be decoded, and the strips decoded
// into a bitmap. Compression none, PackBits and LZW; WhiteIsZero, BlackIsZero, RGB,
// Palette, CMYK, YCbCr and CIE L*a*b*. Read errors raise EInvalidImage, every other check
// the general exception type, each with its fixed text.
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/tiff/TiffPixels.h"
#include "codecs/tiff/TiffStream.h"
#include "platform/Bitmap.h"

namespace vandrel {

struct TiffTexts {
  std::string imageDescription;
  std::string software;
  std::string artist;
};

class TTIFFDecoder {
 public:
  // The decoder reads from the stream's position on; it owns neither the stream nor the
  // bitmaps it fills.
  explicit TTIFFDecoder(TiffStream& stream);

  // Collects the directory offsets: only the first with `firstOnly`, else the whole chain
  // (a chain that returns to an earlier directory ends there).
  void ScanIFDs(bool firstOnly);
  int PageCount() const { return int(directoryOffsets_.size()); }
  const std::vector<uint32_t>& DirectoryOffsets() const { return directoryOffsets_; }

  // Decodes one page into the bitmap and returns its texts. Does nothing (the bitmap and
  // the texts stay as they are) for a null bitmap or a page that was not collected.
  void DecodePage(int page, Bitmap* bitmap, TiffTexts& texts);

 private:
  struct Entry {
    uint16_t tag = 0, type = 0;
    uint32_t count = 0;
    uint32_t value = 0;     // the value field through the 32-bit reader
    uint8_t field[4] = {};  // the value field as stored
  };

  uint16_t Read16(const uint8_t* p) const;
  uint32_t Read32(const uint8_t* p) const;
  void ReadBuffer(void* buffer, size_t count);
  void SeekFromBase(int64_t offset, int origin);
  void ReadHeader();
  void ReadIFD();
  uint32_t ScalarValue(const Entry& entry) const;
  // The entry's values as items (a RATIONAL giving two); a list of more than `maxItems`
  // items is not read and stands as maxItems + 1 zero items.
  void ReadValueList(const Entry& entry, std::vector<uint32_t>& list, uint64_t maxItems);
  // `count` values of `size` bytes (2, 4 or 8, a RATIONAL giving two items) at base + offset,
  // with the position kept; the read error, before any value is read, when the file does
  // not hold them all.
  void ReadValues(uint32_t offset, uint64_t count, int size, std::vector<uint32_t>& list);
  std::string ReadText(const Entry& entry);
  void ReadColorMap(const Entry& entry);
  void MakeGreyPalette();
  void CheckImageSize() const;
  Palette StoredPalette() const;
  TiffOrientation Orientation() const;
  void DecodeStrips();
  // Refuses compressed strips that together hold far more than the file and the picture.
  void CheckCompressedStrips();
  std::span<const uint8_t> StageStrip(uint32_t byteCount);

  bool predictor_ = false;
  bool littleEndian_ = false;
  double lumaBlue_ = 0.114, lumaGreen_ = 0.587, lumaRed_ = 0.299;
  int maxSampleValue_ = 0;
  uint32_t rowsPerStrip_ = 0;
  bool rowsPerStripGiven_ = false;
  uint64_t base_ = 0;
  TiffTexts texts_;
  Bitmap* bitmap_ = nullptr;
  std::vector<uint32_t> directoryOffsets_;
  std::vector<uint32_t> stripByteCounts_;
  std::vector<uint32_t> stripOffsets_;
  int paletteEntries_ = 0;
  Palette palette_ = Palette(256);
  int compression_ = 0;  // 0 none, 4 LZW, 6 PackBits, others without a decoder
  float scale_[3] = {}, black_[3] = {};
  TiffStream& stream_;
  uint16_t orientation_ = 1, photometric_ = 0, planar_ = 1;
  uint16_t subsamplingH_ = 2, subsamplingV_ = 2;

  // The page being read.
  uint32_t width_ = 0, height_ = 0;
  int64_t totalBits_ = 1;
  PixelFormat format_ = PixelFormat::pf24bit;
};

}  // namespace vandrel
