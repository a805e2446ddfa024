#pragma once
// Large pictures in every format the loader reads, made here, and a comparison of decoded
// pictures.
#include <jpeglib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codecs/gif/GifEncoder.h"
#include "codecs/tiff/TiffEncoder.h"
#include "platform/Bitmap.h"
#include "platform/Bmp.h"

namespace vandrel::testing {

// Smooth shading with some noise on it, so that compressed files are neither tiny nor
// larger than the pixels.
inline Bitmap ShadedPicture(int width, int height, PixelFormat format, uint32_t seed) {
  Bitmap out(width, height, format);
  if (format == PixelFormat::pf8bit) out.setPalette(GreyRamp());
  std::mt19937 random(seed);
  const int bytes = format == PixelFormat::pf8bit ? 1 : 3;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = out.scanLine(y);
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < bytes; ++c)
        row[x * bytes + c] = uint8_t((x * (c + 1) + y * (3 - c)) / 8 + int(random() % 24));
  }
  return out;
}

inline std::vector<uint8_t> TiffFile(const Bitmap& picture, uint8_t compression) {
  std::vector<uint8_t> out;
  TTIFFEncoder encoder(&out);
  encoder.Encode(picture, compression, "", "", "");
  return out;
}

inline std::vector<uint8_t> GifFile(const Bitmap& picture) {
  std::vector<uint8_t> out;
  {
    TGIFEncoder encoder(&out);
    encoder.WriteHeader(uint16_t(picture.width()), uint16_t(picture.height()), 0, 0, nullptr, "");
    encoder.AddFrame(&picture, &picture.palette(), 0, 0, 0, 0, false, 0, "");
  }
  return out;
}

// A colour JPEG of a 24-bit picture (blue, green, red rows).
inline std::vector<uint8_t> JpegFile(const Bitmap& picture, int quality) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = JDIMENSION(picture.width());
  c.image_height = JDIMENSION(picture.height());
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> rgb(size_t(picture.width()) * 3);
  for (int y = 0; y < picture.height(); ++y) {
    const uint8_t* src = picture.scanLine(y);
    for (int x = 0; x < picture.width(); ++x) {
      rgb[size_t(x) * 3] = src[x * 3 + 2];
      rgb[size_t(x) * 3 + 1] = src[x * 3 + 1];
      rgb[size_t(x) * 3 + 2] = src[x * 3];
    }
    JSAMPROW row = rgb.data();
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  jpeg_destroy_compress(&c);
  return out;
}

// Same size, pixel format, palette and pixels (the bytes of each row that hold pixels).
inline bool SamePicture(const Bitmap& a, const Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height() || a.bitsPerPixel() != b.bitsPerPixel() ||
      a.palette() != b.palette())
    return false;
  const size_t rowBytes = (size_t(a.width()) * size_t(a.bitsPerPixel()) + 7) / 8;
  for (int y = 0; y < a.height(); ++y)
    if (std::memcmp(a.scanLine(y), b.scanLine(y), rowBytes) != 0) return false;
  return true;
}

}  // namespace vandrel::testing
