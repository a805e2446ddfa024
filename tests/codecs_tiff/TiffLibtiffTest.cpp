// Differential test against libtiff: for every combination the reader supports (byte
// order, compression, predictor, photometric interpretation, bits per sample, planar
// configuration, strip layout, orientation), libtiff writes a file and our decode is
// compared with libtiff's: pixel for pixel with libtiff's own colours for bilevel, grey,
// palette and RGB images, and with our conversions of the samples libtiff decompresses for
// CMYK, CIE L*a*b* and YCbCr. Files libtiff writes that we refuse raise our messages.
#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ExpectRefused.h"
#include "TiffFixture.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/tiff/TiffByteSwap.h"
#include "codecs/tiff/TiffImage.h"
#include "codecs/tiff/TiffPixels.h"

using namespace vandrel;
using namespace tifftest;

namespace {

struct Kind {
  const char* name;
  uint16_t photometric, bits, samples;
  int h = 0, v = 0;  // YCbCr subsampling
};

const Kind kKinds[] = {
    {"bilevel-black", 1, 1, 1}, {"bilevel-white", 0, 1, 1}, {"palette1", 3, 1, 1},
    {"grey4-black", 1, 4, 1},   {"grey4-white", 0, 4, 1},   {"palette4", 3, 4, 1},
    {"grey8-black", 1, 8, 1},   {"grey8-white", 0, 8, 1},   {"palette8", 3, 8, 1},
    {"rgb", 2, 8, 3},           {"rgba", 2, 8, 4},          {"cmyk", 5, 8, 4},
    {"lab", 8, 8, 3},           {"ycbcr11", 6, 8, 3, 1, 1}, {"ycbcr21", 6, 8, 3, 2, 1},
    {"ycbcr22", 6, 8, 3, 2, 2}, {"ycbcr42", 6, 8, 3, 4, 2}, {"ycbcr44", 6, 8, 3, 4, 4},
};

struct Combination {
  const Kind* kind;
  bool bigEndian;
  uint16_t compression;  // 1, 5 or 32773
  bool predictor;
  uint16_t planar;
  uint32_t rowsPerStrip;  // 0: all rows in one strip
  uint16_t orientation;
  uint32_t width, height;

