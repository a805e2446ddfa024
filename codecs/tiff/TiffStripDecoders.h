#pragma once
// TIFF strip decoding: one decoder object per page turns the bytes of each strip into rows
// of the target bitmap. Three families (uncompressed, PackBits, LZW) share seven row
// layouts, each saying where a row's bytes go and what happens to a complete row:
//   _08b            up to 8 bits per pixel: bytes straight into the bitmap row
//   _08b_HorDiff    the same, then horizontal differencing undone (predictor 2)
//   _24b            24- and 32-bit chunky RGB: red and blue exchanged
//   _24b_Planar2    planar images: each plane row scattered into its byte of every pixel
//   _CMYK           chunky CMYK through a row buffer, converted to 24 bits
//   _CIELab         chunky CIE L*a*b* through a row buffer, converted to 24 bits
//   _YCbCr          YCbCr data units assembled into pixels (uncompressed and LZW only)
// A decoder keeps its place (row, plane, data unit) from strip to strip, so strips come in
// file order. Told where each strip begins, it places the strip's rows there, whatever the
// strips before it held; otherwise each strip goes on where the last one ended.
#include <cstdint>
#include <memory>
#include <span>

#include "codecs/tiff/TiffPixels.h"
#include "codecs/tiff/TiffStream.h"
#include "platform/Bitmap.h"

namespace vandrel {

class TTIFFImageDecoder {
 public:
  virtual ~TTIFFImageDecoder() = default;
  // Decodes one strip of `byteCount` bytes from the stream's position. PackBits and LZW
  // decoders are given a stream that holds exactly the strip.
  virtual void DecodeStrip(TiffStream& stream, uint32_t byteCount) = 0;
  // The next strip holds `rows` rows from row `firstRow` of plane `plane` (0 for chunky
  // images): rows before it that no strip filled are left as they are, and what the strip
  // decodes beyond its rows is dropped. YCbCr data units run on from strip to strip and
  // ignore it.
  virtual void BeginStrip(uint32_t plane, uint32_t firstRow, uint32_t rows) = 0;
  // True once every row (every data unit) of the image has been written.
  virtual bool Done() const = 0;
  // After the last strip: rows still held back go to the bitmap.
  virtual void Finish() = 0;
};

enum class TiffCompression { kNone, kPackBits, kLZW };
enum class TiffRowLayout { k08b, k08bHorDiff, k24b, k24bPlanar2, kCMYK, kCIELab, kYCbCr };

struct TiffDecoderSetup {
  // The picture as stored: its size and the pixel format of its rows. The bitmap is the
  // upright picture of `orientation` (see TiffOrientation), `palette` the stored palette.
  int width = 0, height = 0;
  PixelFormat format = PixelFormat::pf8bit;
  int orientation = 1;
  Palette palette;
  TiffRowRoutines routines;
  bool predictor = false;
  int photometric = 0;                     // places the planes of planar images
  uint32_t rowsPerStrip = 0;               // PackBits
  int subsamplingH = 2, subsamplingV = 2;  // YCbCr
  TiffYCbCrModel ycbcr;                    // YCbCr
};

// The decoder of one family and layout for the bitmap, which already has the pixel format
// and size of the upright picture. Raises "TIFF: Decoder Error !" when the bitmap's format does not
// suit the layout; the YCbCr layout has no PackBits decoder.
std::unique_ptr<TTIFFImageDecoder> CreateStripDecoder(TiffCompression compression,
                                                      TiffRowLayout layout, Bitmap& bitmap,
                                                      const TiffDecoderSetup& setup);

// One PackBits row: unpacks into row[0..count) from `data`, which advances past what was
// consumed. Returns the bytes written into the row (less than count when the data ends).
size_t UnpackPackBitsRow(std::span<const uint8_t>& data, uint8_t* row, size_t count);

}  // namespace vandrel
