// Times the picture loader against Qt's image reader on the same 4096 x 4096 files (an
// 8-bit and a 24-bit BMP and a colour JPEG written here), then the bitmap's conversions.
// Prints the best of several runs of each. Then the picture loader on 2048 x 2048 TIFF
// files against libtiff reading the strips of the same files into a fresh buffer, as the
// ratio libtiff / loader (1 or more: the loader is no slower). Last, opening 8000 x 6000
// pictures (JPEG, uncompressed RGB and grey TIFF, LZW RGB TIFF) into a fresh bitmap per
// run against the library decoding into a buffer it reuses. "large" or "tiff" as the only
// argument runs that part alone.
#include <unistd.h>

#include <QCoreApplication>
#include <QImage>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

// After <cstdio>: libjpeg needs FILE and size_t declared.
#include <jpeglib.h>
#include <tiffio.h>

#include "bench/support/BestTime.h"
#include "codecs/tiff/TiffImage.h"
#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "platform/PictureLoader.h"
#include "platform/qt/BitmapView.h"

using namespace vandrel;

namespace {

constexpr int kSide = 4096;
constexpr int kRuns = 5;

double bestOf(const std::function<void()>& f, int runs = kRuns) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    f();
    best = std::min(
        best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

// A micrograph-like picture: smooth phases with grain noise.
Bitmap makePicture(PixelFormat format) {
  Bitmap b(kSide, kSide, PixelFormat::pf24bit);
  std::mt19937 rng(42);
  for (int y = 0; y < kSide; ++y) {
    uint8_t* row = b.scanLine(y);
    for (int x = 0; x < kSide; ++x) {
      const int phase = ((x / 300 + y / 200) % 3) * 70 + 40;
      const int noise = int(rng() % 24) - 12;
      row[3 * x] = uint8_t(std::clamp(phase + noise, 0, 255));
      row[3 * x + 1] = uint8_t(std::clamp(phase + noise / 2 + 10, 0, 255));
      row[3 * x + 2] = uint8_t(std::clamp(255 - phase + noise, 0, 255));
    }
  }
  if (format == PixelFormat::pf8bit) {
    Bitmap grey(kSide, kSide, PixelFormat::pf8bit);
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) grey.scanLine(y)[x] = b.scanLine(y)[3 * x + 1];
    grey.setPalette(GreyRamp());
    return grey;
  }
  return b;
}

void writeJpeg(const Bitmap& b, const std::string& path) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::perror(path.c_str());
    std::exit(1);
  }
  jpeg_stdio_dest(&c, f);
  c.image_width = JDIMENSION(b.width());
  c.image_height = JDIMENSION(b.height());
  c.input_components = 3;
  c.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(b.scanLine(int(c.next_scanline)));
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
}

// Runs of the two readers alternate, so that neither finds the memory the other freed
// more often.
void compare(const char* name, const std::string& path) {
  int w = 0;
  double ours = 1e9, qt = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    ours = std::min(ours, bestOf([&] { w = LoadPicture(path).width(); }, 1));
    qt = std::min(qt, bestOf(
                          [&] {
                            QImage image;
                            if (!image.load(QString::fromStdString(path)))
                              std::fprintf(stderr, "Qt cannot read %s\n", path.c_str());
                          },
                          1));
  }
  std::printf("%-28s ours %7.1f ms   Qt %7.1f ms   (Qt / ours %.2f)\n", name, ours * 1e3, qt * 1e3,
              qt / ours);
  if (w != kSide) std::printf("  unexpected width %d\n", w);
}

// A TIFF as libtiff writes it: grey or RGB, one compression, strips of libtiff's default
// size; `sample(x, y, c)` gives each sample, row by row.
template <typename Sample>
void writeLibtiff(const std::string& path, uint32_t width, uint32_t height, uint16_t samples,
                  uint16_t compression, Sample sample) {
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, samples == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  std::vector<uint8_t> row(size_t(width) * samples);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x)
      for (uint32_t c = 0; c < samples; ++c) row[size_t(x) * samples + c] = sample(x, y, c);
    TIFFWriteScanline(tif, row.data(), y, 0);
  }
  TIFFClose(tif);
}

// A 2048 x 2048 micrograph-like TIFF.
void writeTiff(const std::string& path, uint16_t samples, uint16_t compression) {
  constexpr uint32_t kTiffSide = 2048;
  std::mt19937 rng(7);
  writeLibtiff(path, kTiffSide, kTiffSide, samples, compression,
               [&rng](uint32_t x, uint32_t y, uint32_t c) {
                 const uint32_t grain = ((x / 37) * 2654435761u ^ (y / 29) * 40503u) >> 24;
                 return uint8_t(grain + c * 40 + (rng() & 3));
               });
}

volatile uint64_t sink;