  std::string Name() const {
    std::ostringstream s;
    s << kind->name << (bigEndian ? "-MM" : "-II") << "-c" << compression
      << (predictor ? "-pred" : "") << "-planar" << planar << "-rps" << rowsPerStrip << "-o"
      << orientation << "-" << width << "x" << height;
    return s.str();
  }
};

bool IsYCbCr(const Kind& k) { return k.photometric == 6; }
bool LibtiffColours(const Kind& k) { return k.photometric <= 3; }

std::vector<Combination> AllCombinations() {
  std::vector<Combination> all;
  const struct {
    uint32_t w, h;
    std::vector<uint16_t> orientations;
  } sizes[] = {{13, 7, {1, 2, 3, 4, 5, 6, 7, 8}}, {67, 45, {1, 6}}};
  for (const Kind& kind : kKinds)
    for (bool big : {false, true})
      for (uint16_t compression : {uint16_t(1), uint16_t(32773), uint16_t(5)})
        for (bool predictor : {false, true}) {
          // libtiff's predictor goes with LZW and whole-byte samples; YCbCr refuses it.
          if (predictor && (compression != 5 || kind.bits != 8 || IsYCbCr(kind))) continue;
          if (IsYCbCr(kind) && compression == 32773) continue;
          for (uint16_t planar : {uint16_t(1), uint16_t(2)}) {
            if (planar == 2 && (kind.samples == 1 || IsYCbCr(kind))) continue;
            for (const auto& size : sizes)
              for (uint32_t rows : {1u, 3u, 0u}) {
                // YCbCr strips hold whole bands of data units.
                const uint32_t rps = IsYCbCr(kind) && rows != 0 ? rows * uint32_t(kind.v) : rows;
                for (uint16_t o : size.orientations)
                  all.push_back(
                      {&kind, big, compression, predictor, planar, rps, o, size.w, size.h});
              }
          }
        }
  return all;
}

// Sample c of pixel (x, y): runs, gradients and noise, so that PackBits writes both kinds of
// packets and LZW grows its codes.
uint8_t Sample(uint32_t x, uint32_t y, uint32_t c, int bits) {
  uint32_t v;
  if ((x / 5 + y) % 3 == 0) {
    v = (y * 29 + c * 71) & 0xFF;
  } else if ((x + y) % 4 == 1) {
    v = (x * 7 + y * 3 + c * 50) & 0xFF;
  } else {
    v = (x * 2654435761u) ^ (y * 40503u) ^ (c * 97u);
    v = (v >> 13) & 0xFF;
  }
  return uint8_t(bits == 8 ? v : v >> (8 - bits));
}

class TempFile {
 public:
  TempFile() {
    static int serial = 0;
    path_ = (std::filesystem::temp_directory_path() /
             ("vandrel-tiff-" + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".tif"))
                .string();
  }
  ~TempFile() { std::filesystem::remove(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void QuietLibtiff() {
  static bool done = false;
  if (done) return;
  TIFFSetWarningHandler(nullptr);
  TIFFSetErrorHandler(nullptr);
  done = true;
}

// The bytes of one strip as libtiff is given them.
Bytes StripData(const Combination& c, uint32_t firstRow, uint32_t rows, int plane) {
  const Kind& k = *c.kind;
  Bytes out;
  if (IsYCbCr(k)) {
    // Data units: H x V luma samples, then Cb and Cr; beyond the image the edge repeats.
    for (uint32_t y0 = firstRow; y0 < firstRow + rows; y0 += uint32_t(k.v))
      for (uint32_t x0 = 0; x0 < c.width; x0 += uint32_t(k.h)) {
        for (int i = 0; i < k.v; ++i)
          for (int j = 0; j < k.h; ++j)
            out.push_back(Sample(std::min(x0 + uint32_t(j), c.width - 1),
                                 std::min(y0 + uint32_t(i), c.height - 1), 0, 8));
        out.push_back(Sample(x0, y0, 1, 8));
        out.push_back(Sample(x0, y0, 2, 8));
      }
    return out;
  }
  for (uint32_t y = firstRow; y < firstRow + rows; ++y) {
    if (plane >= 0) {
      for (uint32_t x = 0; x < c.width; ++x) out.push_back(Sample(x, y, uint32_t(plane), 8));
      continue;
    }
    if (k.bits == 8) {
      for (uint32_t x = 0; x < c.width; ++x)
        for (uint32_t s = 0; s < k.samples; ++s) out.push_back(Sample(x, y, s, 8));
      continue;
    }
    const size_t start = out.size();
    out.resize(start + (c.width * k.bits + 7) / 8, 0);
    for (uint32_t x = 0; x < c.width; ++x) {
      const uint32_t bit = x * k.bits;
      out[start + bit / 8] |= uint8_t(Sample(x, y, 0, k.bits) << (8 - k.bits - bit % 8));
    }
  }
  return out;
}

std::vector<uint16_t> ColourMap(int bits, int channel) {
  std::vector<uint16_t> map(size_t(1) << bits);
  for (size_t i = 0; i < map.size(); ++i)
    map[i] = uint16_t(((i * 53 + size_t(channel) * 91 + 17) & 0xFF) * 257);
  return map;
}

void WriteWithLibtiff(const Combination& c, const std::string& path) {
  const Kind& k = *c.kind;
  TIFF* tif = TIFFOpen(path.c_str(), c.bigEndian ? "wb" : "wl");
  ASSERT_NE(tif, nullptr);
  const uint32_t rps = c.rowsPerStrip == 0 ? c.height : c.rowsPerStrip;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, c.width);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, c.height);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, k.bits);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, k.samples);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, k.photometric);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, c.compression);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, c.planar);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rps);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, c.orientation);
  if (c.predictor) TIFFSetField(tif, TIFFTAG_PREDICTOR, 2);
  if (k.photometric == 3) {
    std::vector<uint16_t> r = ColourMap(k.bits, 0), g = ColourMap(k.bits, 1),
                          b = ColourMap(k.bits, 2);
    TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
  }
  if (k.photometric == 2 && k.samples == 4) {
    const uint16_t extra[] = {EXTRASAMPLE_UNSPECIFIED};
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  if (IsYCbCr(k)) TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, k.h, k.v);
  const uint32_t strips = (c.height + rps - 1) / rps;
  const int planes = c.planar == 2 ? k.samples : 1;
  for (int p = 0; p < planes; ++p)
    for (uint32_t s = 0; s < strips; ++s) {
      const uint32_t first = s * rps;
      Bytes data = StripData(c, first, std::min(rps, c.height - first), c.planar == 2 ? p : -1);
      ASSERT_GE(
          TIFFWriteEncodedStrip(tif, uint32_t(p) * strips + s, data.data(), tmsize_t(data.size())),
          0);
    }
  TIFFClose(tif);
}

