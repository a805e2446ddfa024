// The BMP reader and writer: round trips, the header variants, run-length data, and
// damaged or lying files.
#include "platform/Bmp.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "BitmapTestUtil.h"
#include "platform/Errors.h"
#include "platform/PictureLoader.h"
#include "tests/support/AllocationCeiling.h"
#include "tests/support/TempDir.h"

namespace vandrel {
namespace {

using test::GetIndex;
using testing::TempDir;

// Builds a BMP file field by field, so that tests can write any header, true or not.
struct BmpFile {
  uint32_t headerSize = 40;
  int32_t width = 1, height = 1;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> masks;  // after a 40-byte header, or inside a longer one
  Palette palette;
  std::vector<uint8_t> pixels;
  std::optional<uint32_t> offBits;

  std::vector<uint8_t> bytes() const {
    std::vector<uint8_t> h;
    auto p16 = [&](uint32_t v) {
      h.push_back(uint8_t(v));
      h.push_back(uint8_t(v >> 8));
    };
    auto p32 = [&](uint32_t v) {
      p16(v & 0xFFFF);
      p16(v >> 16);
    };
    const bool core = headerSize == 12;
    if (core) {
      p32(12);
      p16(uint32_t(width));
      p16(uint32_t(height));
      p16(1);
      p16(bits);
    } else {
      p32(headerSize);
      p32(uint32_t(width));
      p32(uint32_t(height));
      p16(1);
      p16(bits);
      p32(compression);
      p32(uint32_t(pixels.size()));
      p32(2835);
      p32(2835);
      p32(colorsUsed);
      p32(0);
      size_t m = 0;
      while (h.size() < headerSize) p32(m < masks.size() && headerSize > 40 ? masks[m++] : 0);
      h.resize(headerSize);  // short OS/2 2.x headers end inside the fields above
      if (headerSize == 40)
        for (uint32_t v : masks) p32(v);
    }
    for (const PaletteEntry& e : palette) {
      h.push_back(e.blue);
      h.push_back(e.green);
      h.push_back(e.red);
      if (!core) h.push_back(0);
    }
    const uint32_t off = offBits.value_or(uint32_t(14 + h.size()));
    std::vector<uint8_t> out = {'B', 'M'};
    auto o32 = [&](uint32_t v) {
      for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
    };
    o32(uint32_t(14 + h.size() + pixels.size()));
    o32(0);
    o32(off);
    out.insert(out.end(), h.begin(), h.end());
    while (out.size() < off && off <= out.size() + 4096) out.push_back(0);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
  }
};

std::string MessageOf(std::span<const uint8_t> bytes) {
  try {
    DecodeBmp(bytes);
  } catch (const Exception& e) {
    return e.what();
  }
  return "(decoded)";
}

// Rows of an indexed bitmap as index strings, top row first, for compact expectations.
std::vector<std::string> IndexRows(const Bitmap& b) {
  std::vector<std::string> rows;
  for (int y = 0; y < b.height(); ++y) {
    std::string r;
    for (int x = 0; x < b.width(); ++x) r += "0123456789abcdef"[GetIndex(b, x, y) & 15];
    rows.push_back(r);
  }
  return rows;
}

// --- Round trips -------------------------------------------------------------------------

struct RoundTripCase {
  PixelFormat format;
  int width, height;
  int paletteSize;
};

class BmpRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(BmpRoundTrip, DecodesToWhatWasEncoded) {
  const RoundTripCase c = GetParam();
  Bitmap b = c.format >= PixelFormat::pf24bit
                 ? test::RandomColour(c.width, c.height, c.format)
                 : test::RandomIndexed(c.width, c.height, c.format,
                                       (1u << static_cast<int>(c.format)) - 1);
  if (b.indexed()) b.setPalette(test::DistinctPalette(c.paletteSize));
  const std::vector<uint8_t> file = EncodeBmp(b);
  EXPECT_EQ(file.size(), 54 + 4 * size_t(c.paletteSize) + b.stride() * size_t(c.height));
  const Bitmap back = DecodeBmp(file);
  EXPECT_EQ(back, b);  // format, palette, pixels (32 bits: the fourth byte too)
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, BmpRoundTrip,
                         ::testing::Values(RoundTripCase{PixelFormat::pf1bit, 13, 5, 2},
                                           RoundTripCase{PixelFormat::pf1bit, 32, 2, 2},
                                           RoundTripCase{PixelFormat::pf4bit, 7, 4, 16},
                                           RoundTripCase{PixelFormat::pf4bit, 9, 3, 5},
                                           RoundTripCase{PixelFormat::pf8bit, 5, 6, 256},
                                           RoundTripCase{PixelFormat::pf8bit, 1, 1, 17},
                                           RoundTripCase{PixelFormat::pf24bit, 3, 3, 0},
                                           RoundTripCase{PixelFormat::pf24bit, 64, 2, 0},
                                           RoundTripCase{PixelFormat::pf32bit, 5, 4, 0}));

TEST(BmpWriter, IndexedBitmapWithoutPaletteIsStoredBlack) {
  Bitmap b = test::RandomIndexed(4, 4, PixelFormat::pf4bit, 15);
  const Bitmap back = DecodeBmp(EncodeBmp(b));
  EXPECT_EQ(back.palette(), Palette(16));
  for (int x = 0; x < 4; ++x) EXPECT_EQ(GetIndex(back, x, 2), GetIndex(b, x, 2));
}

TEST(BmpWriter, PaletteLongerThanTheDepthIsCut) {
  Bitmap b(3, 1, PixelFormat::pf1bit);
  b.setPalette(test::DistinctPalette(200));
  const Bitmap back = DecodeBmp(EncodeBmp(b));
  EXPECT_EQ(back.palette(), test::DistinctPalette(2));
}

TEST(BmpWriter, EmptyBitmapIsRefused) {
  EXPECT_THROW(EncodeBmp(Bitmap()), Exception);
  EXPECT_THROW(EncodeBmp(Bitmap(0, 4, PixelFormat::pf8bit)), Exception);
}

TEST(BmpWriter, StoresRowsBottomUpWithTheStandardHeader) {
  Bitmap b(1, 2, PixelFormat::pf24bit);
  test::SetColour(b, 0, 0, {1, 2, 3});
  test::SetColour(b, 0, 1, {4, 5, 6});
  const std::vector<uint8_t> f = EncodeBmp(b);
  ASSERT_EQ(f.size(), 54u + 8u);
  EXPECT_EQ(f[0], 'B');
  EXPECT_EQ(f[10], 54);  // pixel offset
  EXPECT_EQ(f[14], 40);  // header size
  EXPECT_EQ(f[28], 24);  // bits
  const std::vector<uint8_t> rows(f.begin() + 54, f.end());
  EXPECT_EQ(rows, (std::vector<uint8_t>{6, 5, 4, 0, 3, 2, 1, 0}));  // bottom row first
}

// --- Header variants ---------------------------------------------------------------------

TEST(BmpReader, TopDownAndBottomUpGiveTheSameImage) {
  BmpFile f;
  f.width = 2;
  f.height = 2;
  // Row A: red, green; row B: blue, white (each padded to 8 bytes).
  const std::vector<uint8_t> a = {0, 0, 255, 0, 255, 0, 0, 0}, b = {255, 0, 0, 255, 255, 255, 0, 0};
  f.pixels = b;
  f.pixels.insert(f.pixels.end(), a.begin(), a.end());
  const Bitmap up = DecodeBmp(f.bytes());
  f.height = -2;
  f.pixels = a;
  f.pixels.insert(f.pixels.end(), b.begin(), b.end());
  const Bitmap down = DecodeBmp(f.bytes());
  EXPECT_EQ(up, down);
  EXPECT_EQ(up.pixelColor(0, 0), (PaletteEntry{255, 0, 0}));
  EXPECT_EQ(up.pixelColor(1, 0), (PaletteEntry{0, 255, 0}));
  EXPECT_EQ(up.pixelColor(0, 1), (PaletteEntry{0, 0, 255}));
  EXPECT_EQ(up.pixelColor(1, 1), (PaletteEntry{255, 255, 255}));
}

TEST(BmpReader, LongerWindowsHeadersReadAlike) {
  for (uint32_t size : {40u, 52u, 56u, 108u, 124u}) {
    BmpFile f;
    f.headerSize = size;
    f.width = 1;
    f.height = 1;
    f.pixels = {10, 20, 30, 0};
    const Bitmap b = DecodeBmp(f.bytes());
    EXPECT_EQ(b.pixelColor(0, 0), (PaletteEntry{30, 20, 10})) << size;
  }
}

TEST(BmpReader, Os2Headers) {
  // OS/2 1.x: 16-bit sizes and three-byte palette entries; here only 2 of 256 entries.
  BmpFile core;
  core.headerSize = 12;
  core.width = 3;
  core.height = 1;
  core.bits = 8;
  core.palette = {{1, 2, 3}, {200, 100, 50}};
  core.pixels = {1, 0, 1, 0};
  Bitmap b = DecodeBmp(core.bytes());
  EXPECT_EQ(b.format(), PixelFormat::pf8bit);
  EXPECT_EQ(b.palette(), core.palette);
  EXPECT_EQ(IndexRows(b), std::vector<std::string>{"101"});

  // OS/2 2.x: the full 64-byte header and a shortened 16-byte one.
  for (uint32_t size : {64u, 16u}) {
    BmpFile os2;
    os2.headerSize = size;
    os2.width = 2;
    os2.height = 1;
    os2.bits = 1;
    os2.palette = {{0, 0, 0}, {255, 255, 255}};
    os2.pixels = {0x40, 0, 0, 0};
    b = DecodeBmp(os2.bytes());
    EXPECT_EQ(b.palette(), os2.palette) << size;
    EXPECT_EQ(IndexRows(b), std::vector<std::string>{"01"}) << size;
  }
}

TEST(BmpReader, ShortPalettes) {
  struct Case {
    const char* name;
    uint32_t colorsUsed;
    size_t written;   // entries present in the file
    size_t expected;  // entries the bitmap gets
  };
  const Case cases[] = {
      {"colours used says 3", 3, 3, 3},
      {"colours used 0, room for 2 before the pixels", 0, 2, 2},
      {"colours used beyond the depth", 300, 256, 256},
  };
  for (const Case& c : cases) {
    BmpFile f;
    f.width = 4;
    f.height = 1;
    f.bits = 8;
    f.colorsUsed = c.colorsUsed;
    f.palette = test::DistinctPalette(int(c.written));
    f.pixels = {0, 1, 2, 255};
    const Bitmap b = DecodeBmp(f.bytes());
    EXPECT_EQ(b.palette().size(), c.expected) << c.name;
    EXPECT_EQ(b.pixelColor(1, 0), f.palette[1]) << c.name;
    EXPECT_EQ(b.scanLine(0)[3], 255) << c.name;  // the index stays even beyond the palette
  }
}

TEST(BmpReader, SixteenBitPixelsBecomeTwentyFourBits) {
  struct Case {
    const char* name;
    uint32_t compression;
    std::vector<uint32_t> masks;
    uint16_t pixel;
    PaletteEntry expected;
  };
  const Case cases[] = {
      {"555 white", 0, {}, 0x7FFF, {255, 255, 255}},
      {"555 blue", 0, {}, 0x001F, {0, 0, 255}},
      {"555 red half", 0, {}, 0x4000, {132, 0, 0}},
      {"555 ignores the top bit", 0, {}, 0x8000, {0, 0, 0}},
      {"565 red", 3, {0xF800, 0x07E0, 0x001F}, 0xF800, {255, 0, 0}},
      {"565 green", 3, {0xF800, 0x07E0, 0x001F}, 0x07E0, {0, 255, 0}},
      {"565 green 1/63", 3, {0xF800, 0x07E0, 0x001F}, 0x0020, {0, 4, 0}},
      {"444 with no red", 3, {0, 0x00F0, 0x000F}, 0x00FF, {0, 255, 255}},
  };
  for (const Case& c : cases) {
    BmpFile f;
    f.bits = 16;
    f.compression = c.compression;
    f.masks = c.masks;
    f.pixels = {uint8_t(c.pixel), uint8_t(c.pixel >> 8), 0, 0};
    const Bitmap b = DecodeBmp(f.bytes());
    EXPECT_EQ(b.format(), PixelFormat::pf24bit) << c.name;
    EXPECT_EQ(b.pixelColor(0, 0), c.expected) << c.name;
  }
}

TEST(BmpReader, ThirtyTwoBitPixels) {
  // Plain 32 bits keep the fourth byte as it is.
  BmpFile plain;
  plain.bits = 32;
  plain.pixels = {1, 2, 3, 4};
  Bitmap b = DecodeBmp(plain.bytes());
  EXPECT_EQ(b.format(), PixelFormat::pf32bit);
  EXPECT_EQ(std::vector<uint8_t>(b.scanLine(0), b.scanLine(0) + 4), plain.pixels);

  // Bit fields in any order; the fourth byte comes from the alpha mask, or is 0.
  BmpFile fields;
  fields.bits = 32;
  fields.compression = 3;
  fields.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // red in the low byte
  fields.pixels = {10, 20, 30, 40};
  b = DecodeBmp(fields.bytes());
  EXPECT_EQ(std::vector<uint8_t>(b.scanLine(0), b.scanLine(0) + 4),
            (std::vector<uint8_t>{30, 20, 10, 0}));

  BmpFile v5 = fields;
  v5.headerSize = 124;
  v5.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  b = DecodeBmp(v5.bytes());
  EXPECT_EQ(std::vector<uint8_t>(b.scanLine(0), b.scanLine(0) + 4), fields.pixels);

  // 10 bits per channel are scaled to 8.
  BmpFile wide;
  wide.bits = 32;
  wide.compression = 3;
  wide.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
  const uint32_t v = 1023u << 20 | 512u << 10 | 0u;
  wide.pixels = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  b = DecodeBmp(wide.bytes());
  EXPECT_EQ(b.pixelColor(0, 0), (PaletteEntry{255, 128, 0}));
}

// --- Run-length data ---------------------------------------------------------------------

TEST(BmpReader, Rle8) {
  BmpFile f;
  f.width = 6;
  f.height = 4;
  f.bits = 8;
  f.compression = 1;
  f.palette = test::DistinctPalette(16);
  f.pixels = {
      3, 1, 3, 2,         // bottom row: run 111, run 222
      0, 0,               // end of row
      0, 3, 4, 5, 6, 0,   // literal 456 padded to an even count
      0, 2, 1, 1,         // move right 1 and up 1: x = 4 of the next row
      2, 9,               // run 99
      0, 0,               //
      0, 4, 7, 8, 9, 10,  // literal 789a
      0, 1,               // end of image
  };
  const Bitmap b = DecodeBmp(f.bytes());
  EXPECT_EQ(IndexRows(b), (std::vector<std::string>{"789a00", "000099", "456000", "111222"}));
  EXPECT_EQ(b.palette(), f.palette);
}

TEST(BmpReader, Rle4) {
  BmpFile f;
  f.width = 5;
  f.height = 3;
  f.bits = 4;
  f.compression = 2;
  f.palette = test::DistinctPalette(16);
  f.pixels = {
      5, 0x12,                       // bottom row: 12121
      0, 0,                          //
      3, 0xAB, 0,    0,              // aba, then end of row
      0, 5,    0x34, 0x56, 0x70, 0,  // top row literal 34567, 3 bytes padded to 4
      0, 1,
  };
  const Bitmap b = DecodeBmp(f.bytes());
  EXPECT_EQ(b.format(), PixelFormat::pf4bit);
  EXPECT_EQ(IndexRows(b), (std::vector<std::string>{"34567", "aba00", "12121"}));
}

TEST(BmpReader, RleMayEndWithoutTheEndCodeOnceTheImageIsComplete) {
  BmpFile f;
  f.width = 2;
  f.height = 2;
  f.bits = 8;
  f.compression = 1;
  f.palette = test::DistinctPalette(4);
  f.pixels = {2, 1, 0, 0, 2, 3};
  EXPECT_EQ(IndexRows(DecodeBmp(f.bytes())), (std::vector<std::string>{"33", "11"}));
}

// --- Damaged and lying files -------------------------------------------------------------

struct Damaged {
  const char* name;
  std::vector<uint8_t> bytes;
  const char* message;  // a text the error must contain
};

BmpFile Rle8(int w, int h, std::vector<uint8_t> data) {
  BmpFile f;
  f.width = w;
  f.height = h;
  f.bits = 8;
  f.compression = 1;
  f.palette = test::DistinctPalette(2);
  f.pixels = std::move(data);
  return f;
}

std::vector<Damaged> DamagedFiles() {
  std::vector<Damaged> d;
  auto with = [](auto change) {
    BmpFile f;
    f.width = 4;
    f.height = 2;
    f.pixels.assign(24, 0);
    change(f);
    return f.bytes();
  };
  d.push_back({"empty", {}, "too short"});
  d.push_back({"no signature", with([](BmpFile&) {}), ""});
  d.back().bytes[0] = 'X';
  d.back().message = "no BM signature";
  d.push_back(
      {"header size 200", with([](BmpFile& f) { f.headerSize = 200; }), "unsupported header size"});
  {
    auto b = with([](BmpFile&) {});
    b.resize(30);
    d.push_back({"ends inside the header", b, "ends inside the bitmap header"});
  }
  d.push_back({"width 0", with([](BmpFile& f) { f.width = 0; }), "invalid width"});
  d.push_back({"negative width", with([](BmpFile& f) { f.width = -4; }), "invalid width"});
  d.push_back({"height 0", with([](BmpFile& f) { f.height = 0; }), "invalid height"});
  d.push_back({"width too large", with([](BmpFile& f) { f.width = vandrel::Bitmap::kMaxSide + 1; }),
               "too large"});
  d.push_back({"height INT_MIN", with([](BmpFile& f) { f.height = INT32_MIN; }), "too large"});
  d.push_back({"claims 40000 x 40000 pixels", with([](BmpFile& f) { f.width = f.height = 40000; }),
               "too large"});
  d.push_back({"claims 16000 x 16000 in 24 bytes",
               with([](BmpFile& f) { f.width = f.height = 16000; }), "truncated"});
  {
    auto b = with([](BmpFile&) {});
    b.pop_back();
    d.push_back({"last pixel missing", b, "truncated"});
  }
  d.push_back(
      {"2 bits per pixel", with([](BmpFile& f) { f.bits = 2; }), "unsupported bit count 2"});
  d.push_back(
      {"64 bits per pixel", with([](BmpFile& f) { f.bits = 64; }), "unsupported bit count"});
  d.push_back(
      {"JPEG inside", with([](BmpFile& f) { f.compression = 4; }), "unsupported compression 4"});
  d.push_back({"RLE8 on 24 bits", with([](BmpFile& f) { f.compression = 1; }),
               "unsupported compression 1"});
  d.push_back({"OS/2 Huffman", with([](BmpFile& f) {
                 f.headerSize = 64;
                 f.bits = 1;
                 f.compression = 3;
               }),
               "unsupported compression 3"});
  d.push_back({"pixel offset beyond the file", with([](BmpFile& f) { f.offBits = 100000; }),
               "beyond the end of the file"});
  d.push_back({"pixel offset inside the header", with([](BmpFile& f) { f.offBits = 20; }),
               "points into the header"});
  d.push_back({"masks cut off", with([](BmpFile& f) {
                 f.bits = 16;
                 f.compression = 3;
                 f.pixels.clear();
                 f.masks = {0xF800};
               }),
               "ends inside the colour masks"});
  d.push_back({"masks with holes", with([](BmpFile& f) {
                 f.bits = 16;
                 f.compression = 3;
                 f.masks = {0xF0F0, 0x0F00, 0x000F};
               }),
               "not contiguous"});
  d.push_back(
      {"RLE run past the row", Rle8(4, 2, {5, 1, 0, 1}).bytes(), "passes the end of a row"});
  d.push_back({"RLE literal past the row", Rle8(4, 2, {2, 1, 0, 3, 1, 1, 1, 0}).bytes(),
               "passes the end of a row"});
  d.push_back(
      {"RLE past the image", Rle8(2, 1, {2, 1, 0, 0, 2, 1}).bytes(), "past the end of the image"});
  d.push_back({"RLE move outside", Rle8(4, 2, {0, 2, 5, 0}).bytes(), "move leaves the image"});
  d.push_back({"RLE move above", Rle8(4, 2, {0, 2, 0, 3}).bytes(), "move leaves the image"});
  d.push_back({"RLE ends early", Rle8(4, 2, {4, 1, 0, 0}).bytes(), "ends before the end"});
  d.push_back({"RLE literal cut off", Rle8(4, 2, {0, 4, 1, 1}).bytes(), "inside literal pixels"});
  d.push_back({"RLE move cut off", Rle8(4, 2, {0, 2, 1}).bytes(), "inside a move"});
  d.push_back({"RLE claims 30000 x 30000 in 4 bytes", Rle8(30000, 30000, {0, 0, 0, 1}).bytes(),
               "too short for an image"});
  {
    BmpFile f = Rle8(2, -2, {0, 1});
    d.push_back({"top-down RLE", f.bytes(), "top-down bitmap cannot be compressed"});
  }
  return d;
}

TEST(BmpReader, DamagedFilesRaiseClearErrors) {
  for (const Damaged& c : DamagedFiles()) {
    const std::string m = MessageOf(c.bytes);
    EXPECT_NE(m.find(c.message), std::string::npos) << c.name << ": " << m;
    EXPECT_EQ(m.rfind("BMP: ", 0), 0u) << c.name << ": " << m;
  }
}

TEST(BmpReader, EveryTruncationAndByteChangeDecodesOrRaises) {
  // Valid files of each kind, cut at every length and with every header byte changed: each
  // must either decode or raise Exception (the sanitizers catch what goes wrong inside).
  std::vector<std::vector<uint8_t>> files;
  for (PixelFormat f : {PixelFormat::pf1bit, PixelFormat::pf4bit, PixelFormat::pf8bit,
                        PixelFormat::pf24bit, PixelFormat::pf32bit}) {
    Bitmap b =
        f >= PixelFormat::pf24bit ? test::RandomColour(5, 3, f) : test::RandomIndexed(5, 3, f, 1);
    if (b.indexed()) b.setPalette(test::DistinctPalette(2));
    files.push_back(EncodeBmp(b));
  }
  files.push_back(Rle8(6, 3, {3, 1, 0, 3, 1, 0, 1, 0, 0, 0, 0, 2, 1, 1, 2, 1, 0, 1}).bytes());
  BmpFile rle4 = Rle8(5, 2, {5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1});
  rle4.bits = 4;
  rle4.compression = 2;
  files.push_back(rle4.bytes());
  BmpFile fields;
  fields.bits = 16;
  fields.compression = 3;
  fields.masks = {0xF800, 0x07E0, 0x001F};
  fields.width = 3;
  fields.pixels.assign(8, 0x5A);
  files.push_back(fields.bytes());

  for (const std::vector<uint8_t>& file : files) {
    for (size_t n = 0; n < file.size(); ++n) {
      const std::vector<uint8_t> cut(file.begin(), file.begin() + n);
      MessageOf(cut);
    }
    for (size_t i = 0; i < std::min<size_t>(file.size(), 80); ++i)
      for (uint8_t v : {uint8_t(0), uint8_t(1), uint8_t(0x7F), uint8_t(0x80), uint8_t(0xFF)}) {
        std::vector<uint8_t> changed = file;
        changed[i] = v;
        MessageOf(changed);
      }
  }
}

// --- Saving and loading ------------------------------------------------------------------

TEST(SaveBmp, WritesAFileThatTheLoaderReadsWhateverTheCase) {
  TempDir dir;
  Bitmap b = test::RandomIndexed(9, 9, PixelFormat::pf8bit, 255);
  b.setPalette(GreyRamp());
  SaveBmp(b, dir / "grey.BMP");
  EXPECT_EQ(LoadPicture(dir / "grey.BMP"), b);
  EXPECT_EQ(ReadWholeFile(dir / "grey.BMP"), EncodeBmp(b));
  // Overwriting replaces the file, and no temporary file stays behind.
  const Bitmap c = test::RandomColour(3, 2, PixelFormat::pf24bit);
  SaveBmp(c, dir / "grey.BMP");
  EXPECT_EQ(LoadPicture(dir / "grey.BMP"), c);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(SaveBmp, FailuresRaiseInputOutputErrorsAndKeepTheEarlierFile) {
  TempDir dir;
  const Bitmap b = test::RandomColour(2, 2, PixelFormat::pf24bit);
  // A folder that does not exist.
  try {
    SaveBmp(b, dir / "no/such/folder/x.bmp");
    ADD_FAILURE() << "saved into a missing folder";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("x.bmp"), std::string::npos) << e.what();
  }
  // A folder in the way of the file: it stays, and no temporary file is left.
  std::filesystem::create_directory(dir / "taken.bmp");
  EXPECT_THROW(SaveBmp(b, dir / "taken.bmp"), EInOutError);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.bmp"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
  // A read-only folder: the earlier file keeps its content.
  if (geteuid() != 0) {
    SaveBmp(b, dir / "kept.bmp");
    chmod(dir.path().c_str(), 0555);
    EXPECT_THROW(SaveBmp(test::RandomColour(5, 5, PixelFormat::pf24bit), dir / "kept.bmp"),
                 EInOutError);
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(LoadPicture(dir / "kept.bmp"), b);
  }
}

TEST(SaveBmp, EmptyBitmapWritesNothing) {
  TempDir dir;
  EXPECT_THROW(SaveBmp(Bitmap(), dir / "empty.bmp"), Exception);
  EXPECT_FALSE(std::filesystem::exists(dir / "empty.bmp"));
}

TEST(BuiltInFormats, BmpAndJpegAreRegisteredFirst) {
  const std::vector<PictureFormat> formats = PictureFormats();
  ASSERT_GE(formats.size(), 3u);
  EXPECT_EQ(formats[0].extension, "BMP");
  EXPECT_EQ(formats[1].extension, "JPG");
  EXPECT_EQ(formats[2].extension, "JPEG");
  const Bitmap b = test::RandomColour(2, 2, PixelFormat::pf24bit);
  EXPECT_EQ(DecodePicture("bmp", EncodeBmp(b)), b);
}

}  // namespace
}  // namespace vandrel

namespace vandrel {

// A picture beyond the decoded-image budget ends in the reader's message before its bitmap
// is allocated; one within it decodes.
TEST(BmpReader, PicturesBeyondTheBudgetAreRefused) {
  const Bitmap picture(1000, 600, PixelFormat::pf24bit);  // 1.8 MB of pixels
  const std::vector<uint8_t> file = EncodeBmp(picture);
  {
    testing::AllocationCeiling ceiling(1 << 20);
    EXPECT_EQ(MessageOf(file), "BMP: the image is too large (1000 x 600)");
    EXPECT_LT(ceiling.Peak(), 1 << 20);
  }
  testing::AllocationCeiling ceiling(2 << 20);
  EXPECT_EQ(DecodeBmp(file).width(), 1000);
}

}  // namespace vandrel
