#include "codecs/tiff/TiffPixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

namespace vandrel {

void UndoDifferencingBytes(uint8_t* row, size_t count, size_t step) {
  for (size_t i = step; i < count; ++i) row[i] = uint8_t(row[i] + row[i - step]);
}

void UndoDifferencingNibbles(uint8_t* row, size_t count, size_t /*step*/) {
  if (count == 0) return;
  unsigned high = row[0] >> 4;
  unsigned low = (row[0] + high) & 0x0F;
  row[0] = uint8_t((high << 4) | low);
  for (size_t i = 1; i < count; ++i) {
    high = ((row[i] >> 4) + low) & 0x0F;
    low = (row[i] + high) & 0x0F;
    row[i] = uint8_t((high << 4) | low);
  }
}

namespace {

#if defined(__x86_64__) || defined(__i386__)
// Red and blue exchanged 16 bytes at a time with one byte shuffle: 4 pixels of 3 bytes
// (the last 4 bytes of each load pass unchanged) or 4 pixels of 4 bytes.
bool HasSsse3() {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}

__attribute__((target("ssse3"))) size_t CopySwapSsse3(uint8_t* to, const uint8_t* from,
                                                      size_t byteCount, size_t step) {
  const __m128i order = step == 3
                            ? _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15)
                            : _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
  size_t i = 0;
  if (step == 4) {
    for (; i + 16 <= byteCount; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_shuffle_epi8(v, order));
    }
    return i;
  }
  if (to + byteCount <= from || from + byteCount <= to) {
    // Into another row: all 16 bytes are stored; the 4 that pass unchanged are stored again,
    // exchanged, by the next store (or by the tail).
    for (; i + 28 <= byteCount; i += 24) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i + 12));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_shuffle_epi8(a, order));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i + 12), _mm_shuffle_epi8(b, order));
    }
    for (; i + 16 <= byteCount; i += 12) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_shuffle_epi8(v, order));
    }
    return i;
  }
  // In place only the 12 bytes of the four pixels are stored, so that the next load (which
  // overlaps the last one) never waits on a store.
  for (; i + 16 <= byteCount; i += 12) {
    const __m128i v =
        _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)), order);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(to + i), v);
    const int32_t high = _mm_cvtsi128_si32(_mm_srli_si128(v, 8));
    std::memcpy(to + i + 8, &high, 4);
  }
  return i;
}
#endif

// The bytes from `done` on, one pixel at a time.
void CopySwapTail(uint8_t* to, const uint8_t* from, size_t byteCount, size_t step, size_t done) {
  size_t i = done;
  for (; i + 2 < byteCount; i += step) {
    const uint8_t r = from[i], g = from[i + 1], b = from[i + 2];
    for (size_t k = 3; k < step && i + k < byteCount; ++k) to[i + k] = from[i + k];
    to[i] = b;
    to[i + 1] = g;
    to[i + 2] = r;
  }
  for (; i < byteCount; ++i) to[i] = from[i];
}

}  // namespace

void CopySwapRedBlue(uint8_t* to, const uint8_t* from, size_t byteCount, size_t step) {
  size_t done = 0;
#if defined(__x86_64__) || defined(__i386__)
  // In place too: each load reads only bytes that no earlier store has changed.
  if ((step == 3 || step == 4) && HasSsse3()) done = CopySwapSsse3(to, from, byteCount, step);
#endif
  if (step < 3) {
    if (to != from) std::memcpy(to, from, byteCount);
    return;
  }
  CopySwapTail(to, from, byteCount, step, done);
}

void SwapRedBlue(uint8_t* row, size_t byteCount, size_t step) {
  CopySwapRedBlue(row, row, byteCount, step);
}

void ScatterPlane(const uint8_t* planeRow, uint8_t* row, size_t count, size_t step, size_t start) {
  if (count == 0) return;
  // Pixel k's byte lies at start - (count - 1 - k) * step = first + k * step.
  uint8_t* out = row + (start - (count - 1) * step);
  for (size_t k = 0; k < count; ++k) out[k * step] = planeRow[k];
}

