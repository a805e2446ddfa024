// TIFF strip decoding: the three families over the row layouts, with the byte-level
// examples of PackBits and LZW and the cases where strips and rows do not agree.
#include <gtest/gtest.h>

#include "TiffFixture.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/tiff/TiffImage.h"
#include "codecs/tiff/TiffStripDecoders.h"

using namespace vandrel;
using namespace tifftest;

namespace {

// LZW codes of 9 to 12 bits with the width growing as a TIFF writer grows it: one code
// early, counted from the last Clear.
class LzwCodes {
 public:
  LzwCodes& Code(int code) {
    bits_.Put(uint32_t(code), width_);
    if (code == 256) {
      width_ = 9;
      counter_ = 258;
      return *this;
    }
    if (++counter_ == (1 << width_) && width_ < 12) ++width_;
    return *this;
  }
  const Bytes& bytes() const { return bits_.bytes(); }

 private:
  BitWriter bits_;
  int width_ = 9;
  int counter_ = 258;
};

// Each byte as its own code between Clear and End of Information (valid LZW: the decoder
// builds entries it never sees used).
Bytes LiteralLzw(const Bytes& data) {
  LzwCodes c;
  c.Code(256);
  for (uint8_t b : data) c.Code(b);
  c.Code(257);
  return c.bytes();
}

// PackBits of whole rows as literals (at most 128 bytes per packet).
Bytes LiteralPackBits(const Bytes& data, size_t rowBytes) {
  Bytes out;
  for (size_t row = 0; row < data.size(); row += rowBytes)
    for (size_t i = row; i < row + rowBytes; i += 128) {
      const size_t n = std::min<size_t>(128, row + rowBytes - i);
      out.push_back(uint8_t(n - 1));
      out.insert(out.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
  return out;
}

enum Family { kNone, kPackBits, kLzw };
const char* const kFamilyNames[] = {"none", "PackBits", "LZW"};
uint32_t CompressionTag(Family f) { return f == kNone ? 1 : f == kPackBits ? 32773 : 5; }
Bytes Encode(Family f, const Bytes& data, size_t rowBytes) {
  return f == kNone ? data : f == kPackBits ? LiteralPackBits(data, rowBytes) : LiteralLzw(data);
}

// The rows of an 8-bit bitmap as one run of bytes.
Bytes RowsOf(const Bitmap& b, size_t rowBytes) {
  Bytes out;
  for (int y = 0; y < b.height(); ++y)
    out.insert(out.end(), b.scanLine(y), b.scanLine(y) + rowBytes);
  return out;
}

Bytes Ramp(size_t n, int step = 7) {
  Bytes v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(i * size_t(step) + 3);
  return v;
}

// An image of `rows` x `width` 8-bit rows in strips of `rowsPerStrip`.
Bytes StripedGrey(Family family, uint32_t width, uint32_t height, uint32_t rowsPerStrip,
                  const Bytes& pixels) {
  TiffFixture f = Image(width, height, {8}, 1);
  f.Short(259, CompressionTag(family)).Long(278, rowsPerStrip);
  for (uint32_t y = 0; y < height; y += rowsPerStrip) {
    const size_t rows = std::min(rowsPerStrip, height - y);
    const Bytes rowsOfStrip(pixels.begin() + long(y * width),
                            pixels.begin() + long((y + rows) * width));
    f.Strip(Encode(family, rowsOfStrip, width));
  }
  return f.Build();
}

}  // namespace

TEST(TiffStrips, LastStripWithFewerRows) {
  // 7 rows in strips of 3, 3 and 1.
  const Bytes pixels = Ramp(5 * 7);
  for (Family family : {kNone, kPackBits, kLzw}) {
    const Bitmap b = DecodeTiff(StripedGrey(family, 5, 7, 3, pixels));
    ASSERT_EQ(b.height(), 7) << kFamilyNames[family];
    EXPECT_EQ(RowsOf(b, 5), pixels) << kFamilyNames[family];
  }
}

TEST(TiffStrips, RowsAcrossManyStripsAndPackets) {
  // Rows longer than one PackBits packet and LZW streams that pass the 10-bit width.
  const Bytes pixels = Ramp(300 * 4, 13);
  for (Family family : {kNone, kPackBits, kLzw}) {
    const Bitmap b = DecodeTiff(StripedGrey(family, 300, 4, 2, pixels));
    EXPECT_EQ(RowsOf(b, 300), pixels) << kFamilyNames[family];
  }
}

TEST(TiffStrips, ShortUncompressedStripLeavesTheRestUnchanged) {
  // Two strips of two rows; the file ends two bytes into the second strip.
  auto build = [](uint32_t at) {
    TiffFixture f = Image(4, 4, {8}, 1);
    f.Long(278, 2).Add(273, kLong, {at, at + 8}).Add(279, kLong, {8, 8});
    return f.Build();
  };
  const uint32_t at = uint32_t(build(0).size());
  Bytes file = build(at);
  file.insert(file.end(), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  const Bitmap b = DecodeTiff(file);
  EXPECT_EQ(RowsOf(b, 4), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 0, 0, 0, 0, 0}));
}

TEST(TiffStrips, CompressedStripPastTheEndIsAReadError) {
  for (Family family : {kPackBits, kLzw}) {
    TiffFixture f = Image(2, 2, {8}, 1);
    f.Short(259, CompressionTag(family)).Add(273, kLong, {0x2000}).Add(279, kLong, {40});
    try {
      DecodeTiff(f.Build());
      ADD_FAILURE() << kFamilyNames[family];
    } catch (const EInvalidImage& e) {
      EXPECT_STREQ(e.what(), "TIFF read error at 00002000H (40 byte(s) expected, but 0 read)");
    }
  }
}

TEST(TiffPackBits, RowExamples) {
  struct Case {
    const char* name;
    Bytes packed;
    size_t count;
    Bytes row;
    size_t consumed;
  } cases[] = {
      {"-128 is no operation",
       {0xFE, 0xAA, 0x80, 0x02, 0x01, 0x02, 0x03},
       6,
       {0xAA, 0xAA, 0xAA, 0x01, 0x02, 0x03},
       7},
      {"run cut at the row's end", {0xFB, 0x11}, 4, {0x11, 0x11, 0x11, 0x11}, 2},
      {"literal cut at the row's end, excess consumed",
       {0x05, 1, 2, 3, 4, 5, 6, 0xFD, 7},
       4,
       {1, 2, 3, 4},
       7},
      {"data ends inside a literal", {0x05, 1, 2}, 4, {1, 2, 0, 0}, 3},
      {"data ends after a run header", {0x00, 9, 0xFD}, 4, {9, 0, 0, 0}, 3},
      {"only -128", {0x80, 0x80, 0x80}, 4, {0, 0, 0, 0}, 3},
      {"run of 128", {0x81, 0x42}, 128, Bytes(128, 0x42), 2},
  };
  std::vector<Case> longRows;
  {
    // Rows and data long enough for whole packets: one literal byte among no-operations
    // leaves the rest of the row empty.
    Bytes packed{0x00, 'x'};
    packed.insert(packed.end(), 130, 0x80);
    Bytes row(300, 0);
    row[0] = 'x';
    longRows.push_back({"one byte, then no-operations, in a long row", packed, 300, row, 132});
  }
  {
    Bytes packed{0x00, 'x', 0x7F};
    Bytes row(300, 0);
    row[0] = 'x';
    for (int i = 0; i < 128; ++i) {
      packed.push_back(uint8_t(i));
      row[size_t(i) + 1] = uint8_t(i);
    }
    packed.insert(packed.end(), {0xFE, 'z'});
    for (size_t i = 129; i < 132; ++i) row[i] = 'z';
    longRows.push_back({"short and long packets, the data ending inside the row", packed, 300, row,
                        packed.size()});
  }
  {
    Bytes packed, row;
    for (int k = 0; k < 5; ++k) {
      packed.insert(packed.end(), {0x81, uint8_t(k)});  // a run of 128
      row.insert(row.end(), 128, uint8_t(k));
      packed.push_back(0x02);  // a literal of 3
      for (int i = 0; i < 3; ++i) {
        packed.push_back(uint8_t(100 + k + i));
        row.push_back(uint8_t(100 + k + i));
      }
    }
    longRows.push_back(
        {"runs and literals filling the row", packed, row.size(), row, packed.size()});
  }
  std::vector<Case> all(std::begin(cases), std::end(cases));
  all.insert(all.end(), longRows.begin(), longRows.end());
  for (const Case& c : all) {
    std::span<const uint8_t> data(c.packed);
    Bytes row(c.count, 0);
    const size_t written = UnpackPackBitsRow(data, row.data(), row.size());
    EXPECT_EQ(row, c.row) << c.name;
    EXPECT_EQ(c.packed.size() - data.size(), c.consumed) << c.name;
    EXPECT_LE(written, c.count) << c.name;
  }
}

TEST(TiffPackBits, RowsNeverShareARun) {
  // Two rows of 4: the second row starts at a new header even though the first row's
  // literal was longer.
  TiffFixture f = Image(4, 2, {8}, 1);
  f.Short(259, 32773).Strip({0x05, 1, 2, 3, 4, 5, 6, 0xFD, 7});
  EXPECT_EQ(RowsOf(DecodeTiff(f.Build()), 4), (Bytes{1, 2, 3, 4, 7, 7, 7, 7}));
}

TEST(TiffPackBits, StripOfNoOperationsEnds) {
  TiffFixture f = Image(16, 16, {8}, 1);
  f.Short(259, 32773).Strip(Bytes(5000, 0x80));
  EXPECT_EQ(RowsOf(DecodeTiff(f.Build()), 16), Bytes(256, 0));
}

TEST(TiffPackBits, RowsPerStripGivesTheRowsOfEachStrip) {
  // RowsPerStrip 1 in a single strip holding two rows: only the first row is decoded.
  TiffFixture f = Image(2, 2, {8}, 1);
  f.Short(259, 32773).Long(278, 1).Strip({0x01, 5, 6, 0x01, 7, 8});
  EXPECT_EQ(RowsOf(DecodeTiff(f.Build()), 2), (Bytes{5, 6, 0, 0}));
  // The TIFF default of 2^32 - 1 written out means all rows.
  TiffFixture g = Image(2, 2, {8}, 1);
  g.Short(259, 32773).Long(278, 0xFFFFFFFF).Strip({0x01, 5, 6, 0x01, 7, 8});
  EXPECT_EQ(RowsOf(DecodeTiff(g.Build()), 2), (Bytes{5, 6, 7, 8}));
}

namespace {

Bytes LzwRow(const LzwCodes& codes, uint32_t width) {
  TiffFixture f = Image(width, 1, {8}, 1);
  f.Short(259, 5).Strip(codes.bytes());
  return RowsOf(DecodeTiff(f.Build()), width);
}

}  // namespace

TEST(TiffLzw, CodeSequences) {
  struct Case {
    const char* name;
    std::vector<int> codes;
    Bytes row;  // 4 pixels
  } cases[] = {
      {"258 defined by 7, 7", {256, 7, 7, 258, 257}, {7, 7, 7, 7}},
      {"258 while it is being defined", {256, 7, 258, 257}, {7, 7, 7, 0}},
      {"a string of a string", {256, 1, 2, 258, 259, 257}, {1, 2, 1, 2}},
      {"two Clears in a row", {256, 256, 5, 6, 257}, {5, 6, 0, 0}},
      {"no Clear at the start", {7, 8, 258, 257}, {7, 8, 7, 8}},
      {"code far beyond the table", {256, 7, 500, 257}, {7, 7, 7, 0}},
      {"first code after Clear beyond the bytes", {256, 300, 258, 257}, {44, 44, 44, 0}},
      {"no End of Information", {256, 9, 9}, {9, 9, 0, 0}},
      {"Clear in the middle", {256, 1, 2, 256, 3, 258, 257}, {1, 2, 3, 3}},
  };
  for (const Case& c : cases) {
    LzwCodes codes;
    for (int code : c.codes) codes.Code(code);
    EXPECT_EQ(LzwRow(codes, 4), c.row) << c.name;
  }
}

TEST(TiffLzw, CodesCrossBytesMostSignificantBitFirst) {
  // Clear (1 0000 0000), then 0x41 (0 0100 0001), then End of Information (1 0000 0001).
  const Bytes strip = {0x80, 0x10, 0x60, 0x20};
  TiffFixture f = Image(1, 1, {8}, 1);
  f.Short(259, 5).Strip(strip);
  EXPECT_EQ(DecodeTiff(f.Build()).scanLine(0)[0], 0x41);
}

TEST(TiffLzw, WidthGrowsOneCodeEarly) {
  // 600 single-byte codes after one Clear: the width becomes 10 after the 254th code and
  // 11 after the 766th; a decoder off by one code reads garbage from there on.
  const Bytes pixels = Ramp(600, 11);
  EXPECT_EQ(LzwRow(
                [&] {
                  LzwCodes c;
                  c.Code(256);
                  for (uint8_t b : pixels) c.Code(b);
                  return c.Code(257);
                }(),
                600),
            pixels);
}

TEST(TiffLzw, TableThatFillsWithoutClear) {
  // 5000 codes after one Clear: the table fills at 4096 entries, the width stays at 12 and
  // every string stays inside the table and the row.
  LzwCodes c;
  c.Code(256);
  for (int i = 0; i < 5000; ++i) c.Code(i % 3 == 0 ? 255 : 258 + (i % 4000));
  c.Code(257);
  TiffFixture f = Image(4000, 50, {8}, 1);
  f.Short(259, 5).Strip(c.bytes());
  const Bitmap b = DecodeTiff(f.Build());
  EXPECT_EQ(b.scanLine(0)[0], 255);
}

TEST(TiffLzw, StripEndingInsideACode) {
  // The last code's window reaches past the strip: the missing bits read as zeros.
  for (size_t cut = 1; cut <= 4; ++cut) {
    LzwCodes c;
    c.Code(256).Code(0x81).Code(0x82);
    Bytes strip = c.bytes();
    strip.resize(cut);
    TiffFixture f = Image(2, 1, {8}, 1);
    f.Short(259, 5).Strip(strip);
    EXPECT_NO_THROW(DecodeTiff(f.Build())) << cut;
  }
}

TEST(TiffLzw, StripsStartAtTheBeginningOfARow) {
  // The first strip stops one byte into its second row; the second strip starts that row
  // again.
  TiffFixture f = Image(3, 2, {8}, 1);
  f.Short(259, 5).Long(278, 1).Strip(LiteralLzw({1, 2, 3, 9})).Strip(LiteralLzw({4, 5, 6}));
  EXPECT_EQ(RowsOf(DecodeTiff(f.Build()), 3), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST(TiffLzw, BytesAfterTheLastRowAreDropped) {
  TiffFixture f = Image(2, 1, {8}, 1);
  f.Short(259, 5).Strip(LiteralLzw({1, 2, 3, 4, 5}));
  EXPECT_EQ(RowsOf(DecodeTiff(f.Build()), 2), (Bytes{1, 2}));
}

TEST(TiffPlanar, PlaneRowsLandInTheirRows) {
  // Planar RGB, 3 x 2, every plane in one strip: plane rows in rows 0 and 1 for all three
  // families.
  const Bytes red = {10, 11, 12, 13, 14, 15}, green = {20, 21, 22, 23, 24, 25},
              blue = {30, 31, 32, 33, 34, 35};
  for (Family family : {kNone, kPackBits, kLzw}) {
    TiffFixture f = Image(3, 2, {8, 8, 8}, 2);
    f.Short(259, CompressionTag(family)).Short(284, 2);
    f.Strip(Encode(family, red, 3)).Strip(Encode(family, green, 3)).Strip(Encode(family, blue, 3));
    const Bitmap b = DecodeTiff(f.Build());
    ASSERT_EQ(b.format(), PixelFormat::pf24bit);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x)
        EXPECT_EQ(b.pixelColor(x, y),
                  (PaletteEntry{red[size_t(3 * y + x)], green[size_t(3 * y + x)],
                                blue[size_t(3 * y + x)]}))
            << kFamilyNames[family] << " " << x << "," << y;
  }
}

TEST(TiffPlanar, OneStripHoldingAllPlanes) {
  TiffFixture f = Image(2, 1, {8, 8, 8}, 2);
  f.Short(284, 2).Strip({1, 2, 3, 4, 5, 6});
  const Bitmap b = DecodeTiff(f.Build());
  EXPECT_EQ(b.pixelColor(0, 0), (PaletteEntry{1, 3, 5}));
  EXPECT_EQ(b.pixelColor(1, 0), (PaletteEntry{2, 4, 6}));
}

TEST(TiffPlanar, FourSamplesAndLabInFileOrder) {
  // RGBA: R, G, B, A planes give blue, green, red, fourth byte.
  {
    TiffFixture f = Image(1, 1, {8, 8, 8, 8}, 2);
    f.Short(284, 2).Strip({200}).Strip({100}).Strip({50}).Strip({7});
    const Bitmap b = DecodeTiff(f.Build());
    ASSERT_EQ(b.format(), PixelFormat::pf32bit);
    EXPECT_EQ(Bytes(b.scanLine(0), b.scanLine(0) + 4), (Bytes{50, 100, 200, 7}));
  }
  // CMYK planes: C 200, M 0, Y 50, K 5 give red 50, green 250, blue 200.
  {
    TiffFixture f = Image(1, 1, {8, 8, 8, 8}, 5);
    f.Short(284, 2).Strip({200}).Strip({0}).Strip({50}).Strip({5});
    const Bitmap b = DecodeTiff(f.Build());
    ASSERT_EQ(b.format(), PixelFormat::pf24bit);
    EXPECT_EQ(b.pixelColor(0, 0), (PaletteEntry{50, 250, 200}));
  }
  // L*a*b* planes: L 60, a 40, b -30 give 41, 17, 50.
  {
    TiffFixture f = Image(1, 1, {8, 8, 8}, 8);
    f.Short(284, 2).Strip({60}).Strip({40}).Strip({uint8_t(-30)});
    EXPECT_EQ(DecodeTiff(f.Build()).pixelColor(0, 0), (PaletteEntry{41, 17, 50}));
  }
}

TEST(TiffPredictor, DifferencingUndoneOnceForEveryLayout) {
  struct Case {
    const char* name;
    std::vector<uint32_t> bits;
    uint32_t photometric, planar;
    std::vector<Bytes> strips;  // differenced samples
    std::vector<PaletteEntry> pixels;
  } cases[] = {
      {"8-bit grey",
       {8},
       1,
       1,
       {{10, 1, 1, 1}},
       {{10, 10, 10}, {11, 11, 11}, {12, 12, 12}, {13, 13, 13}}},
      {"RGB chunky", {8, 8, 8}, 2, 1, {{10, 20, 30, 1, 2, 3}}, {{10, 20, 30}, {11, 22, 33}}},
      {"RGB planar", {8, 8, 8}, 2, 2, {{10, 1}, {20, 2}, {30, 3}}, {{10, 20, 30}, {11, 22, 33}}},
      {"CMYK chunky",
       {8, 8, 8, 8},
       5,
       1,
       {{0, 0, 0, 10, 0, 0, 0, 10}},
       {{245, 245, 245}, {235, 235, 235}}},
      {"CMYK planar",
       {8, 8, 8, 8},
       5,
       2,
       {{0, 0}, {0, 0}, {0, 0}, {10, 10}},
       {{245, 245, 245}, {235, 235, 235}}},
      {"Lab chunky", {8, 8, 8}, 8, 1, {{50, 0, 0, 10, 0, 0}}, {{18, 19, 17}, {27, 29, 26}}},
      {"Lab planar", {8, 8, 8}, 8, 2, {{50, 10}, {0, 0}, {0, 0}}, {{18, 19, 17}, {27, 29, 26}}},
  };
  for (const Case& c : cases)
    for (Family family : {kNone, kPackBits, kLzw}) {
      TiffFixture f = Image(uint32_t(c.pixels.size()), 1, c.bits, c.photometric);
      f.Short(259, CompressionTag(family)).Short(284, c.planar).Short(317, 2);
      for (const Bytes& s : c.strips) f.Strip(Encode(family, s, s.size()));
      const Bitmap b = DecodeTiff(f.Build());
      for (size_t x = 0; x < c.pixels.size(); ++x)
        EXPECT_EQ(b.pixelColor(int(x), 0), c.pixels[x])
            << c.name << " " << kFamilyNames[family] << " " << x;
    }
}

TEST(TiffPredictor, FourBitSamples) {
  TiffFixture f = Image(4, 1, {4}, 1);
  f.Short(317, 2).Strip({0x12, 0x34});
  const Bitmap b = DecodeTiff(f.Build());
  EXPECT_EQ(b.scanLine(0)[0], 0x13);
  EXPECT_EQ(b.scanLine(0)[1], 0x6A);
}

TEST(TiffYCbCr, DataUnitsCoverTheImage) {
  // 3 x 3 with H = 2, V = 2: units for columns 0-1 and 2(-3) of rows 0-1, then of row 2.
  // Every luma sample is distinct; Cb = Cr = 128 keeps the pixels grey at the luma.
  TiffFixture f = Image(3, 3, {8, 8, 8}, 6);
  f.Add(530, kShort, {2, 2});
  f.Strip({10, 11, 13, 14, 128, 128,  // columns 0-1, rows 0-1
           12, 99, 15, 99, 128, 128,  // column 2 (column 3 dropped)
           16, 17, 99, 99, 128, 128,  // row 2 (row 3 dropped)
           18, 99, 99, 99, 128, 128});
  const Bitmap b = DecodeTiff(f.Build());
  const uint8_t expected[3][3] = {{10, 11, 12}, {13, 14, 15}, {16, 17, 18}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(b.pixelColor(x, y).green, expected[y][x]) << x << "," << y;
}

TEST(TiffYCbCr, LzwStripsAndColours) {
  // 2 x 1 with H = 1, V = 1 (three bytes per unit) through LZW, default coefficients and
  // reference black and white.
  TiffFixture f = Image(2, 1, {8, 8, 8}, 6);
  f.Short(259, 5).Add(530, kShort, {1, 1}).Strip(LiteralLzw({128, 128, 128, 0, 128, 255}));
  const Bitmap b = DecodeTiff(f.Build());
  EXPECT_EQ(b.pixelColor(0, 0), (PaletteEntry{128, 128, 128}));
  EXPECT_EQ(b.pixelColor(1, 0), (PaletteEntry{178, 0, 0}));
}

TEST(TiffYCbCr, CoefficientsAndReferenceBlackWhite) {
  // Luma 0.5/0.25/0.25 and Y from 16 (black) to 235 (white), chroma scaled 127 / (240-128).
  TiffFixture f = Image(1, 1, {8, 8, 8}, 6);
  f.Add(530, kShort, {1, 1})
      .Add(529, kRational, {1, 2, 1, 4, 1, 4})
      .Add(532, kRational, {16, 1, 235, 1, 128, 1, 240, 1, 128, 1, 240, 1})
      .Strip({125, 128, 184});
  // Y' = (125 - 16) * 255 / 219 = 126.9; Cr' = 56 * 127 / 112 = 63.5;
  // red = 63.5 * 1 + 126.9 = 190.4; blue = 126.9; green = (126.9 - .25 * 126.9 - .5 * 190.4) / .25
  const Bitmap b = DecodeTiff(f.Build());
  EXPECT_EQ(b.pixelColor(0, 0), (PaletteEntry{190, 0, 127}));
}
