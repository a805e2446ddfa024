// Files that crash, hang or exhaust the memory of a reader that trusts its input, kept as
// named cases (tests/codecs_tiff/data): each must end in its picture or its message.
#include <gtest/gtest.h>

#include "TiffFixture.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/tiff/TiffDecoder.h"
#include "codecs/tiff/TiffEncoder.h"
#include "codecs/tiff/TiffImage.h"
#include "tests/support/AllocationCeiling.h"

using namespace vandrel;
using namespace tifftest;

namespace {

struct Regression {
  const char* file;
  const char* error;  // null: it decodes
  int width = 0, height = 0;
  bool readError = false;
};

const Regression kRegressions[] = {
    {"directory-loop.tif", nullptr, 2, 2},
    {"colormap-1024-entries.tif", nullptr, 4, 1},
    {"packbits-only-noops.tif", nullptr, 64, 64},
    {"packbits-literal-past-row.tif", nullptr, 3, 2},
    {"packbits-cut-run.tif", nullptr, 8, 2},
    {"packbits-rowsperstrip-zero.tif", nullptr, 4, 4},
    {"lzw-without-clear.tif", nullptr, 4, 1},
    {"lzw-table-full.tif", nullptr, 256, 256},
    {"lzw-cut-code.tif", nullptr, 4, 1},
    {"lzw-strip-past-end.tif", "TIFF read error at 00000072H (4 byte(s) expected, but 3 read)", 0,
     0, true},
    {"huge-dimensions.tif", "TIFF: Invalid \"ImageWidth|ImageLength\" !"},
    {"large-dimensions-small-file.tif", "TIFF: Invalid \"ImageWidth|ImageLength\" !"},
    {"strip-bytecount-4gb.tif", nullptr, 8, 8},
    {"bits-per-sample-zero.tif", "TIFF: Unsupported Pixel Format !"},
    {"width-zero.tif", "TIFF: Invalid \"ImageWidth|ImageLength\" !"},
    {"text-count-huge.tif",
     "TIFF read error at 00000190H (2147483647 byte(s) expected, but 0 read)", 0, 0, true},
    {"strip-offsets-count-huge.tif",
     "TIFF read error at 000000A0H (4 byte(s) expected, but 2 read)", 0, 0, true},
    {"ycbcr-reference-white-is-black.tif", nullptr, 2, 2},
    {"planar-cmyk-predictor.tif", nullptr, 2, 1},
    {"bilevel-orientation-6.tif", nullptr, 2, 3},
    // Written back as LZW, this picture repeats strings that overlap their copy.
    {"lzw-overlapping-repeat.tif", nullptr, 19, 11},
    // No columns, turned by Orientation 7 (once a bitmap of no columns whose rows were
    // exchanged): refused, as every page of no columns or rows is.
    {"empty-rows-flipped.tif", "TIFF: Invalid \"ImageWidth|ImageLength\" !"},
    // 100 bytes of a 64 x 64 strip: the rows it does not reach stay empty.
    {"short-strip.tif", nullptr, 64, 64},
    // 64 one-row strips that all point to one row of data.
    {"shared-strip.tif", nullptr, 64, 64},
    // Tiles whose offsets stand in the strip tags.
    {"tiles-in-strip-tags.tif", "TIFF: Unsupported \"TileWidth|TileLength\" !"},
    // An LZW strip written least significant bit first (pixels 0 to 15).
    {"lzw-old-style.tif", nullptr, 8, 2},
    // Found by fuzzing: rows of no bytes placed by Orientation 8 emptied a row buffer of none.
    // Refused now, as a page of no rows.
    {"width-zero-orientation-8.tif", "TIFF: Invalid \"ImageWidth|ImageLength\" !"},
    // Found by fuzzing: a planar CMYK picture of no columns, whose white start has no bytes.
    // Refused now, as a page of no columns.
    {"planar-cmyk-no-columns.tif", "TIFF: Invalid \"ImageWidth|ImageLength\" !"},
};

void PrintTo(const Regression& r, std::ostream* os) { *os << r.file; }

Bitmap Load(const char* name) {
  return DecodeTiff(ReadFile(std::string(VANDREL_TEST_DATA_DIR) + "/" + name));
}

class TiffRegression : public ::testing::TestWithParam<Regression> {};

}  // namespace