// The stored pixel (sx, sy) shown at display (x, y) for an orientation.
void StoredPosition(int o, uint32_t w, uint32_t h, uint32_t x, uint32_t y, uint32_t& sx,
                    uint32_t& sy) {
  switch (o) {
    case 2:
      sx = w - 1 - x;
      sy = y;
      break;
    case 3:
      sx = w - 1 - x;
      sy = h - 1 - y;
      break;
    case 4:
      sx = x;
      sy = h - 1 - y;
      break;
    case 5:
      sx = y;
      sy = x;
      break;
    case 6:
      sx = y;
      sy = h - 1 - x;
      break;
    case 7:
      sx = w - 1 - y;
      sy = h - 1 - x;
      break;
    case 8:
      sx = w - 1 - y;
      sy = x;
      break;
    default:
      sx = x;
      sy = y;
      break;
  }
}

// libtiff's stored-order picture as red, green, blue.
std::vector<PaletteEntry> LibtiffColoursOf(const std::string& path, uint32_t w, uint32_t h) {
  std::vector<PaletteEntry> out;
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  if (!tif) return out;
  TIFFRGBAImage img;
  char message[1024];
  if (TIFFRGBAImageBegin(&img, tif, 1, message)) {
    img.req_orientation = img.orientation;
    std::vector<uint32_t> raster(size_t(w) * h);
    if (TIFFRGBAImageGet(&img, raster.data(), w, h))
      for (uint32_t p : raster)
        out.push_back({uint8_t(TIFFGetR(p)), uint8_t(TIFFGetG(p)), uint8_t(TIFFGetB(p))});
    TIFFRGBAImageEnd(&img);
  }
  TIFFClose(tif);
  return out;
}

