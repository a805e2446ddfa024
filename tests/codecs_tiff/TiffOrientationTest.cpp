// Turned pages against libtiff: libtiff writes seeded random pictures of odd sizes with each
// Orientation, reads the stored picture back, and our upright picture must show every
// stored pixel where the orientation puts it (the placement below, written from the
// meaning of the tag, not from the reader). Bilevel pages above all: they are widened and
// turned a byte and a band at a time.
#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "TiffFixture.h"
#include "codecs/tiff/TiffImage.h"
#include "codecs/tiff/TiffPixels.h"

using namespace vandrel;
using namespace tifftest;

namespace {

class TempTiff {
 public:
  TempTiff() {
    static int serial = 0;
    path_ =
        (std::filesystem::temp_directory_path() /
         ("vandrel-orient-" + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".tif"))
            .string();
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
  }
  ~TempTiff() { std::filesystem::remove(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Where stored pixel (sx, sy) of a w x h picture is seen: the tag names the sides of the
// view that stored row 0 and stored column 0 lie on.
void UprightPosition(int o, int w, int h, int sx, int sy, int& x, int& y) {
  const bool rowsAreColumns = o >= 5;
  // Along a stored row (sx) and across the rows (sy), each forward or backward.
  const bool alongBackward = o == 2 || o == 3 || o == 7 || o == 8;
  const bool acrossBackward = o == 3 || o == 4 || o == 6 || o == 7;
  const int along = alongBackward ? w - 1 - sx : sx;
  const int across = acrossBackward ? h - 1 - sy : sy;
  x = rowsAreColumns ? across : along;
  y = rowsAreColumns ? along : across;
}

struct Page {
  int bits;  // 1, 4, 8 or 24
  uint16_t photometric, compression;
  int width, height;
  uint32_t rowsPerStrip;
};

// Writes a random page (runs and noise) with the orientation, its last strip cut to half
// its bytes and half a row with `cut`; returns its stored picture as libtiff reads it,
// 0xRRGGBB per pixel, rows top-down (empty for a cut page).
std::vector<uint32_t> WriteRandomPage(const Page& p, int orientation, uint32_t seed,
                                      const std::string& path, bool cut = false) {
  std::mt19937 random(seed);
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  if (tif == nullptr) return {};
  const int samples = p.bits == 24 ? 3 : 1;
  const int sampleBits = p.bits == 24 ? 8 : p.bits;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(p.width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(p.height));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(sampleBits));
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(samples));
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, p.photometric);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, p.compression);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, p.rowsPerStrip);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, uint16_t(orientation));
  if (p.photometric == PHOTOMETRIC_PALETTE) {
    std::vector<uint16_t> map[3];
    for (auto& m : map) {
      m.resize(size_t(1) << sampleBits);
      for (auto& v : m) v = uint16_t((random() & 0xFF) * 257);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, map[0].data(), map[1].data(), map[2].data());
  }
  const size_t rowBytes = (size_t(p.width) * size_t(p.bits) + 7) / 8;
  Bytes picture(rowBytes * size_t(p.height));
  for (size_t i = 0; i < picture.size(); ++i)
    picture[i] = random() % 3 == 0 && i > 0 ? picture[i - 1] : uint8_t(random());
  const uint32_t strips = (uint32_t(p.height) + p.rowsPerStrip - 1) / p.rowsPerStrip;
  for (uint32_t s = 0; s < strips; ++s) {
    const size_t first = size_t(s) * p.rowsPerStrip * rowBytes;
    size_t bytes = std::min(size_t(p.rowsPerStrip) * rowBytes, picture.size() - first);
    if (cut && s + 1 == strips) bytes = bytes / 2 + rowBytes / 2;
    if (TIFFWriteEncodedStrip(tif, s, picture.data() + first, tmsize_t(bytes)) < 0) return {};
  }
  TIFFClose(tif);
  if (cut) return {};

  std::vector<uint32_t> stored;
  tif = TIFFOpen(path.c_str(), "r");
  if (tif == nullptr) return {};
  TIFFRGBAImage img;
  char message[1024];
  if (TIFFRGBAImageBegin(&img, tif, 1, message)) {
    img.req_orientation = img.orientation;  // the picture as stored
    std::vector<uint32_t> raster(size_t(p.width) * size_t(p.height));
    if (TIFFRGBAImageGet(&img, raster.data(), uint32_t(p.width), uint32_t(p.height)))
      for (uint32_t v : raster)
        stored.push_back(TIFFGetR(v) << 16 | TIFFGetG(v) << 8 | TIFFGetB(v));
    TIFFRGBAImageEnd(&img);
  }
  TIFFClose(tif);
  return stored;
}

uint32_t Colour(const Bitmap& b, int x, int y) {
  const PaletteEntry c = b.pixelColor(x, y);
  return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
}

