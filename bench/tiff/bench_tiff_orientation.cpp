// Opens a 26000 x 27500 bilevel PackBits page (about 1.4 MB, a scanned drawing) stored with
// each Orientation and prints the time of each against the upright page and against what
// memory allows for the page it gives. Every value but 1 widens the page to 24 bits
// (2.1 GB); 5 to 8 also turn its rows into columns.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "MemoryTiff.h"
#include "codecs/tiff/TiffImage.h"

namespace {

constexpr uint32_t kWidth = 26000, kHeight = 27500;

// White paper with a black line every 400 rows and a few blots.
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
  // What memory allows: the 24-bit bitmap of a turned page made and written once.
  std::vector<double> floor;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    vandrel::Bitmap b(int(kHeight), int(kWidth), vandrel::PixelFormat::pf24bit);
    std::memset(b.bits(), 0x7F, b.byteSize());
    floor.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    sink = b.scanLine(b.height() / 2)[b.stride() / 2];
  }
  std::sort(floor.begin(), floor.end());
  std::printf("memory floor: 24-bit bitmap of %u x %u made and written once: %.1f ms\n", kHeight,
              kWidth, floor[floor.size() / 2]);
  std::printf("%-12s %9s %10s %9s %9s\n", "orientation", "file KB", "ms", "/upright", "/floor");
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
    std::printf("%-12u %9zu %10.1f %9.2f %9.2f\n", unsigned(o), bytes.size() / 1024, ms,
                ms / upright, ms / floor[floor.size() / 2]);
  }
  return 0;
}