// The samples libtiff decompresses, converted by our CMYK, L*a*b* and YCbCr formulas.
std::vector<PaletteEntry> ConvertedSamplesOf(const std::string& path, const Combination& c) {
  const Kind& k = *c.kind;
  std::vector<PaletteEntry> out(size_t(c.width) * c.height);
  TIFF* tif = TIFFOpen(path.c_str(), "rc");  // the strips as written, not chopped
  if (!tif) return {};
  const uint32_t strips = TIFFNumberOfStrips(tif) / (c.planar == 2 ? k.samples : 1u);
  const uint32_t rps = c.rowsPerStrip == 0 ? c.height : c.rowsPerStrip;
  std::vector<Bytes> samples(k.samples, Bytes(size_t(c.width) * c.height));  // chunky/planar
  const TiffYCbCrModel model;
  for (uint32_t s = 0; s < strips; ++s) {
    const uint32_t first = s * rps, rows = std::min(rps, c.height - first);
    for (uint32_t p = 0; p < (c.planar == 2 ? k.samples : 1u); ++p) {
      Bytes data(size_t(TIFFStripSize(tif)) + 64);
      const tmsize_t n =
          TIFFReadEncodedStrip(tif, p * strips + s, data.data(), tmsize_t(data.size()));
      if (n < 0) return {};
      if (IsYCbCr(k)) {
        size_t at = 0;
        for (uint32_t y0 = first; y0 < first + rows; y0 += uint32_t(k.v))
          for (uint32_t x0 = 0; x0 < c.width; x0 += uint32_t(k.h), at += size_t(k.h * k.v + 2)) {
            const uint8_t cb = data[at + size_t(k.h * k.v)], cr = data[at + size_t(k.h * k.v) + 1];
            for (int i = 0; i < k.v; ++i)
              for (int j = 0; j < k.h; ++j) {
                const uint32_t x = x0 + uint32_t(j), y = y0 + uint32_t(i);
                if (x >= c.width || y >= c.height) continue;
                uint8_t bgr[3];
                model.YCbCrToBGR(data[at + size_t(i * k.h + j)], cb, cr, bgr);
                out[size_t(y) * c.width + x] = {bgr[2], bgr[1], bgr[0]};
              }
          }
        continue;
      }
      for (uint32_t r = 0; r < rows; ++r)
        for (uint32_t x = 0; x < c.width; ++x)
          for (uint32_t q = 0; q < (c.planar == 2 ? 1u : k.samples); ++q) {
            const size_t from =
                c.planar == 2 ? size_t(r) * c.width + x : (size_t(r) * c.width + x) * k.samples + q;
            samples[c.planar == 2 ? p : q][size_t(first + r) * c.width + x] = data[from];
          }
    }
  }
  TIFFClose(tif);
  if (IsYCbCr(k)) return out;
  for (size_t i = 0; i < out.size(); ++i) {
    uint8_t bgr[3];
    if (k.photometric == 5)
      CMYKToBGR(samples[0][i], samples[1][i], samples[2][i], samples[3][i], bgr);
    else
      LabToBGR(samples[0][i], int8_t(samples[1][i]), int8_t(samples[2][i]), bgr);
    out[i] = {bgr[2], bgr[1], bgr[0]};
  }
  return out;
}

PixelFormat ExpectedFormat(const Combination& c) {
  const Kind& k = *c.kind;
  if (k.samples == 1) {
    if (k.bits == 8) return PixelFormat::pf8bit;
    if (c.orientation != 1) return PixelFormat::pf24bit;
    return k.bits == 1 ? PixelFormat::pf1bit : PixelFormat::pf4bit;
  }
  return k.samples == 4 && k.photometric == 2 ? PixelFormat::pf32bit : PixelFormat::pf24bit;
}

}  // namespace

TEST(TiffAgainstLibtiff, EverySupportedCombination) {
  QuietLibtiff();
  const std::vector<Combination> all = AllCombinations();
  int compared = 0;
  for (const Combination& c : all) {
    SCOPED_TRACE(c.Name());
    TempFile file;
    WriteWithLibtiff(c, file.path());
    if (::testing::Test::HasFatalFailure()) return;
    const std::vector<PaletteEntry> stored = LibtiffColours(*c.kind)
                                                 ? LibtiffColoursOf(file.path(), c.width, c.height)
                                                 : ConvertedSamplesOf(file.path(), c);
    ASSERT_EQ(stored.size(), size_t(c.width) * c.height) << "libtiff could not read it back";

    Bitmap ours;
    try {
      ours = DecodeTiff(ReadFile(file.path()));
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
      continue;
    }
    EXPECT_EQ(ours.format(), ExpectedFormat(c));
    const bool turned = c.orientation >= 5;
    ASSERT_EQ(uint32_t(ours.width()), turned ? c.height : c.width);
    ASSERT_EQ(uint32_t(ours.height()), turned ? c.width : c.height);
    int wrong = 0;
    for (uint32_t y = 0; y < uint32_t(ours.height()) && wrong < 3; ++y)
      for (uint32_t x = 0; x < uint32_t(ours.width()) && wrong < 3; ++x) {
        uint32_t sx, sy;
        StoredPosition(c.orientation, c.width, c.height, x, y, sx, sy);
        const PaletteEntry want = stored[size_t(sy) * c.width + sx];
        const PaletteEntry got = ours.pixelColor(int(x), int(y));
        if (got != want) {
          ++wrong;
          ADD_FAILURE() << "pixel " << x << "," << y << ": ours " << int(got.red) << ","
                        << int(got.green) << "," << int(got.blue) << " libtiff " << int(want.red)
                        << "," << int(want.green) << "," << int(want.blue);
        }
      }
    ++compared;
  }
  EXPECT_GT(compared, 2000);
}

