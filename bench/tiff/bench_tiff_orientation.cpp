// Opens a 26000 x 27500 bilevel PackBits page (about 1.4 MB, a scanned drawing) stored with
// each Orientation and prints the time of each against the upright page. Every value but 1
// widens the page to 24 bits (2.1 GB); 5 to 8 also turn its rows into columns.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "MemoryTiff.h"
#include "codecs/tiff/TiffImage.h"

namespace {

constexpr uint32_t kWidth = 26000, kHeight = 27500;

// White paper with black lines every few hundred rows and columns and a few blots.
std::vector<uint8_t> Write(uint16_t orientation) {
  benchtiff::MemoryFile file;
  TIFF* tif = benchtiff::OpenMemory(file, "w");
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_PACKBITS);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, orientation);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 64);
  std::vector<uint8_t> row((kWidth + 7) / 8);
  for (uint32_t y = 0; y < kHeight; ++y) {
    std::fill(row.begin(), row.end(), uint8_t(y % 400 < 3 ? 0xFF : 0));
    for (size_t b = 0; b < row.size(); b += 50) row[b] = 0x18;
    if (y % 1000 < 40)
      for (size_t b = (y / 1000) * 97 % 3000; b < (y / 1000) * 97 % 3000 + 20; ++b) row[b] = 0xFF;
    TIFFWriteScanline(tif, row.data(), y, 0);
  }
  TIFFClose(tif);
  return file.bytes;
}

volatile uint64_t sink;

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  TIFFSetWarningHandler(nullptr);
  std::printf("%-12s %9s %10s %9s\n", "orientation", "file KB", "ms", "/upright");
  double upright = 0;
  for (uint16_t o = 1; o <= 8; ++o) {
    const std::vector<uint8_t> bytes = Write(o);
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
      const auto start = std::chrono::steady_clock::now();
      const vandrel::Bitmap b = vandrel::DecodeTiff(bytes);
      times.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count());
      sink = b.scanLine(b.height() / 2)[b.stride() / 2];
    }
    std::sort(times.begin(), times.end());
    const double ms = times[times.size() / 2];
    if (o == 1) upright = ms;
    std::printf("%-12u %9zu %10.1f %9.2f\n", unsigned(o), bytes.size() / 1024, ms, ms / upright);
  }
  return 0;
}
