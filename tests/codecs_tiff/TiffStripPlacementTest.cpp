// Strips are placed by their index, as libtiff places them: strip s of plane p holds the
// rows from s * RowsPerStrip of that plane, whatever the strips before it held. libtiff
// writes the files (last strips padded to whole strips, planar and chunky, uncompressed
// and LZW) and reads them back without a warning; our decode must give the picture
// written, on seeded random pictures of odd sizes.
#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstdarg>
#include <filesystem>
#include <random>
#include <string>

#include "ExpectRefused.h"
#include "TiffFixture.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/tiff/TiffImage.h"

using namespace vandrel;
using namespace tifftest;

namespace {

int libtiffWarnings = 0;

void CountWarning(const char*, const char*, va_list) { ++libtiffWarnings; }

class LibtiffFile {
 public:
  LibtiffFile() {
    static int serial = 0;
    path_ =
        (std::filesystem::temp_directory_path() / ("vandrel-placement-" + std::to_string(getpid()) +
                                                   "-" + std::to_string(serial++) + ".tif"))
            .string();
    TIFFSetWarningHandler(CountWarning);
    TIFFSetErrorHandler(CountWarning);
  }
  ~LibtiffFile() { std::filesystem::remove(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A picture of random samples, chunky: sample c of pixel (x, y) at (y * width + x) * samples + c.
struct Picture {
  uint32_t width, height, samples;
  Bytes data;
  uint8_t At(uint32_t x, uint32_t y, uint32_t c) const {
    return data[(size_t(y) * width + x) * samples + c];
  }
};

Picture RandomPicture(uint32_t width, uint32_t height, uint32_t samples, uint32_t seed) {
  Picture p{width, height, samples, Bytes(size_t(width) * height * samples)};
  std::mt19937 random(seed);
  // Runs and noise, so that LZW builds long strings and short ones.
  for (size_t i = 0; i < p.data.size(); ++i)
    p.data[i] = random() % 4 == 0 && i > 0 ? p.data[i - 1] : uint8_t(random());
  return p;
}

struct PlacementCase {
  const char* name;
  uint32_t samples;  // 1 grey, 3 RGB
  uint16_t planar;
  uint16_t compression;
  uint32_t width, height, rowsPerStrip;
  // Bytes of the strip as given to libtiff: 'p' the last strip of each plane padded with
  // random bytes to whole strips, 's' strip 1 cut to half its rows (a damaged file).
  char shape;
};

// Writes the picture with libtiff, strip by strip, in the shape of the case.
void Write(const PlacementCase& c, const Picture& picture, const std::string& path, uint32_t seed) {
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tif, nullptr);
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, c.width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, c.height);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(c.samples));
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, c.samples == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, c.compression);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, c.planar);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, c.rowsPerStrip);
  std::mt19937 random(seed ^ 0x5bd1e995u);
  const uint32_t strips = (c.height + c.rowsPerStrip - 1) / c.rowsPerStrip;
  const uint32_t planes = c.planar == 2 ? c.samples : 1;
  const uint32_t pixelBytes = c.planar == 2 ? 1 : c.samples;
  for (uint32_t p = 0; p < planes; ++p)
    for (uint32_t s = 0; s < strips; ++s) {
      const uint32_t first = s * c.rowsPerStrip;
      const uint32_t rows = std::min(c.rowsPerStrip, c.height - first);
      Bytes data;
      for (uint32_t y = first; y < first + rows; ++y)
        for (uint32_t x = 0; x < c.width; ++x)
          for (uint32_t k = 0; k < pixelBytes; ++k)
            data.push_back(picture.At(x, y, c.planar == 2 ? p : k));
      const size_t row = size_t(c.width) * pixelBytes;
      if (c.shape == 'p' && s + 1 == strips)
        while (data.size() < row * c.rowsPerStrip) data.push_back(uint8_t(random()));
      if (c.shape == 's' && s == 1) data.resize(row * (rows / 2));
      ASSERT_GE(TIFFWriteEncodedStrip(tif, p * strips + s, data.data(), tmsize_t(data.size())), 0);
    }
  TIFFClose(tif);
}

// Our decode against the picture, sample by sample (grey as red, green and blue); rows
// for which `empty` holds must be 0. Reports the first few differences.
template <class Empty>
void ExpectPicture(const Bitmap& b, const Picture& picture, Empty empty) {
  ASSERT_EQ(b.width(), int(picture.width));
  ASSERT_EQ(b.height(), int(picture.height));
  int wrong = 0;
  for (uint32_t y = 0; y < picture.height; ++y)
    for (uint32_t x = 0; x < picture.width; ++x) {
      const PaletteEntry colour = b.pixelColor(int(x), int(y));
      const uint8_t got[3] = {colour.red, colour.green, colour.blue};
      for (uint32_t k = 0; k < 3; ++k) {
        const uint8_t want = empty(y) ? 0 : picture.At(x, y, picture.samples == 1 ? 0 : k);
        if (got[k] != want && ++wrong <= 3)
          ADD_FAILURE() << "pixel " << x << "," << y << " sample " << k << ": " << int(got[k])
                        << " for " << int(want);
      }
    }
}