TEST(TiffAgainstLibtiff, FilesWeRefuse) {
  QuietLibtiff();
  struct Case {
    const char* name;
    uint16_t bits, samples, photometric, compression;
    uint16_t planar = 1;
    bool tiled = false;
    uint16_t fillOrder = 1;
    bool predictor = false;
    uint16_t format = SAMPLEFORMAT_UINT;
    const char* message = nullptr;
  } cases[] = {
      {"tiled", 8, 3, 2, 1, 1, true, 1, false, 1, "TIFF: Unsupported \"TileWidth|TileLength\" !"},
      {"JPEG", 8, 3, 2, COMPRESSION_JPEG, 1, false, 1, false, 1,
       "TIFF: Unsupported \"Compression\" !"},
      {"Deflate", 8, 1, 1, COMPRESSION_ADOBE_DEFLATE, 1, false, 1, false, 1,
       "TIFF: Unsupported \"Compression\" !"},
      {"CCITT G4", 1, 1, 0, COMPRESSION_CCITTFAX4, 1, false, 1, false, 1,
       "TIFF: Unsupported \"Compression\" !"},
      {"16-bit grey", 16, 1, 1, 1, 1, false, 1, false, 1, "TIFF: Unsupported Pixel Format !"},
      {"16-bit RGB", 16, 3, 2, 5, 1, false, 1, false, 1, "TIFF: Unsupported Pixel Format !"},
      {"2-bit grey", 2, 1, 1, 1, 1, false, 1, false, 1, "TIFF: Unsupported Pixel Format !"},
      {"float grey", 32, 1, 1, 1, 1, false, 1, false, SAMPLEFORMAT_IEEEFP,
       "TIFF: Unsupported \"PixelFormat|PhotometricInterpretation\" !"},
      {"fill order 2", 8, 1, 1, 1, 1, false, 2, false, 1, "TIFF: Unsupported \"FillOrder\" !"},
      {"PackBits YCbCr", 8, 3, 6, COMPRESSION_PACKBITS, 1, false, 1, false, 1,
       "TIFF: Invalid \"Compression|PhotometricInterpretation\" !"},
      {"YCbCr predictor", 8, 3, 6, 5, 1, false, 1, true, 1,
       "TIFF: Unsupported \"PhotometricInterpretation|Predictor\" !"},
      {"planar YCbCr", 8, 3, 6, 1, 2, false, 1, false, 1,
       "TIFF: Unsupported \"PhotometricInterpretation|PlanarConfiguration\" !"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFile file;
    TIFF* tif = TIFFOpen(file.path().c_str(), "w");
    ASSERT_NE(tif, nullptr);
    const uint32_t w = 32, h = 32;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, c.bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, c.samples);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, c.format);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, c.photometric);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, c.compression);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, c.planar);
    TIFFSetField(tif, TIFFTAG_FILLORDER, c.fillOrder);
    if (c.predictor) TIFFSetField(tif, TIFFTAG_PREDICTOR, 2);
    if (c.photometric == 6) TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);
    if (c.compression == COMPRESSION_JPEG)
      TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    const size_t rowBytes = (size_t(w) * c.bits * (c.planar == 2 ? 1 : c.samples) + 7) / 8;
    Bytes data(rowBytes * h * (c.planar == 2 ? c.samples : 1), 0x5A);
    if (c.tiled) {
      TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);
      TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
      Bytes tile(16 * 16 * 3, 0x33);
      for (uint32_t t = 0; t < 4; ++t)
        TIFFWriteEncodedTile(tif, t, tile.data(), tmsize_t(tile.size()));
    } else {
      TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h);
      const int planes = c.planar == 2 ? c.samples : 1;
      for (int p = 0; p < planes; ++p)
        ASSERT_GE(TIFFWriteEncodedStrip(tif, uint32_t(p), data.data(), tmsize_t(rowBytes * h)), 0);
    }
    TIFFClose(tif);
    ExpectRefused(file.path(), c.message);
  }
}

