#pragma once
// Pixel and row routines of the TIFF reader: undoing horizontal differencing (predictor 2),
// exchanging red and blue, placing the planes of planar images, the CMYK, CIE L*a*b* and
// YCbCr conversions to blue-green-red, the passes that finish planar CMYK and L*a*b*
// images, and the Orientation transform. Bitmap rows hold 24-bit pixels as blue, green,
// red and 32-bit pixels as blue, green, red, fourth byte.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Bitmap.h"

namespace vandrel {

// row[i] := row[i] + row[i - step] (mod 256) for i from step to count - 1.
void UndoDifferencingBytes(uint8_t* row, size_t count, size_t step);
// The same on 4-bit samples, high nibble first; `step` is not used (always one sample).
void UndoDifferencingNibbles(uint8_t* row, size_t count, size_t step);
// Exchanges row[i] and row[i + 2] for i = 0, step, 2 * step, ... below byteCount.
void SwapRedBlue(uint8_t* row, size_t byteCount, size_t step);
// The same while copying a row (`to` may be `from`).
void CopySwapRedBlue(uint8_t* to, const uint8_t* from, size_t byteCount, size_t step);
// Puts plane byte k into row[start - (count - 1 - k) * step] for every k.
void ScatterPlane(const uint8_t* planeRow, uint8_t* row, size_t count, size_t step, size_t start);

// 255 above 255, the nearest integer (ties to even) from 0 to 255, 0 otherwise (also NaN).
uint8_t ClampToByte(double x);
uint8_t ClampToByte(long double x);
// An integer clamped to 0..255.
inline uint8_t ClampByte(int64_t x) { return x < 0 ? 0 : x > 255 ? 255 : uint8_t(x); }

// C, M, Y, K to blue, green, red: red = 255 - (C + K), 0 when the sum reaches 255.
void CMYKToBGR(uint8_t c, uint8_t m, uint8_t y, uint8_t k, uint8_t* bgr);
// Pixel i from source bytes 4i..4i+3 to destination bytes i * step.
void CMYKRowToBGR(const uint8_t* source, uint8_t* destination, size_t count, size_t step);
// L (unsigned, unscaled) and signed a, b to blue, green, red.
void LabToBGR(uint8_t l, int8_t a, int8_t b, uint8_t* bgr);
// Pixel i from source bytes 3i..3i+2 to destination bytes 3i..3i+2 (may be the same row).
void LabRowToBGR(const uint8_t* source, uint8_t* destination, size_t count);

// The YCbCr model of one image: luma coefficients and reference black and scale per
// channel (0 Y, 1 Cb, 2 Cr).
struct TiffYCbCrModel {
  double lumaRed = 0.299, lumaGreen = 0.587, lumaBlue = 0.114;
  float black[3] = {0, 128, 128};
  float scale[3] = {1, 1, 1};
  void YCbCrToBGR(uint8_t y, uint8_t cb, uint8_t cr, uint8_t* bgr) const;
};

// The row routines of one page, chosen by predictor and total bits so that the decoding
// loops carry no tests for either.
struct TiffRowRoutines {
  // Chunky RGB row of `byteCount` bytes, pixels of `step` bytes.
  void (*RGBRowRoutine)(uint8_t* row, size_t byteCount, size_t step);
  // One plane row of `count` samples into the bitmap row.
  void (*PlaneRowRoutine)(uint8_t* planeRow, uint8_t* row, size_t count, size_t step, size_t start);
  // A CMYK buffer of `count` pixels into a row of pixels of `step` bytes.
  void (*CMYKRowRoutine)(uint8_t* source, uint8_t* destination, size_t count, size_t step);
  // An L*a*b* buffer of `count` pixels into the row.
  void (*LabRowRoutine)(uint8_t* source, uint8_t* destination, size_t count);
  void (*DifferencingRoutine)(uint8_t* row, size_t count, size_t step);
};
// With the predictor on and totalBits >= 4 the variants that first undo differencing.
TiffRowRoutines ChooseRowRoutines(bool predictor, int totalBits);

// The pass after the planes of a planar L*a*b* image are in place: converts a 24-bit bitmap
// holding L, a, b in bytes 0..2 in place.
void PlanarLabToRGB(Bitmap& bitmap);

// Places the rows of a stored picture into the upright bitmap of the TIFF Orientation value
// (1 to 8; other values only widen), so that a picture is turned as it is decoded, without
// a second bitmap. Any value but 1 shows pictures of fewer than 8 bits per pixel as 24-bit
// pixels through their palette. Rows that become columns are best given a band at a time
// (BandRows): each upright row then gets a run of pixels at once instead of one pixel per
// stored row.
class TiffOrientation {
 public:
  // The stored picture: its size, bits per pixel (1, 4, 8, 24 or 32) and palette.
  TiffOrientation(int width, int height, int bits, const Palette& palette, int orientation);

  // True when rows go somewhere else than the same row of a bitmap of the stored format.
  bool Moves() const { return moves_; }
  // True when rows of fewer than 8 bits per pixel become 24-bit rows.
  bool Widens() const { return widens_; }
  // True when stored rows become columns of the upright picture.
  bool Transposes() const { return transposes_; }
  // Size and format of the upright bitmap.
  int UprightWidth() const { return transposes_ ? height_ : width_; }
  int UprightHeight() const { return transposes_ ? width_ : height_; }
  PixelFormat UprightFormat() const;
  // Bytes of the upright bitmap.
  uint64_t UprightBytes() const;
  // Stored rows of `rowBytes` bytes to hand to PutBand at once: a multiple of 8, from 8 to
  // 256, within about 256 KB.
  static int BandRows(size_t rowBytes);

  // Puts stored row y (its pixels from the start of `row`) into the upright bitmap.
  void Put(Bitmap& upright, const uint8_t* row, int y) const { PutBand(upright, row, 0, y, 1); }
  // Puts the stored rows firstY .. firstY + count - 1, `rowStride` bytes apart from `rows`.
  void PutBand(Bitmap& upright, const uint8_t* rows, size_t rowStride, int firstY, int count) const;
  // Reads stored row y back from the upright bitmap (formats of 8 bits and more only).
  void Get(const Bitmap& upright, uint8_t* row, int y) const;

 private:
  // Where pixel x of stored row y lies in the upright bitmap: first + x * step.
  uint8_t* First(const Bitmap& upright, int y, ptrdiff_t& step) const;
  // Widens stored pixels [x, end) of a row of 1 or 4 bits into 24-bit pixels from `to`,
  // `step` bytes apart.
  void WidenPixels(const uint8_t* row, int x, int end, uint8_t* to, ptrdiff_t step) const;
  void PutRow(Bitmap& upright, const uint8_t* row, int y) const;
  void PutColumns(Bitmap& upright, const uint8_t* rows, size_t rowStride, int firstY,
                  int count) const;

  int width_, height_, bits_, orientation_;
  bool transposes_, mirrors_, widens_, moves_;
  uint8_t lut_[256][3] = {};  // blue, green, red of each palette index, for widening
  // Widening a whole stored byte at once: the 8 (1 bit) or 2 (4 bits) pixels of each byte
  // value as 24-bit pixels, first pixel first and, for mirrored rows, last pixel first.
  std::vector<uint8_t> byteForward_, byteBackward_;
};

// Turns the stored picture upright by the TIFF Orientation value (1 to 8). Any value but 1
// first expands bitmaps of fewer than 8 bits per pixel to 24 bits.
void ApplyOrientation(Bitmap& bitmap, int orientation);

}  // namespace vandrel
