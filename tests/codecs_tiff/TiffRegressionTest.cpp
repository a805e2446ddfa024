// Files that crash, hang or exhaust the memory of a reader that trusts its input, kept as
// named cases (tests/codecs_tiff/data): each must end in its picture or its message.
#include <gtest/gtest.h>

#include "TiffFixture.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/tiff/TiffDecoder.h"
#include "codecs/tiff/TiffEncoder.h"
#include "codecs/tiff/TiffImage.h"

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
    {"width-zero.tif", nullptr, 0, 4},
    {"text-count-huge.tif",
     "TIFF read error at 00000190H (2147483647 byte(s) expected, but 0 read)", 0, 0, true},
    {"strip-offsets-count-huge.tif",
     "TIFF read error at 000000A0H (4 byte(s) expected, but 2 read)", 0, 0, true},
    {"ycbcr-reference-white-is-black.tif", nullptr, 2, 2},
    {"planar-cmyk-predictor.tif", nullptr, 2, 1},
    {"bilevel-orientation-6.tif", nullptr, 2, 3},
    // Written back as LZW, this picture repeats strings that overlap their copy.
    {"lzw-overlapping-repeat.tif", nullptr, 19, 11},
    // No rows, turned by Orientation 7: a bitmap of no columns whose rows are exchanged.
    {"empty-rows-flipped.tif", nullptr, 0, 228},
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
    const Bytes file = ReadFile(std::string(VANDREL_TEST_DATA_DIR) + "/directory-loop.tif");
    TiffStream stream(file);
    TTIFFDecoder decoder(stream);
    decoder.ScanIFDs(false);
    EXPECT_EQ(decoder.PageCount(), 1);
  }
}