TEST(TiffAgainstLibtiff, LzwStripsLongerThanTheDecodingWindow) {
  // Single strips of 1.5 MB: the decoder hands its window on in stages, so strings first
  // written before a hand-over are rebuilt from the table instead of copied.
  QuietLibtiff();
  const struct {
    const char* name;
    uint16_t samples;
    bool predictor;
    uint8_t (*pixel)(uint32_t x, uint32_t y, uint32_t c);
  } cases[] = {
      {"constant", 1, false, [](uint32_t, uint32_t, uint32_t) { return uint8_t(77); }},
      {"gradient", 1, true, [](uint32_t x, uint32_t y, uint32_t) { return uint8_t((x + y) / 8); }},
      {"stripes", 3, false,
       [](uint32_t x, uint32_t y, uint32_t c) { return uint8_t((x / 3 + c * 9 + y % 2) & 0xF0); }},
      {"noise", 3, true, [](uint32_t x, uint32_t y, uint32_t c) { return Sample(x, y, c, 8); }},
  };
  const uint32_t w = 1024, h = 512;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFile file;
    TIFF* tif = TIFFOpen(file.path().c_str(), "w");
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h * 3 / c.samples);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, c.samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, c.samples == 1 ? 1 : 2);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h * 3);
    if (c.predictor) TIFFSetField(tif, TIFFTAG_PREDICTOR, 2);
    const uint32_t rows = h * 3 / c.samples;
    Bytes image(size_t(w) * c.samples * rows);
    for (uint32_t y = 0; y < rows; ++y)
      for (uint32_t x = 0; x < w; ++x)
        for (uint32_t s = 0; s < c.samples; ++s)
          image[(size_t(y) * w + x) * c.samples + s] = c.pixel(x, y, s);
    ASSERT_GE(TIFFWriteEncodedStrip(tif, 0, image.data(), tmsize_t(image.size())), 0);
    TIFFClose(tif);

    const Bitmap ours = DecodeTiff(ReadFile(file.path()));
    ASSERT_EQ(ours.height(), int(rows));
    int wrong = 0;
    for (uint32_t y = 0; y < rows && wrong < 3; ++y)
      for (uint32_t x = 0; x < w && wrong < 3; ++x)
        for (uint32_t s = 0; s < c.samples; ++s) {
          const uint8_t got = ours.scanLine(int(y))[x * c.samples + (c.samples == 3 ? 2 - s : s)];
          if (got != image[(size_t(y) * w + x) * c.samples + s] && ++wrong <= 3)
            ADD_FAILURE() << "sample " << s << " of " << x << "," << y;
        }
  }
}

