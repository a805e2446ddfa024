// Decodes 2048 x 2048 8-bit and 24-bit TIFFs (none, PackBits, LZW, LZW with predictor) with
// our reader and with libtiff from the same bytes in memory, and prints the times and the
// ratio libtiff / ours (above 1: ours is faster). libtiff is timed twice: reading the
// strips into one buffer (TIFFReadEncodedStrip, its fastest path) and producing a display
// raster (TIFFReadRGBAImage), the nearest to what our reader delivers.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "MemoryTiff.h"
#include "codecs/tiff/TiffImage.h"

namespace {

constexpr uint32_t kSide = 2048;

// A picture with the texture of a micrograph: smooth grains, edges and a little noise.
uint8_t Sample(uint32_t x, uint32_t y, uint32_t c) {
  const uint32_t grain = ((x / 37) * 2654435761u ^ (y / 29) * 40503u) >> 24;
  const uint32_t noise = ((x * 1103515245u + y * 12345u + c * 7u) >> 16) & 7;
  return uint8_t((grain + (x + y) / 64 + c * 40 + noise) & 0xFF);
}

std::vector<uint8_t> Write(uint16_t samples, uint16_t compression, bool predictor) {
  benchtiff::MemoryFile file;
  TIFF* tif = benchtiff::OpenMemory(file, "w");
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kSide);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kSide);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, samples == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
  if (predictor) TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  std::vector<uint8_t> row(size_t(kSide) * samples);
  for (uint32_t y = 0; y < kSide; ++y) {
    for (uint32_t x = 0; x < kSide; ++x)
      for (uint32_t c = 0; c < samples; ++c) row[size_t(x) * samples + c] = Sample(x, y, c);
    TIFFWriteScanline(tif, row.data(), y, 0);
  }
  TIFFClose(tif);
  return file.bytes;
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

volatile uint64_t sink;

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  TIFFSetWarningHandler(nullptr);
  const struct {
    const char* name;
    uint16_t samples, compression;
    bool predictor;
  } cases[] = {
      {"8-bit none", 1, COMPRESSION_NONE, false},
      {"8-bit PackBits", 1, COMPRESSION_PACKBITS, false},
      {"8-bit LZW", 1, COMPRESSION_LZW, false},
      {"8-bit LZW+predictor", 1, COMPRESSION_LZW, true},
      {"24-bit none", 3, COMPRESSION_NONE, false},
      {"24-bit PackBits", 3, COMPRESSION_PACKBITS, false},
      {"24-bit LZW", 3, COMPRESSION_LZW, false},
      {"24-bit LZW+predictor", 3, COMPRESSION_LZW, true},
  };
  std::printf("%-22s %9s %10s %10s %10s %8s %8s\n", "2048 x 2048", "file KB", "ours ms",
              "strips ms", "RGBA ms", "strips/", "RGBA/");
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes = Write(c.samples, c.compression, c.predictor);
    // Both decoders must agree before their times mean anything.
    {
      const vandrel::Bitmap b = vandrel::DecodeTiff(bytes);
      bool same = b.width() == int(kSide) && b.height() == int(kSide);
      for (uint32_t y = 0; same && y < kSide; ++y)
        for (uint32_t x = 0; same && x < kSide; ++x)
          for (uint32_t s = 0; s < c.samples; ++s) {
            const uint8_t ours = b.scanLine(int(y))[x * c.samples + (c.samples == 3 ? 2 - s : s)];
            same = same && ours == Sample(x, y, s);
          }
      if (!same) {
        std::printf("%-22s decodes wrongly\n", c.name);
        return 1;
      }
    }
    const double ours = Milliseconds(
        [&] {
          const vandrel::Bitmap b = vandrel::DecodeTiff(bytes);
          sink = b.scanLine(b.height() / 2)[7];
        },
        repeats);
    const double strips = Milliseconds(
        [&] {
          benchtiff::MemoryFile file{bytes, 0};
          TIFF* tif = benchtiff::OpenMemory(file, "rm");  // read, no memory mapping
          std::vector<uint8_t> image(size_t(kSide) * kSide * c.samples);
          size_t at = 0;
          for (uint32_t s = 0; s < TIFFNumberOfStrips(tif); ++s) {
            const tmsize_t n = TIFFReadEncodedStrip(tif, s, image.data() + at, -1);
            if (n > 0) at += size_t(n);
          }
          sink = image[image.size() / 2];
          TIFFClose(tif);
        },
        repeats);
    const double rgba = Milliseconds(
        [&] {
          benchtiff::MemoryFile file{bytes, 0};
          TIFF* tif = benchtiff::OpenMemory(file, "rm");
          std::vector<uint32_t> raster(size_t(kSide) * kSide);
          TIFFReadRGBAImageOriented(tif, kSide, kSide, raster.data(), ORIENTATION_TOPLEFT, 0);
          sink = raster[raster.size() / 2];
          TIFFClose(tif);
        },
        repeats);
    std::printf("%-22s %9zu %10.2f %10.2f %10.2f %8.2f %8.2f\n", c.name, bytes.size() / 1024, ours,
                strips, rgba, strips / ours, rgba / ours);
  }
  return 0;
}