TEST_P(TiffRegression, EndsInItsPictureOrItsMessage) {
  const Regression& r = GetParam();
  const Bytes file = ReadFile(std::string(VANDREL_TEST_DATA_DIR) + "/" + r.file);
  ASSERT_FALSE(file.empty()) << r.file;
  if (r.error == nullptr) {
    const Bitmap b = DecodeTiff(file);
    EXPECT_EQ(b.width(), r.width);
    EXPECT_EQ(b.height(), r.height);
    // What decodes is written back with every compression and reads back the same.
    for (uint8_t compression : {0, 4, 6}) {
      Bytes again;
      TTIFFEncoder encoder(&again);
      if (b.empty()) {  // the writer refuses an image without pixels and writes nothing
        EXPECT_THROW(encoder.Encode(b, compression, "", "", ""), Exception);
        EXPECT_TRUE(again.empty());
        continue;
      }
      encoder.Encode(b, compression, "", "", "");
      const Bitmap back = DecodeTiff(again);
      const size_t rowBytes = (size_t(b.width()) * size_t(b.bitsPerPixel()) + 7) / 8;
      for (int y = 0; y < b.height(); ++y)
        ASSERT_TRUE(std::equal(b.scanLine(y), b.scanLine(y) + rowBytes, back.scanLine(y)))
            << "compression " << int(compression) << ", row " << y;
    }
    return;
  }
  try {
    DecodeTiff(file);
    ADD_FAILURE() << "decoded";
  } catch (const EInvalidImage& e) {
    EXPECT_TRUE(r.readError);
    EXPECT_STREQ(e.what(), r.error);
  } catch (const Exception& e) {
    EXPECT_FALSE(r.readError);
    EXPECT_STREQ(e.what(), r.error);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, TiffRegression, ::testing::ValuesIn(kRegressions),
                         [](const ::testing::TestParamInfo<Regression>& info) {
                           std::string name = info.param.file;
                           name = name.substr(0, name.find('.'));
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return name;
                         });

TEST(TiffRegressionPixels, WhatTheDamagedFilesDecodeTo) {
  {
    const Bitmap b = Load("packbits-literal-past-row.tif");  // the literal is cut at the row
    EXPECT_EQ(Bytes(b.scanLine(0), b.scanLine(0) + 3), (Bytes{0, 1, 2}));
    EXPECT_EQ(Bytes(b.scanLine(1), b.scanLine(1) + 3), (Bytes{7, 8, 9}));
  }
  {
    const Bitmap b = Load("packbits-cut-run.tif");
    EXPECT_EQ(Bytes(b.scanLine(0), b.scanLine(0) + 8), (Bytes{5, 6, 0, 0, 0, 0, 0, 0}));
  }
  {
    const Bitmap b = Load("lzw-without-clear.tif");
    EXPECT_EQ(Bytes(b.scanLine(0), b.scanLine(0) + 4), (Bytes{7, 8, 7, 8}));
  }
  {
    const Bitmap b = Load("colormap-1024-entries.tif");
    ASSERT_EQ(b.palette().size(), 256u);
    EXPECT_EQ(b.pixelColor(3, 0), (PaletteEntry{255, 255, 255}));
    EXPECT_EQ(b.pixelColor(1, 0), (PaletteEntry{1, 1, 1}));
  }
  {
    const Bitmap b = Load("planar-cmyk-predictor.tif");
    EXPECT_EQ(b.pixelColor(0, 0), (PaletteEntry{245, 245, 245}));
    EXPECT_EQ(b.pixelColor(1, 0), (PaletteEntry{235, 235, 235}));
  }
  {
    const Bitmap b = Load("ycbcr-reference-white-is-black.tif");
    EXPECT_EQ(b.pixelColor(1, 1), (PaletteEntry{0, 0, 0}));
  }
  {
    // Stored 1, 0, 1 over 0, 1, 0 (1 white); turned 90 degrees clockwise.
    const Bitmap b = Load("bilevel-orientation-6.tif");
    const uint8_t white[3][2] = {{0, 1}, {1, 0}, {0, 1}};
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 2; ++x)
        EXPECT_EQ(b.pixelColor(x, y).red, white[y][x] ? 255 : 0) << x << "," << y;
  }
  {
    const Bitmap b = Load("short-strip.tif");  // the strip holds bytes 1 to 100
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const int i = y * 64 + x;
        ASSERT_EQ(b.scanLine(y)[x], i < 100 ? i + 1 : 0) << x << "," << y;
      }
  }
  {
    const Bitmap b = Load("shared-strip.tif");  // every row is 0, 3, 6, ...
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) ASSERT_EQ(b.scanLine(y)[x], uint8_t(3 * x)) << x << "," << y;
  }
  {
    const Bitmap b = Load("lzw-old-style.tif");
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 8; ++x) EXPECT_EQ(b.scanLine(y)[x], y * 8 + x) << x << "," << y;
  }
  {
    const Bytes file = ReadFile(std::string(VANDREL_TEST_DATA_DIR) + "/directory-loop.tif");
    TiffStream stream(file);
    TTIFFDecoder decoder(stream);
    decoder.ScanIFDs(false);
    EXPECT_EQ(decoder.PageCount(), 1);
  }
}

