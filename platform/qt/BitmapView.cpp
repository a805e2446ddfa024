#include "platform/qt/BitmapView.h"

#include <algorithm>
#include <cstring>

namespace vandrel {

namespace {

// The palette as a colour table of `size` entries; entries beyond the palette are black,
// as the bitmap shows them.
QList<QRgb> colourTable(const Palette& palette, int size) {
  QList<QRgb> table(size, qRgb(0, 0, 0));
  for (int i = 0; i < size && size_t(i) < palette.size(); ++i)
    table[i] = qRgb(palette[i].red, palette[i].green, palette[i].blue);
  return table;
}

Palette paletteOf(const QList<QRgb>& table) {
  Palette p;
  for (int i = 0; i < table.size() && i < 256; ++i)
    p.push_back({uint8_t(qRed(table[i])), uint8_t(qGreen(table[i])), uint8_t(qBlue(table[i]))});
  return p;
}

// Copies `rowBytes` bytes of every row of the image into the bitmap.
void copyRows(const QImage& image, Bitmap& out, size_t rowBytes) {
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(out.scanLine(y), image.constScanLine(y), rowBytes);
}

// Qt takes the fourth byte of Format_RGB32 for 0xFF and copies it as alpha when it paints
// onto a surface with an alpha channel; any other value would come out transparent.
bool fourthBytesOpaque(const Bitmap& bitmap) {
  for (int y = 0; y < bitmap.height(); ++y) {
    const uint8_t* p = bitmap.scanLine(y);
    uint8_t all = 0xFF;
    for (int x = 0; x < bitmap.width(); ++x) all &= p[4 * x + 3];
    if (all != 0xFF) return false;
  }
  return true;
}

// An image of its own whose pixels live in a pixel block, so that a large one takes its
// memory as a bitmap does; the image frees the block with its last copy.
QImage blockImage(int width, int height, int bits, QImage::Format format) {
  const size_t stride = Bitmap::strideFor(width, PixelFormat(bits));
  auto* block = new PixelBlock(stride * size_t(height));
  return QImage(
      block->data(), width, height, qsizetype(stride), format,
      [](void* b) { delete static_cast<PixelBlock*>(b); }, block);
}

QImage opaqueCopy(const Bitmap& bitmap) {
  QImage out = blockImage(bitmap.width(), bitmap.height(), 32, QImage::Format_RGB32);
  for (int y = 0; y < bitmap.height(); ++y) {
    const uint8_t* in = bitmap.scanLine(y);
    auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < bitmap.width(); ++x, in += 4) row[x] = qRgb(in[2], in[1], in[0]);
  }
  return out;
}

}  // namespace

QImage BitmapView(const Bitmap& bitmap) {
  if (bitmap.empty()) return {};
  const int w = bitmap.width(), h = bitmap.height();
  const qsizetype stride = qsizetype(bitmap.stride());
  switch (bitmap.format()) {
    case PixelFormat::pf1bit: {
      QImage view(bitmap.bits(), w, h, stride, QImage::Format_Mono);
      view.setColorTable(colourTable(bitmap.palette(), 2));
      return view;
    }
    case PixelFormat::pf4bit: {
      QImage out = blockImage(w, h, 8, QImage::Format_Indexed8);
      for (int y = 0; y < h; ++y) {
        const uint8_t* in = bitmap.scanLine(y);
        uint8_t* row = out.scanLine(y);
        for (int x = 0; x < w; ++x) row[x] = (x & 1) ? (in[x >> 1] & 0x0F) : (in[x >> 1] >> 4);
      }
      out.setColorTable(colourTable(bitmap.palette(), 16));
      return out;
    }
    case PixelFormat::pf8bit: {
      QImage view(bitmap.bits(), w, h, stride, QImage::Format_Indexed8);
      view.setColorTable(colourTable(bitmap.palette(), 256));
      return view;
    }
    case PixelFormat::pf24bit:
      return QImage(bitmap.bits(), w, h, stride, QImage::Format_BGR888);
    case PixelFormat::pf32bit:
      if (fourthBytesOpaque(bitmap))
        return QImage(bitmap.bits(), w, h, stride, QImage::Format_RGB32);
      return opaqueCopy(bitmap);
  }
  return {};
}

Bitmap BitmapFromQImage(const QImage& image) {
  if (image.isNull()) return {};
  const int w = image.width(), h = image.height();
  switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: {
      const QImage mono = image.format() == QImage::Format_Mono
                              ? image
                              : image.convertToFormat(QImage::Format_Mono);
      Bitmap out(w, h, PixelFormat::pf1bit);
      copyRows(mono, out, size_t(w + 7) / 8);
      // Qt leaves the bits after the last pixel undefined; the bitmap keeps them clear.
      if (w % 8)
        for (int y = 0; y < h; ++y) out.scanLine(y)[w / 8] &= uint8_t(0xFF << (8 - w % 8));
      out.setPalette(paletteOf(mono.colorTable()));
      return out;
    }
    case QImage::Format_Indexed8: {
      Bitmap out(w, h, PixelFormat::pf8bit);
      copyRows(image, out, size_t(w));
      out.setPalette(paletteOf(image.colorTable()));
      return out;
    }
    case QImage::Format_Grayscale8: {
      Bitmap out(w, h, PixelFormat::pf8bit);
      copyRows(image, out, size_t(w));
      out.setPalette(GreyRamp());
      return out;
    }
    case QImage::Format_RGB32: {
      Bitmap out(w, h, PixelFormat::pf32bit);
      copyRows(image, out, size_t(w) * 4);
      return out;
    }
    default: {
      const QImage bgr = image.format() == QImage::Format_BGR888
                             ? image
                             : image.convertToFormat(QImage::Format_BGR888);
      Bitmap out(w, h, PixelFormat::pf24bit);
      copyRows(bgr, out, size_t(w) * 3);
      return out;
    }
  }
}

}  // namespace vandrel