// The turned bitmap shows stored pixel (sx, sy) of the w x h picture, 0xRRGGBB, where
// orientation o puts it; `stored` holds the stored picture, rows top-down.
void ExpectTurned(const Bitmap& b, int o, int w, int h, const std::vector<uint32_t>& stored) {
  ASSERT_EQ(b.width(), o >= 5 ? h : w);
  ASSERT_EQ(b.height(), o >= 5 ? w : h);
  int wrong = 0;
  for (int sy = 0; sy < h; ++sy)
    for (int sx = 0; sx < w; ++sx) {
      int x, y;
      UprightPosition(o, w, h, sx, sy, x, y);
      const uint32_t want = stored[size_t(sy) * size_t(w) + size_t(sx)];
      if (Colour(b, x, y) != want && ++wrong <= 3)
        ADD_FAILURE() << "stored " << sx << "," << sy << " at " << x << "," << y << ": " << std::hex
                      << Colour(b, x, y) << " for " << want;
    }
}

TEST(TiffOrientationAgainstLibtiff, EveryOrientationOfRandomPages) {
  const Page pages[] = {
      // Bilevel: widths beside and on whole bytes, heights beside and on whole bands.
      {1, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS, 203, 141, 16},
      {1, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE, 67, 45, 7},
      {1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW, 9, 130, 130},
      {1, PHOTOMETRIC_PALETTE, COMPRESSION_NONE, 64, 64, 1},
      {1, PHOTOMETRIC_MINISWHITE, COMPRESSION_PACKBITS, 1, 1, 1},
      {1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, 8, 200, 33},
      {1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, 1001, 9, 4},
      // Four bits, eight bits and RGB through the same bands.
      {4, PHOTOMETRIC_PALETTE, COMPRESSION_LZW, 37, 75, 10},
      {4, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE, 36, 8, 8},
      {8, PHOTOMETRIC_PALETTE, COMPRESSION_PACKBITS, 45, 131, 20},
      {24, PHOTOMETRIC_RGB, COMPRESSION_LZW, 31, 77, 9},
  };
  uint32_t seed = 1;
  for (const Page& p : pages)
    for (int o = 1; o <= 8; ++o, ++seed) {
      SCOPED_TRACE(std::to_string(p.bits) + "-bit " + std::to_string(p.width) + " x " +
                   std::to_string(p.height) + " orientation " + std::to_string(o));
      TempTiff file;
      const std::vector<uint32_t> stored = WriteRandomPage(p, o, seed, file.path());
      ASSERT_EQ(stored.size(), size_t(p.width) * size_t(p.height));
      const Bitmap b = DecodeTiff(ReadFile(file.path()));
      if (o != 1 && p.bits < 8) {
        EXPECT_EQ(b.format(), PixelFormat::pf24bit);
      }
      ExpectTurned(b, o, p.width, p.height, stored);
    }
}

// A damaged page (its last strip cut within a row) shows the same whatever its
// orientation: what the upright page shows, turned. Empty rows of a widened page show
// palette index 0.
TEST(TiffOrientationAgainstLibtiff, ACutPageTurnsLikeTheUprightOne) {
  for (const uint16_t compression : {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_PACKBITS})
    for (const int bits : {1, 8}) {
      const Page p{bits, PHOTOMETRIC_MINISWHITE, compression, 150, 100, 30};
      std::vector<uint32_t> upright;
      for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE("compression " + std::to_string(compression) + ", " + std::to_string(bits) +
                     "-bit, orientation " + std::to_string(o));
        TempTiff file;
        WriteRandomPage(p, o, 99, file.path(), true);
        const Bitmap b = DecodeTiff(ReadFile(file.path()));
        if (o == 1) {
          ASSERT_EQ(b.height(), p.height);
          for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) upright.push_back(Colour(b, x, y));
          continue;
        }
        ExpectTurned(b, o, p.width, p.height, upright);
      }
    }
}

// The whole-bitmap transform turns by the same placement, band by band.
TEST(TiffOrientationAgainstLibtiff, ApplyOrientationOnRandomBilevelBitmaps) {
  std::mt19937 random(5);
  for (const auto& [w, h] : {std::pair{203, 141}, std::pair{8, 64}, std::pair{17, 3}})
    for (int o = 1; o <= 8; ++o) {
      SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h) + " orientation " +
                   std::to_string(o));
      Bitmap b(w, h, PixelFormat::pf1bit);
      b.setPalette({{10, 20, 30}, {200, 150, 100}});
      for (int y = 0; y < h; ++y)
        for (size_t i = 0; i < b.stride(); ++i) b.scanLine(y)[i] = uint8_t(random());
      Bitmap turned = b;
      ApplyOrientation(turned, o);
      std::vector<uint32_t> stored;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) stored.push_back(Colour(b, x, y));
      ExpectTurned(turned, o, w, h, stored);
    }
}

}  // namespace
