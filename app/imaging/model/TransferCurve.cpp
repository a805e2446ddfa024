// A point operation through a lookup table (Gonzalez & Woods, Digital Image Processing,
// ch. 3): every pixel is replaced by the table entry of its grey level.
#include "app/imaging/model/TransferCurve.h"

#include "app/imaging/model/PixelRows.h"

namespace vandrel {

TransferCurve IdentityCurve() {
  TransferCurve c;
  for (int i = 0; i < 256; ++i) c[size_t(i)] = uint8_t(i);
  return c;
}

Bitmap ApplyCurve(const Bitmap& source, const TransferCurve& curve) {
  if (source.format() != PixelFormat::pf8bit || source.empty()) return source;
  Bitmap out(source.width(), source.height(), PixelFormat::pf8bit);
  out.setPalette(source.palette());
  const size_t n = size_t(source.width());
  const auto map = pixels::Kernels().table;
  for (int y = 0; y < source.height(); ++y)
    map(source.scanLine(y), out.scanLine(y), n, curve.data());
  return out;
}

}  // namespace vandrel