// libtiff's strips of the file into a buffer the caller keeps from run to run.
void libtiffInto(const std::string& path, std::vector<uint8_t>& image) {
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  if (!tif) return;
  image.resize(size_t(TIFFStripSize(tif)) * TIFFNumberOfStrips(tif));
  size_t at = 0;
  for (uint32_t s = 0; s < TIFFNumberOfStrips(tif); ++s) {
    const tmsize_t n = TIFFReadEncodedStrip(tif, s, image.data() + at, -1);
    if (n > 0) at += size_t(n);
  }
  sink = image[at / 2];
  TIFFClose(tif);
}

// libtiff's fastest whole-image read: the strips of the file into one fresh buffer.
void libtiffStrips(const std::string& path) {
  std::vector<uint8_t> image;
  libtiffInto(path, image);
}

void compareTiffLoading(const std::filesystem::path& dir) {
  RegisterTiffFormat();
  TIFFSetWarningHandler(nullptr);
  const struct {
    const char* name;
    uint16_t samples, compression;
  } cases[] = {
      {"grey, uncompressed", 1, COMPRESSION_NONE},
      {"grey, PackBits", 1, COMPRESSION_PACKBITS},
      {"RGB, uncompressed", 3, COMPRESSION_NONE},
      {"RGB, PackBits", 3, COMPRESSION_PACKBITS},
  };
  constexpr int kTiffRuns = 25;
  std::printf("\nLoading 2048 x 2048 TIFF files, best of %d runs\n", kTiffRuns);
  for (const auto& c : cases) {
    const std::string path =
        (dir / (std::to_string(c.samples) + "-" + std::to_string(c.compression) + ".tif")).string();
    writeTiff(path, c.samples, c.compression);
    double ours = 1e9, theirs = 1e9;
    for (int i = 0; i < kTiffRuns; ++i) {
      ours = std::min(ours, bench::BestMs(1, [&] { sink = LoadPicture(path).scanLine(7)[7]; }));
      theirs = std::min(theirs, bench::BestMs(1, [&] { libtiffStrips(path); }));
    }
    std::printf("%-28s ours %7.2f ms   libtiff strips %7.2f ms   (libtiff / ours %.2f)\n", c.name,
                ours, theirs, theirs / ours);
  }
}

// An 8000 x 6000 micrograph-like picture, as users' cameras give them: phases with grain.
constexpr int kLargeWidth = 8000, kLargeHeight = 6000;

uint8_t largeSample(int x, int y, int c) {
  const uint32_t grain = ((uint32_t(x) / 41) * 2654435761u ^ (uint32_t(y) / 33) * 40503u) >> 26;
  const uint32_t noise = ((uint32_t(x) * 1103515245u + uint32_t(y) * 12345u) >> 16) & 15;
  return uint8_t(30 + 3 * grain + noise + 50 * c + (x + y) / 160);
}

// The large picture as libtiff writes it.
void writeLargeTiff(const std::string& path, uint16_t samples, uint16_t compression) {
  writeLibtiff(
      path, kLargeWidth, kLargeHeight, samples, compression,
      [](uint32_t x, uint32_t y, uint32_t c) { return largeSample(int(x), int(y), int(c)); });
}

void writeLargeJpeg(const std::string& path) {
  Bitmap b(kLargeWidth, kLargeHeight, PixelFormat::pf24bit);
  for (int y = 0; y < kLargeHeight; ++y)
    for (int x = 0; x < kLargeWidth; ++x)
      for (int c = 0; c < 3; ++c) b.scanLine(y)[3 * x + c] = largeSample(x, y, c);
  writeJpeg(b, path);
}

// libjpeg-turbo reading the file into a buffer the caller keeps from run to run.
void libjpegInto(const std::string& path, std::vector<uint8_t>& image) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return;
  jpeg_decompress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_decompress(&c);
  jpeg_stdio_src(&c, f);
  jpeg_read_header(&c, TRUE);
  c.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&c);
  const size_t stride = size_t(c.output_width) * 3;
  image.resize(stride * c.output_height);
  while (c.output_scanline < c.output_height) {
    JSAMPROW row = image.data() + size_t(c.output_scanline) * stride;
    jpeg_read_scanlines(&c, &row, 1);
  }
  jpeg_finish_decompress(&c);
  jpeg_destroy_decompress(&c);
  std::fclose(f);
  sink = image[image.size() / 2];
}