// LZW strips written least significant bit first, as before 1992: libtiff tells them by
// their first two bytes (a Clear code in that order) and reads them so; ours must give the
// same pixels.
TEST(TiffAgainstLibtiff, OldStyleLzwStrips) {
  QuietLibtiff();
  const struct {
    const char* name;
    uint16_t bits, samples, photometric;
    uint32_t width, height, rowsPerStrip;
  } cases[] = {
      {"grey, strips of 7 rows", 8, 1, 1, 300, 200, 7},
      {"RGB, one strip", 8, 3, 2, 257, 129, 129},
      {"bilevel, strips of 5 rows", 1, 1, 1, 203, 61, 5},
      // One strip of 1.5 MB: the window is handed on while earlier strings are repeated.
      {"grey, 1.5 MB strip", 8, 1, 1, 1536, 1024, 1024},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t rowBytes = (size_t(c.width) * c.bits * c.samples + 7) / 8;
    Bytes image(rowBytes * c.height);
    for (uint32_t y = 0; y < c.height; ++y)
      for (size_t i = 0; i < rowBytes; ++i)
        image[y * rowBytes + i] = Sample(uint32_t(i), y, uint32_t(i % c.samples), 8);
    TiffFixture f;
    f.Long(256, c.width).Long(257, c.height).Short(259, 5).Short(262, c.photometric);
    f.Add(258, kShort, std::vector<uint32_t>(c.samples, c.bits)).Short(277, c.samples);
    f.Long(278, c.rowsPerStrip);
    for (uint32_t y = 0; y < c.height; y += c.rowsPerStrip) {
      const size_t rows = std::min(c.rowsPerStrip, c.height - y);
      const Bytes strip(image.begin() + long(y * rowBytes),
                        image.begin() + long((y + rows) * rowBytes));
      const Bytes coded = EncodeTiffLzw(strip, true);
      ASSERT_EQ(coded[0], 0);
      ASSERT_EQ(coded[1] & 1, 1);
      f.Strip(coded);
    }
    TempFile file;
    {
      const Bytes bytes = f.Build();
      std::ofstream(file.path(), std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    // libtiff's reading of the strips.
    Bytes theirs;
    TIFF* tif = TIFFOpen(file.path().c_str(), "r");
    ASSERT_NE(tif, nullptr);
    for (tstrip_t s = 0; s < TIFFNumberOfStrips(tif); ++s) {
      Bytes strip(size_t(TIFFStripSize(tif)));
      const tmsize_t n = TIFFReadEncodedStrip(tif, s, strip.data(), tmsize_t(strip.size()));
      ASSERT_GT(n, 0) << "strip " << s;
      theirs.insert(theirs.end(), strip.begin(), strip.begin() + n);
    }
    TIFFClose(tif);
    ASSERT_EQ(theirs, image) << "libtiff reads the file otherwise";

    const Bitmap ours = DecodeTiff(ReadFile(file.path()));
    ASSERT_EQ(ours.width(), int(c.width));
    ASSERT_EQ(ours.height(), int(c.height));
    int wrong = 0;
    for (uint32_t y = 0; y < c.height && wrong < 3; ++y)
      for (size_t i = 0; i < rowBytes && wrong < 3; ++i) {
        // Our RGB rows hold blue, green, red.
        const size_t at = c.samples == 3 ? i - i % 3 + (2 - i % 3) : i;
        if (ours.scanLine(int(y))[at] != theirs[y * rowBytes + i] && ++wrong <= 3)
          ADD_FAILURE() << "byte " << i << " of row " << y;
      }
  }
}

// A tiled file whose tile offsets and byte counts stand in the strip tags: read as strips
// it would show stripes of noise; it is refused like every tiled file.
TEST(TiffAgainstLibtiff, TilesInTheStripTagsAreRefused) {
  QuietLibtiff();
  TempFile file;
  TIFF* tif = TIFFOpen(file.path().c_str(), "wl");
  ASSERT_NE(tif, nullptr);
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 32u);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 32u);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, 1);
  TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16u);
  TIFFSetField(tif, TIFFTAG_TILELENGTH, 16u);
  for (uint32_t t = 0; t < 4; ++t) {
    Bytes tile(16 * 16, uint8_t(t * 60));
    ASSERT_GE(TIFFWriteEncodedTile(tif, t, tile.data(), tmsize_t(tile.size())), 0);
  }
  TIFFClose(tif);
  Bytes bytes = ReadFile(file.path());
  // TileOffsets and TileByteCounts become StripOffsets and StripByteCounts.
  const uint32_t ifd = LoadLE32(bytes.data() + 4);
  const uint16_t entries = uint16_t(bytes[ifd] | bytes[ifd + 1] << 8);
  int renamed = 0;
  for (uint16_t i = 0; i < entries; ++i) {
    uint8_t* e = bytes.data() + ifd + 2 + 12 * i;
    const uint16_t tag = uint16_t(e[0] | e[1] << 8);
    const uint16_t to = tag == 324 ? 273 : tag == 325 ? 279 : 0;
    if (to == 0) continue;
    e[0] = uint8_t(to);
    e[1] = uint8_t(to >> 8);
    ++renamed;
  }
  ASSERT_EQ(renamed, 2);
  try {
    DecodeTiff(bytes);
    ADD_FAILURE() << "decoded";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "TIFF: Unsupported \"TileWidth|TileLength\" !");
  }
}