// Pictures that would take more memory than the program holds, kept in data/memory: each
// ends in the reader's message before the picture is allocated. A 34 KB file declaring a
// bilevel 65536 x 16384 picture turned by Orientation 6 (24 bits once turned), a 263 KB
// grey 32768 x 32768 picture turned by Orientation 5, a 1 MB planar CMYK file.
TEST(TiffMemory, PicturesBeyondTheBudgetEndInTheirMessage) {
  const char* kMessage = "TIFF: Unsupported \"ImageWidth|ImageLength\" !";
  const struct {
    const char* file;
    bool beyondDefault;  // refused also with the default budget
  } cases[] = {
      {"memory/bilevel-65536x16384-orientation-6.tif", true},
      {"memory/grey-32768x32768-orientation-5.tif", false},
      {"memory/cmyk-planar-32768x24576.tif", true},
  };
  constexpr int64_t kCeiling = int64_t(64) << 20;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const Bytes file = ReadFile(std::string(VANDREL_TEST_DATA_DIR) + "/" + c.file);
    ASSERT_FALSE(file.empty());
    {
      vandrel::testing::AllocationCeiling ceiling(kCeiling);
      try {
        DecodeTiff(file);
        ADD_FAILURE() << "decoded";
      } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), kMessage);
      }
      EXPECT_LT(ceiling.Peak(), kCeiling);
    }
    if (!c.beyondDefault) continue;
    try {
      DecodeTiff(file);
      ADD_FAILURE() << "decoded with the default budget";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), kMessage);
    }
  }
}

// Decoding holds the picture and one row buffer (for LZW a window of at most 1 MB and two
// rows) beside the file: a turned, mirrored or widened picture is put in place row by row,
// with no second bitmap.
TEST(TiffMemory, DecodingHoldsThePictureAndARowBuffer) {
  if (!vandrel::testing::AllocationCeiling::Measures()) GTEST_SKIP() << "no heap hooks";
  const struct {
    const char* name;
    uint16_t bits, samples, photometric, compression, planar, orientation;
  } cases[] = {
      {"RGB, Orientation 6", 8, 3, 2, 1, 1, 6},
      {"RGB LZW, Orientation 8", 8, 3, 2, 5, 1, 8},
      {"grey PackBits, Orientation 5", 8, 1, 1, 32773, 1, 5},
      {"bilevel, Orientation 7 (widened)", 1, 1, 1, 1, 1, 7},
      {"planar CMYK", 8, 4, 5, 1, 2, 1},
      {"planar RGB, Orientation 3", 8, 3, 2, 1, 2, 3},
  };
  const uint32_t w = 1200, h = 700;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TiffFixture f;
    f.Long(256, w).Long(257, h).Short(259, c.compression).Short(262, c.photometric);
    f.Add(258, kShort, std::vector<uint32_t>(c.samples, c.bits)).Short(277, c.samples);
    f.Short(284, c.planar).Short(274, c.orientation).Long(278, 16);
    const size_t planeRow = (size_t(w) * c.bits * (c.planar == 2 ? 1 : c.samples) + 7) / 8;
    for (int p = 0; p < (c.planar == 2 ? c.samples : 1); ++p)
      for (uint32_t y = 0; y < h; y += 16) {
        Bytes strip(planeRow * std::min(16u, h - y));
        for (size_t i = 0; i < strip.size(); ++i) strip[i] = uint8_t((i * 7 + y + size_t(p)) / 5);
        if (c.compression == 32773) {
          // Literal packets of at most 128 bytes, row by row.
          Bytes packed;
          for (size_t r = 0; r < strip.size(); r += planeRow)
            for (size_t i = 0; i < planeRow; i += 128) {
              const size_t n = std::min<size_t>(128, planeRow - i);
              packed.push_back(uint8_t(n - 1));
              packed.insert(packed.end(), strip.begin() + long(r + i),
                            strip.begin() + long(r + i + n));
            }
          strip = packed;
        }
        if (c.compression == 5) strip = EncodeTiffLzw(strip);
        f.Strip(strip);
      }
    const Bytes file = f.Build();
    vandrel::testing::AllocationCeiling ceiling(uint64_t(1) << 30);
    const Bitmap b = DecodeTiff(file);
    ASSERT_FALSE(b.empty());
    const int64_t allowed = int64_t(b.byteSize()) + (int64_t(3) << 19);  // + 1.5 MB
    EXPECT_LE(ceiling.Peak(), allowed) << "picture " << b.byteSize();
  }
}