uint8_t ClampToByte(double x) {
  if (x > 255.0) return 255;
  if (x >= 0.0) return uint8_t(std::nearbyint(x));
  return 0;  // negative or not a number
}

uint8_t ClampToByte(long double x) {
  if (x > 255.0L) return 255;
  if (x >= 0.0L) return uint8_t(std::nearbyint(x));
  return 0;
}

void CMYKToBGR(uint8_t c, uint8_t m, uint8_t y, uint8_t k, uint8_t* bgr) {
  bgr[0] = uint8_t(std::max(0, 255 - (y + k)));
  bgr[1] = uint8_t(std::max(0, 255 - (m + k)));
  bgr[2] = uint8_t(std::max(0, 255 - (c + k)));
}

void CMYKRowToBGR(const uint8_t* source, uint8_t* destination, size_t count, size_t step) {
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* s = source + 4 * i;
    uint8_t bgr[3];
    CMYKToBGR(s[0], s[1], s[2], s[3], bgr);
    std::memcpy(destination + i * step, bgr, 3);
  }
}

void LabToBGR(uint8_t l, int8_t a, int8_t b, uint8_t* bgr) {
  // Extended precision throughout, with X, Y and Z kept as doubles.
  const long double L = l, A = a, B = b;
  double x, y, z;
  if (L <= 7.9996248L) {
    y = double(L * 100.0L / 903.3L);
    x = double((y / 100.0L + A / 3893.5L) * 95.04L);
    z = double((y / 100.0L - B / 1557.4L) * 108.89L);
  } else {
    const long double fy = (L + 16.0L) / 116.0L;
    const long double fx = A / 500.0L + fy;
    const long double fz = fy - B / 200.0L;
    x = double(95.04L * fx * fx * fx);
    y = double(100.0L * fy * fy * fy);
    z = double(108.89L * fz * fz * fz);
  }
  const long double X = x, Y = y, Z = z;
  bgr[2] = ClampToByte(1.910374L * X - 0.533769L * Y - 0.289132L * Z);
  bgr[1] = ClampToByte(-0.984444L * X + 1.99852L * Y - 0.027851L * Z);
  bgr[0] = ClampToByte(0.058482L * X - 0.118724L * Y + 0.901745L * Z);
}

void LabRowToBGR(const uint8_t* source, uint8_t* destination, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* s = source + 3 * i;
    uint8_t bgr[3];
    LabToBGR(s[0], int8_t(s[1]), int8_t(s[2]), bgr);
    std::memcpy(destination + 3 * i, bgr, 3);
  }
}

void TiffYCbCrModel::YCbCrToBGR(uint8_t y, uint8_t cb, uint8_t cr, uint8_t* bgr) const {
  const double luma = (double(y) - double(black[0])) * double(scale[0]);
  const double blueDiff = (double(cb) - double(black[1])) * double(scale[1]);
  const double redDiff = (double(cr) - double(black[2])) * double(scale[2]);
  const double red = redDiff * (2.0 - 2.0 * lumaRed) + luma;
  const double blue = blueDiff * (2.0 - 2.0 * lumaBlue) + luma;
  const double green = (luma - lumaBlue * blue - lumaRed * red) / lumaGreen;
  bgr[0] = ClampToByte(blue);
  bgr[1] = ClampToByte(green);
  bgr[2] = ClampToByte(red);
}

namespace {

void RGBRowPredicted(uint8_t* row, size_t byteCount, size_t step) {
  UndoDifferencingBytes(row, byteCount, step);
  SwapRedBlue(row, byteCount, step);
}

void PlaneRowPredicted(uint8_t* planeRow, uint8_t* row, size_t count, size_t step, size_t start) {
  UndoDifferencingBytes(planeRow, count, 1);
  ScatterPlane(planeRow, row, count, step, start);
}

void PlaneRowPlain(uint8_t* planeRow, uint8_t* row, size_t count, size_t step, size_t start) {
  ScatterPlane(planeRow, row, count, step, start);
}

void CMYKRowPlain(uint8_t* source, uint8_t* destination, size_t count, size_t step) {
  CMYKRowToBGR(source, destination, count, step);
}

void CMYKRowPredicted(uint8_t* source, uint8_t* destination, size_t count, size_t step) {
  UndoDifferencingBytes(source, count * 4, 4);
  CMYKRowToBGR(source, destination, count, step);
}

void LabRowPlain(uint8_t* source, uint8_t* destination, size_t count) {
  LabRowToBGR(source, destination, count);
}

void LabRowPredicted(uint8_t* source, uint8_t* destination, size_t count) {
  UndoDifferencingBytes(source, count * 3, 3);
  LabRowToBGR(source, destination, count);
}

}  // namespace