TEST(TiffStripPlacement, StripsHoldTheRowsOfTheirIndex) {
  const PlacementCase cases[] = {
      {"planar RGB none, last strips padded", 3, 2, COMPRESSION_NONE, 37, 23, 5, 'p'},
      {"planar RGB LZW, last strips padded", 3, 2, COMPRESSION_LZW, 37, 23, 5, 'p'},
      {"planar RGB none, one row a strip", 3, 2, COMPRESSION_NONE, 1, 3, 2, 'p'},
      {"planar RGB LZW, wide", 3, 2, COMPRESSION_LZW, 301, 11, 4, 'p'},
      {"chunky RGB none, last strip padded", 3, 1, COMPRESSION_NONE, 29, 17, 6, 'p'},
      {"chunky RGB LZW, last strip padded", 3, 1, COMPRESSION_LZW, 29, 17, 6, 'p'},
      {"8-bit grey none, last strip padded", 1, 1, COMPRESSION_NONE, 33, 19, 4, 'p'},
      {"8-bit grey LZW, last strip padded", 1, 1, COMPRESSION_LZW, 33, 19, 4, 'p'},
      {"planar RGB none, strips exact", 3, 2, COMPRESSION_NONE, 13, 10, 5, 'e'},
  };
  for (const PlacementCase& c : cases) {
    for (uint32_t seed = 1; seed <= 3; ++seed) {
      SCOPED_TRACE(std::string(c.name) + ", seed " + std::to_string(seed));
      const Picture picture = RandomPicture(c.width, c.height, c.samples, seed);
      LibtiffFile file;
      libtiffWarnings = 0;
      Write(c, picture, file.path(), seed);

      // libtiff reads the file without a word and finds the picture written.
      TIFF* tif = TIFFOpen(file.path().c_str(), "r");
      ASSERT_NE(tif, nullptr);
      std::vector<uint32_t> raster(size_t(c.width) * c.height);
      ASSERT_EQ(
          TIFFReadRGBAImageOriented(tif, c.width, c.height, raster.data(), ORIENTATION_TOPLEFT, 1),
          1);
      TIFFClose(tif);
      EXPECT_EQ(libtiffWarnings, 0);
      const uint32_t channels = c.samples == 1 ? 3 : c.samples;
      for (uint32_t y = 0; y < c.height; ++y)
        for (uint32_t x = 0; x < c.width; ++x) {
          const uint32_t p = raster[size_t(y) * c.width + x];
          const uint8_t got[3] = {uint8_t(TIFFGetR(p)), uint8_t(TIFFGetG(p)), uint8_t(TIFFGetB(p))};
          for (uint32_t k = 0; k < channels; ++k)
            ASSERT_EQ(got[k], picture.At(x, y, c.samples == 1 ? 0 : k)) << x << "," << y;
        }

      ExpectPicture(DecodeTiff(ReadFile(file.path())), picture, [](uint32_t) { return false; });
    }
  }
}

// A strip that ends short (a damaged file) leaves its missing rows empty; the strips after
// it keep their places instead of moving up into them.
TEST(TiffStripPlacement, AShortStripLeavesItsOwnRowsEmpty) {
  const PlacementCase cases[] = {
      {"chunky RGB none", 3, 1, COMPRESSION_NONE, 21, 15, 4, 's'},
      {"chunky RGB LZW", 3, 1, COMPRESSION_LZW, 21, 15, 4, 's'},
      {"planar RGB none", 3, 2, COMPRESSION_NONE, 21, 15, 4, 's'},
      {"planar RGB LZW", 3, 2, COMPRESSION_LZW, 21, 15, 4, 's'},
      {"8-bit grey PackBits", 1, 1, COMPRESSION_PACKBITS, 21, 15, 4, 's'},
      {"8-bit grey none", 1, 1, COMPRESSION_NONE, 21, 15, 4, 's'},
  };
  for (const PlacementCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Picture picture = RandomPicture(c.width, c.height, c.samples, 7);
    LibtiffFile file;
    Write(c, picture, file.path(), 7);
    // Strip 1 holds rows 4..7 and was given rows 4 and 5 only.
    ExpectPicture(DecodeTiff(ReadFile(file.path())), picture,
                  [](uint32_t y) { return y == 6 || y == 7; });
  }
}

// Tiled files as libtiff writes them (TileWidth, TileLength, TileOffsets, TileByteCounts
// and no strip tags) are refused as tiled, not as damaged strip lists.
TEST(TiffStripPlacement, TiledFilesAreRefusedAsTiled) {
  const struct {
    const char* name;
    uint16_t bits, samples, photometric, compression, planar;
    uint32_t width, height, tile;
  } cases[] = {
      {"RGB none", 8, 3, PHOTOMETRIC_RGB, COMPRESSION_NONE, 1, 40, 40, 16},
      {"RGB LZW", 8, 3, PHOTOMETRIC_RGB, COMPRESSION_LZW, 1, 33, 17, 16},
      {"grey PackBits", 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS, 1, 50, 20, 32},
      {"bilevel", 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE, 1, 64, 64, 32},
      {"planar RGB", 8, 3, PHOTOMETRIC_RGB, COMPRESSION_NONE, 2, 20, 20, 16},
      {"one tile", 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, 1, 16, 16, 16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LibtiffFile file;
    TIFF* tif = TIFFOpen(file.path().c_str(), "w");
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, c.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, c.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, c.bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, c.samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, c.photometric);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, c.compression);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, c.planar);
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, c.tile);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, c.tile);
    Bytes tile(size_t(TIFFTileSize(tif)), 0x5A);
    for (uint32_t t = 0; t < TIFFNumberOfTiles(tif); ++t)
      ASSERT_GE(TIFFWriteEncodedTile(tif, t, tile.data(), tmsize_t(tile.size())), 0);
    TIFFClose(tif);
    ExpectRefused(file.path(), "TIFF: Unsupported \"TileWidth|TileLength\" !");
  }
}

}  // namespace
