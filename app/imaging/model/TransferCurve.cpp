// A point operation through a lookup table (Gonzalez & Woods, Digital Image Processing,
// ch. 3): every pixel is replaced by the table entry of its grey level.
#include "app/imaging/model/TransferCurve.h"

#include <bit>
#include <cstring>
#include <memory>

namespace vandrel {

TransferCurve IdentityCurve() {
  TransferCurve c;
  for (int i = 0; i < 256; ++i) c[size_t(i)] = uint8_t(i);
  return c;
}

namespace {

void MapBytes(const uint8_t* src, uint8_t* dst, size_t n, const TransferCurve& curve) {
  for (size_t x = 0; x < n; ++x) dst[x] = curve[src[x]];
}

// Maps `n` bytes of `src` into `dst` two at a time through a table of byte pairs (little
// endian: low byte first). One look-up per two pixels halves the dependent loads of a
// byte table; the 128 KB table stays in the second-level cache.
void MapPairs(const uint16_t* pairs, const uint8_t* src, uint8_t* dst, size_t n,
              const TransferCurve& curve) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t in;
    std::memcpy(&in, src + i, 8);
    const uint64_t out = uint64_t(pairs[in & 0xFFFF]) | uint64_t(pairs[(in >> 16) & 0xFFFF]) << 16 |
                         uint64_t(pairs[(in >> 32) & 0xFFFF]) << 32 |
                         uint64_t(pairs[in >> 48]) << 48;
    std::memcpy(dst + i, &out, 8);
  }
  MapBytes(src + i, dst + i, n - i, curve);
}

}  // namespace

Bitmap ApplyCurve(const Bitmap& source, const TransferCurve& curve) {
  if (source.format() != PixelFormat::pf8bit || source.empty()) return source;
  Bitmap out(source.width(), source.height(), PixelFormat::pf8bit);
  out.setPalette(source.palette());
  const size_t n = size_t(source.width());
  const int h = source.height();

  // Small images: the pair table would cost more to fill than it saves. The pair layout
  // also assumes the low byte first in memory.
  if (n * size_t(h) < (size_t(1) << 18) || std::endian::native != std::endian::little) {
    for (int y = 0; y < h; ++y) MapBytes(source.scanLine(y), out.scanLine(y), n, curve);
    return out;
  }
  auto pairs = std::make_unique<uint16_t[]>(65536);
  for (unsigned hi = 0; hi < 256; ++hi)
    for (unsigned lo = 0; lo < 256; ++lo)
      pairs[hi << 8 | lo] = uint16_t(curve[lo] | curve[hi] << 8);
  for (int y = 0; y < h; ++y) MapPairs(pairs.get(), source.scanLine(y), out.scanLine(y), n, curve);
  return out;
}

}  // namespace vandrel