TiffRowRoutines ChooseRowRoutines(bool predictor, int totalBits) {
  TiffRowRoutines r{};
  if (predictor && totalBits >= 4) {
    r.RGBRowRoutine = RGBRowPredicted;
    r.PlaneRowRoutine = PlaneRowPredicted;
    r.CMYKRowRoutine = CMYKRowPredicted;
    r.LabRowRoutine = LabRowPredicted;
  } else {
    r.RGBRowRoutine = SwapRedBlue;
    r.PlaneRowRoutine = PlaneRowPlain;
    r.CMYKRowRoutine = CMYKRowPlain;
    r.LabRowRoutine = LabRowPlain;
  }
  r.DifferencingRoutine = totalBits == 4 ? UndoDifferencingNibbles : UndoDifferencingBytes;
  return r;
}

void PlanarLabToRGB(Bitmap& bitmap) {
  if (bitmap.format() != PixelFormat::pf24bit) return;
  for (int y = 0; y < bitmap.height(); ++y)
    LabRowToBGR(bitmap.scanLine(y), bitmap.scanLine(y), size_t(bitmap.width()));
}

TiffOrientation::TiffOrientation(int width, int height, int bits, const Palette& palette,
                                 int orientation)
    : width_(width), height_(height), bits_(bits), orientation_(orientation) {
  transposes_ = orientation >= 5 && orientation <= 8;
  mirrors_ = orientation == 2 || orientation == 3;
  widens_ = orientation != 1 && bits < 8;
  moves_ = widens_ || (orientation >= 2 && orientation <= 8);
  for (size_t i = 0; i < palette.size() && i < 256; ++i) {
    lut_[i][0] = palette[i].blue;
    lut_[i][1] = palette[i].green;
    lut_[i][2] = palette[i].red;
  }
  if (widens_ && (bits == 1 || bits == 4)) {
    const int perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    const size_t entry = size_t(perByte) * 3;
    byteForward_.resize(256 * entry);
    byteBackward_.resize(256 * entry);
    for (unsigned v = 0; v < 256; ++v)
      for (int k = 0; k < perByte; ++k) {
        const uint8_t* colour = lut_[(v >> (8 - bits * (k + 1))) & mask];
        std::memcpy(&byteForward_[v * entry + size_t(k) * 3], colour, 3);
        std::memcpy(&byteBackward_[v * entry + size_t(perByte - 1 - k) * 3], colour, 3);
      }
  }
}

PixelFormat TiffOrientation::UprightFormat() const {
  return widens_ ? PixelFormat::pf24bit : PixelFormat(bits_);
}

uint64_t TiffOrientation::UprightBytes() const {
  return uint64_t(Bitmap::strideFor(UprightWidth(), UprightFormat())) * uint64_t(UprightHeight());
}

int TiffOrientation::BandRows(size_t rowBytes) {
  const size_t fit = (size_t(256) << 10) / std::max<size_t>(rowBytes, 1);
  return int(std::clamp<size_t>(fit / 8 * 8, 8, 256));
}

uint8_t* TiffOrientation::First(const Bitmap& upright, int y, ptrdiff_t& step) const {
  const ptrdiff_t bpp = upright.bitsPerPixel() / 8;
  uint8_t* bits = const_cast<uint8_t*>(upright.bits());
  const ptrdiff_t stride = ptrdiff_t(upright.stride());
  if (transposes_) {
    // Stored row y is a column of the upright picture, stored pixel x one of its rows:
    // 5 transpose; 6 and 7 columns from the right; 7 and 8 rows from the bottom.
    const int column = orientation_ == 6 || orientation_ == 7 ? height_ - 1 - y : y;
    const bool fromBottom = orientation_ == 7 || orientation_ == 8;
    step = fromBottom ? -stride : stride;
    return bits + (fromBottom ? ptrdiff_t(width_ - 1) * stride : 0) + column * bpp;
  }
  // 3 and 4 exchange the rows; 2 and 3 mirror them.
  const int row = orientation_ == 3 || orientation_ == 4 ? height_ - 1 - y : y;
  step = mirrors_ ? -bpp : bpp;
  return bits + ptrdiff_t(row) * stride + (mirrors_ ? ptrdiff_t(width_ - 1) * bpp : 0);
}