// Opening 8000 x 6000 pictures as the image window does: a fresh bitmap each run, freed
// after it, against the library decoding the same file into a buffer it reuses (and
// libtiff also into a fresh buffer), runs alternating.
void compareLargeLoading(const std::filesystem::path& dir) {
  RegisterTiffFormat();
  TIFFSetWarningHandler(nullptr);
  constexpr int kLargeRuns = 7;
  std::printf("\nOpening %d x %d pictures, best of %d runs\n", kLargeWidth, kLargeHeight,
              kLargeRuns);
  const struct {
    const char* name;
    uint16_t samples, compression;  // 0 samples: JPEG
  } cases[] = {
      {"JPEG, quality 90", 0, 0},
      {"RGB TIFF, uncompressed", 3, COMPRESSION_NONE},
      {"grey TIFF, uncompressed", 1, COMPRESSION_NONE},
      {"RGB TIFF, LZW", 3, COMPRESSION_LZW},
  };
  for (const auto& c : cases) {
    const std::string path = (dir / (c.samples == 0 ? std::string("large.jpg")
                                                    : "large-" + std::to_string(c.samples) + "-" +
                                                          std::to_string(c.compression) + ".tif"))
                                 .string();
    if (c.samples == 0)
      writeLargeJpeg(path);
    else
      writeLargeTiff(path, c.samples, c.compression);
    std::vector<uint8_t> reused;
    double ours = 1e9, theirs = 1e9, fresh = 1e9;
    for (int i = 0; i < kLargeRuns; ++i) {
      ours = std::min(ours, bench::BestMs(1, [&] { sink = LoadPicture(path).scanLine(7)[7]; }));
      theirs = std::min(theirs, bench::BestMs(1, [&] {
                          if (c.samples == 0)
                            libjpegInto(path, reused);
                          else
                            libtiffInto(path, reused);
                        }));
      if (c.samples != 0) fresh = std::min(fresh, bench::BestMs(1, [&] { libtiffStrips(path); }));
    }
    if (c.samples == 0)
      std::printf(
          "%-26s ours %7.1f ms   libjpeg-turbo, reused buffer %7.1f ms   (ours / it %.2f)\n",
          c.name, ours, theirs, ours / theirs);
    else
      std::printf(
          "%-26s ours %7.1f ms   libtiff strips, reused buffer %7.1f ms   (ours / it %.2f)   "
          "fresh buffer %7.1f ms\n",
          c.name, ours, theirs, ours / theirs, fresh);
    std::filesystem::remove(path);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("vandrel-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  // "large" or "tiff" alone runs that part only.
  const std::string only = argc > 1 ? argv[1] : "";
  if (only == "large" || only == "tiff") {
    if (only == "large")
      compareLargeLoading(dir);
    else
      compareTiffLoading(dir);
    std::filesystem::remove_all(dir);
    return 0;
  }
  const std::string bmp8 = (dir / "grey.bmp").string(), bmp24 = (dir / "colour.bmp").string(),
                    jpeg = (dir / "colour.jpg").string();
  const Bitmap grey = makePicture(PixelFormat::pf8bit), colour = makePicture(PixelFormat::pf24bit);
  SaveBmp(grey, bmp8);
  SaveBmp(colour, bmp24);
  writeJpeg(colour, jpeg);

  std::printf("Loading %d x %d pictures, best of %d runs\n", kSide, kSide, kRuns);
  compare("8-bit BMP", bmp8);
  compare("24-bit BMP", bmp24);
  compare("JPEG (colour, quality 90)", jpeg);

  std::printf("\nConversions of %d x %d bitmaps, best of %d runs\n", kSide, kSide, kRuns);
  auto convert = [&](const char* name, const Bitmap& source, PixelFormat to) {
    Bitmap b;
    const double t = bestOf([&] {
      b = source;  // the copy is timed apart below
      b.setPixelFormat(to);
    });
    const double copy = bestOf([&] { b = source; });
    std::printf("%-28s %7.1f ms\n", name, (t - copy) * 1e3);
  };
  Bitmap grey24 = grey;
  grey24.setPixelFormat(PixelFormat::pf24bit);
  Bitmap few = grey;  // 24 bits of at most 256 colours, not grey
  Palette colours(256);
  for (int k = 0; k < 256; ++k) colours[k] = {uint8_t(k), uint8_t(255 - k), uint8_t(k / 2)};
  few.setPalette(colours);
  few.setPixelFormat(PixelFormat::pf24bit);
  convert("24 -> 8 grey", grey24, PixelFormat::pf8bit);
  convert("24 -> 8 exact palette", few, PixelFormat::pf8bit);
  convert("24 -> 8 median cut", colour, PixelFormat::pf8bit);
  convert("8 -> 24", grey, PixelFormat::pf24bit);
  convert("24 -> 32", colour, PixelFormat::pf32bit);
  const double view = bestOf([&] { (void)BitmapView(grey).width(); });
  std::printf("%-28s %7.3f ms\n", "8-bit QImage view", view * 1e3);

  compareTiffLoading(dir);
  compareLargeLoading(dir);

  std::filesystem::remove_all(dir);
  return 0;
}
