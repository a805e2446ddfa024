// Encodes a 2048 x 2048 8-bit picture as an LZW TIFF with our writer and with libtiff
// (into memory, 32 KB strips for both) and prints the times and the ratio libtiff / ours
// (above 1: ours is faster); a 4096 x 4096 picture is timed with ours alone.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "MemoryTiff.h"
#include "codecs/tiff/TiffEncoder.h"
#include "codecs/tiff/TiffImage.h"

namespace {

// A picture with the texture of a micrograph: smooth grains, edges and a little noise.
vandrel::Bitmap Micrograph(int side) {
  vandrel::Bitmap b(side, side, vandrel::PixelFormat::pf8bit);
  b.setPalette(vandrel::GreyRamp());
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const uint32_t grain = ((uint32_t(x) / 37) * 2654435761u ^ (uint32_t(y) / 29) * 40503u) >> 24;
      const uint32_t noise = ((uint32_t(x) * 1103515245u + uint32_t(y) * 12345u) >> 16) & 7;
      b.scanLine(y)[x] = uint8_t(grain + uint32_t(x + y) / 64 + noise);
    }
  return b;
}

double Milliseconds(const std::function<void()>& run, int repeats) {
  std::vector<double> times;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

size_t EncodeOurs(const vandrel::Bitmap& b) {
  std::vector<uint8_t> out;
  vandrel::TTIFFEncoder encoder(&out);
  encoder.Encode(b, 4, "", "", "");
  return out.size();
}

size_t EncodeLibtiff(const vandrel::Bitmap& b) {
  benchtiff::MemoryFile file;
  TIFF* tif = benchtiff::OpenMemory(file, "w");
  const uint32_t side = uint32_t(b.width());
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, side);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, side);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 32768 / side);
  for (uint32_t y = 0; y < side; ++y)
    TIFFWriteScanline(tif, const_cast<uint8_t*>(b.scanLine(int(y))), y, 0);
  TIFFClose(tif);
  return file.bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const vandrel::Bitmap picture = Micrograph(2048);
  // The file must come back as the picture before its time means anything.
  {
    std::vector<uint8_t> out;
    vandrel::TTIFFEncoder encoder(&out);
    encoder.Encode(picture, 4, "", "", "");
    const vandrel::Bitmap back = vandrel::DecodeTiff(out);
    for (int y = 0; y < picture.height(); ++y)
      if (!std::equal(picture.scanLine(y), picture.scanLine(y) + picture.width(),
                      back.scanLine(y))) {
        std::printf("the LZW file does not read back\n");
        return 1;
      }
  }
  size_t oursSize = 0, theirSize = 0;
  const double ours = Milliseconds([&] { oursSize = EncodeOurs(picture); }, repeats);
  const double libtiff = Milliseconds([&] { theirSize = EncodeLibtiff(picture); }, repeats);
  std::printf(
      "2048 x 2048 8-bit LZW: ours %.2f ms (%zu KB), libtiff %.2f ms (%zu KB), libtiff/ours %.2f\n",
      ours, oursSize / 1024, libtiff, theirSize / 1024, libtiff / ours);
  const vandrel::Bitmap large = Micrograph(4096);
  const double big = Milliseconds([&] { EncodeOurs(large); }, 3);
  std::printf("4096 x 4096 8-bit LZW: ours %.2f ms\n", big);
  return 0;
}