namespace {

template <int Bpp>
void Scatter(uint8_t* to, ptrdiff_t step, const uint8_t* from, int count) {
  for (int x = 0; x < count; ++x, to += step, from += Bpp) std::memcpy(to, from, Bpp);
}

template <int Bpp>
void Gather(uint8_t* to, const uint8_t* from, ptrdiff_t step, int count) {
  for (int x = 0; x < count; ++x, from += step, to += Bpp) std::memcpy(to, from, Bpp);
}

// The 8 x 8 bits of eight bytes (byte i the top row, most significant bit first) turned so
// that byte k holds column k, row 0 in its most significant bit.
uint64_t TransposeBits(uint64_t x) {
  uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
  x ^= t ^ (t << 7);
  t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
  x ^= t ^ (t << 14);
  t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
  x ^= t ^ (t << 28);
  return x;
}

}  // namespace

void TiffOrientation::WidenPixels(const uint8_t* row, int x, int end, uint8_t* to,
                                  ptrdiff_t step) const {
  const int perByte = 8 / bits_;
  const unsigned mask = (1u << bits_) - 1;
  for (; x < end; ++x, to += step)
    std::memcpy(to, lut_[(row[x / perByte] >> (8 - bits_ * (x % perByte + 1))) & mask], 3);
}

void TiffOrientation::PutRow(Bitmap& upright, const uint8_t* row, int y) const {
  ptrdiff_t step = 0;
  uint8_t* to = First(upright, y, step);
  if (widens_) {
    // Whole stored bytes at once, the pixels of a last partial byte one by one.
    const int perByte = 8 / bits_;
    const int whole = width_ / perByte;
    const size_t entry = size_t(perByte) * 3;
    if (step > 0) {
      for (int b = 0; b < whole; ++b)
        std::memcpy(to + size_t(b) * entry, &byteForward_[row[b] * entry], entry);
    } else {
      // `to` is the last pixel of the upright row; byte b ends perByte * b pixels before it.
      uint8_t* last = to + 3 - entry;
      for (int b = 0; b < whole; ++b)
        std::memcpy(last - ptrdiff_t(b) * ptrdiff_t(entry), &byteBackward_[row[b] * entry], entry);
    }
    WidenPixels(row, whole * perByte, width_, to + ptrdiff_t(whole) * perByte * step, step);
    return;
  }
  const int bpp = upright.bitsPerPixel() / 8;
  if (step == bpp) {
    std::memcpy(to, row, size_t(width_) * size_t(bpp));
    return;
  }
  if (bpp == 1) Scatter<1>(to, step, row, width_);
  if (bpp == 3) Scatter<3>(to, step, row, width_);
  if (bpp == 4) Scatter<4>(to, step, row, width_);
}

void TiffOrientation::PutColumns(Bitmap& upright, const uint8_t* rows, size_t rowStride, int firstY,
                                 int count) const {
  // The band's rows are adjacent columns of the upright picture: stored pixel x of every
  // band row lands in one run of upright row r(x), band row j at place j of the run, or at
  // count - 1 - j when the columns run from the right (6 and 7).
  const bool backward = orientation_ == 6 || orientation_ == 7;
  const bool fromBottom = orientation_ == 7 || orientation_ == 8;
  const int firstColumn = backward ? height_ - firstY - count : firstY;
  const int bpp = upright.bitsPerPixel() / 8;
  auto runOf = [&](int x) {
    return upright.scanLine(fromBottom ? width_ - 1 - x : x) + size_t(firstColumn) * size_t(bpp);
  };
  auto place = [&](int j) { return backward ? count - 1 - j : j; };
  if (!widens_) {
    // Pixels of a fixed size: the run of each upright row written from its first pixel on.
    auto columns = [&]<int Bpp>() {
      const ptrdiff_t step = backward ? -Bpp : Bpp;
      for (int x = 0; x < width_; ++x) {
        uint8_t* to = runOf(x) + (backward ? size_t(count - 1) * Bpp : 0);
        const uint8_t* from = rows + size_t(x) * Bpp;
        for (int j = 0; j < count; ++j, from += rowStride, to += step) std::memcpy(to, from, Bpp);
      }
    };
    if (bpp == 1) columns.operator()<1>();
    if (bpp == 3) columns.operator()<3>();
    if (bpp == 4) columns.operator()<4>();
    return;
  }
  int j = 0;
  if (bits_ == 1) {
    // Eight band rows at a time: the 8 x 8 pixels of one stored byte column turned so that
    // each byte holds eight pixels of one upright run, widened by one table look-up. The
    // runs of eight upright rows are written whole, one after the other.
    const int groups = count / 8;
    const int bytes = (width_ + 7) / 8;
    const uint8_t* table = (backward ? byteBackward_ : byteForward_).data();
    for (int b = 0; b < bytes; ++b) {
      const int columns = std::min(8, width_ - 8 * b);
      uint8_t* runs[8];
      for (int k = 0; k < columns; ++k) runs[k] = runOf(8 * b + k);
      for (int g = 0; g < groups; ++g) {
        const uint8_t* from = rows + size_t(8 * g) * rowStride + size_t(b);
        uint64_t block = 0;
        for (int i = 0; i < 8; ++i) block |= uint64_t(from[size_t(i) * rowStride]) << (56 - 8 * i);
        block = TransposeBits(block);
        const size_t at = size_t(backward ? count - 8 - 8 * g : 8 * g) * 3;
        for (int k = 0; k < columns; ++k)
          std::memcpy(runs[k] + at, table + ((block >> (56 - 8 * k)) & 0xFF) * 24, 24);
      }
    }
    j = groups * 8;
  }
  // The rest (4-bit pictures, a last band of fewer than 8 rows) pixel by pixel.
  for (; j < count; ++j) {
    const uint8_t* row = rows + size_t(j) * rowStride;
    for (int x = 0; x < width_; ++x) WidenPixels(row, x, x + 1, runOf(x) + size_t(place(j)) * 3, 3);
  }
}

void TiffOrientation::PutBand(Bitmap& upright, const uint8_t* rows, size_t rowStride, int firstY,
                              int count) const {
  if (width_ <= 0 || count <= 0) return;
  if (transposes_) {
    PutColumns(upright, rows, rowStride, firstY, count);
    return;
  }
  for (int j = 0; j < count; ++j) PutRow(upright, rows + size_t(j) * rowStride, firstY + j);
}

void TiffOrientation::Get(const Bitmap& upright, uint8_t* row, int y) const {
  if (width_ <= 0) return;
  ptrdiff_t step = 0;
  const uint8_t* from = First(upright, y, step);
  const int bpp = upright.bitsPerPixel() / 8;
  if (bpp == 1) Gather<1>(row, from, step, width_);
  if (bpp == 3) Gather<3>(row, from, step, width_);
  if (bpp == 4) Gather<4>(row, from, step, width_);
}

void ApplyOrientation(Bitmap& bitmap, int orientation) {
  const TiffOrientation turn(bitmap.width(), bitmap.height(), bitmap.bitsPerPixel(),
                             bitmap.palette(), orientation);
  if (!turn.Moves()) return;
  Bitmap upright(turn.UprightWidth(), turn.UprightHeight(), turn.UprightFormat());
  if (upright.indexed()) upright.setPalette(bitmap.palette());
  const int band = TiffOrientation::BandRows(bitmap.stride());
  for (int y = 0; y < bitmap.height(); y += band)
    turn.PutBand(upright, bitmap.scanLine(y), bitmap.stride(), y,
                 std::min(band, bitmap.height() - y));
  bitmap = std::move(upright);
}

}  // namespace vandrel
