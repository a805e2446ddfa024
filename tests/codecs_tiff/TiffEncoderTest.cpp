// The TIFF writer: byte-exact files for the layout's examples, the compressors, and round
// trips through libtiff and our reader for every depth and compression.
#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "TiffFixture.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/common/LzwTable.h"
#include "codecs/tiff/TiffCompress.h"
#include "codecs/tiff/TiffDecoder.h"
#include "codecs/tiff/TiffEncoder.h"
#include "codecs/tiff/TiffImage.h"

using namespace vandrel;
using namespace tifftest;

namespace {

// Little-endian fields of an expected file.
struct Expected {
  Bytes bytes;
  Expected& U16(uint32_t v) {
    bytes.push_back(uint8_t(v));
    bytes.push_back(uint8_t(v >> 8));
    return *this;
  }
  Expected& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Expected& Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    return U16(tag).U16(type).U32(count).U32(value);
  }
  Expected& Raw(const Bytes& b) {
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
  }
};

Bytes EncodeOne(const Bitmap& b, uint8_t compression, const std::string& description = "",
                const std::string& software = "", const std::string& artist = "") {
  Bytes out;
  TTIFFEncoder encoder(&out);
  encoder.Encode(b, compression, description, software, artist);
  return out;
}

uint32_t Read32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}
uint16_t Read16(const Bytes& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

// Value field of a tag in the directory at `ifd`.
uint32_t Field(const Bytes& file, size_t ifd, uint16_t tag, uint32_t* count = nullptr) {
  const uint16_t n = Read16(file, ifd);
  for (uint16_t i = 0; i < n; ++i) {
    const size_t e = ifd + 2 + 12 * size_t(i);
    if (Read16(file, e) == tag) {
      if (count) *count = Read32(file, e + 4);
      return Read32(file, e + 8);
    }
  }
  ADD_FAILURE() << "no tag " << tag;
  return 0;
}

// The pixels of a bitmap of any depth, varied enough for runs and literals.
Bitmap Picture(int w, int h, PixelFormat format) {
  Bitmap b(w, h, format);
  for (int y = 0; y < h; ++y)
    for (size_t i = 0; i < b.stride(); ++i)
      b.scanLine(y)[i] =
          uint8_t((i / 7 + size_t(y)) % 5 == 0 ? 0x3C : (i * 37 + size_t(y) * 11) >> 1);
  // Bytes past a row's pixels stay zero, as in any bitmap.
  const size_t rowBytes = (size_t(w) * b.bitsPerPixel() + 7) / 8;
  for (int y = 0; y < h; ++y) {
    std::fill(b.scanLine(y) + rowBytes, b.scanLine(y) + b.stride(), 0);
    if (b.bitsPerPixel() < 8 && (w * b.bitsPerPixel()) % 8 != 0)
      b.scanLine(y)[rowBytes - 1] &= uint8_t(0xFF << (8 - (w * b.bitsPerPixel()) % 8));
  }
  if (b.indexed()) {
    Palette p(size_t(1) << b.bitsPerPixel());
    for (size_t i = 0; i < p.size(); ++i) p[i] = {uint8_t(i * 7), uint8_t(255 - i), uint8_t(i * 3)};
    b.setPalette(p);
  }
  return b;
}

// The bitmap as the writer stores it: the fourth byte of 32-bit pixels opaque.
Bitmap AsWritten(Bitmap b) {
  if (b.format() == PixelFormat::pf32bit)
    for (int y = 0; y < b.height(); ++y)
      for (int x = 0; x < b.width(); ++x) b.scanLine(y)[4 * x + 3] = 0xFF;
  return b;
}

}  // namespace

TEST(TiffEncoder, OneByOneEightBits) {
  Bitmap b(1, 1, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  b.scanLine(0)[0] = 0x5A;
  Expected e;
  e.Raw({'I', 'I'}).U16(42).U32(8).U16(10);
  const uint32_t map = 8 + 2 + 12 * 10 + 4, strip = map + 768 * 2;
  e.Entry(256, 4, 1, 1).Entry(257, 4, 1, 1).Entry(258, 3, 1, 8).Entry(259, 3, 1, 1);
  e.Entry(262, 3, 1, 3).Entry(273, 4, 1, strip).Entry(277, 3, 1, 1).Entry(278, 4, 1, 1);
  e.Entry(279, 4, 1, 1).Entry(320, 3, 768, map).U32(0);
  for (int channel = 0; channel < 3; ++channel)
    for (uint32_t i = 0; i < 256; ++i) e.U16(i * 257);
  e.Raw({0x5A});
  EXPECT_EQ(EncodeOne(b, 0), e.bytes);
}

TEST(TiffEncoder, ThirtyTwoBitsAsFourSamples) {
  Bitmap b(2, 1, PixelFormat::pf32bit);
  const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8};  // blue, green, red, fourth byte
  std::copy(pixels.begin(), pixels.end(), b.scanLine(0));
  Expected e;
  e.Raw({'I', 'I'}).U16(42).U32(8).U16(11);
  const uint32_t bits = 8 + 2 + 12 * 11 + 4, strip = bits + 8;
  e.Entry(256, 4, 1, 2).Entry(257, 4, 1, 1).Entry(258, 3, 4, bits).Entry(259, 3, 1, 32773);
  e.Entry(262, 3, 1, 2).Entry(273, 4, 1, strip).Entry(277, 3, 1, 4).Entry(278, 4, 1, 1);
  // The fourth sample is ExtraSamples 0, data of no stated meaning, not opacity.
  e.Entry(279, 4, 1, 9).Entry(284, 3, 1, 1).Entry(338, 3, 1, 0).U32(0);
  e.U16(8).U16(8).U16(8).U16(8);
  e.Raw({0x07, 3, 2, 1, 0xFF, 7, 6, 5, 0xFF});  // one literal of R, G, B, opaque
  EXPECT_EQ(EncodeOne(b, 6), e.bytes);
}

TEST(TiffEncoder, TwoPagesChained) {
  Bitmap first(1, 1, PixelFormat::pf8bit), second(2, 2, PixelFormat::pf24bit);
  Bytes out;
  TTIFFEncoder encoder(&out);
  encoder.Encode(first, 0, "", "", "");
  const size_t end = out.size();
  const size_t nextField = 8 + 2 + 12 * 10;
  EXPECT_EQ(Read32(out, nextField), 0u);
  encoder.Encode(second, 0, "", "", "");
  EXPECT_EQ(Read32(out, nextField), end);
  EXPECT_EQ(Read16(out, end), 10);  // the second directory's entry count
  EXPECT_EQ(Field(out, end, 256), 2u);
  EXPECT_EQ(Read32(out, end + 2 + 12 * 10), 0u);
  // Both pages can be walked and read.
  TiffStream stream(out);
  TTIFFDecoder decoder(stream);
  decoder.ScanIFDs(false);
  EXPECT_EQ(decoder.PageCount(), 2);
}

TEST(TiffEncoder, Texts) {
  const Bitmap b(1, 1, PixelFormat::pf24bit);
  const Bytes out = EncodeOne(b, 0, "AB", "", "Four");
  EXPECT_EQ(Read16(out, 8), 12);  // 10 entries and two texts
  uint32_t count = 0;
  const uint32_t inline_ = Field(out, 8, 270, &count);
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(inline_, 0x00004241u);  // 'A', 'B', 0, 0
  const uint32_t at = Field(out, 8, 315, &count);
  EXPECT_EQ(count, 5u);
  EXPECT_EQ(Bytes(out.begin() + at, out.begin() + at + 5), (Bytes{'F', 'o', 'u', 'r', 0}));
  // The long text comes right after BitsPerSample, before the strip.
  EXPECT_EQ(at, 8 + 2 + 12 * 12 + 4 + 6u);
  EXPECT_EQ(Field(out, 8, 273), at + 5);
  // Entries in ascending tag order.
  for (int i = 1; i < 12; ++i) EXPECT_LT(Read16(out, 10 + 12 * (i - 1)), Read16(out, 10 + 12 * i));
  // Our reader returns them.
  TiffStream stream(out);
  TTIFFDecoder decoder(stream);
  decoder.ScanIFDs(true);
  Bitmap read;
  TiffTexts texts;
  decoder.DecodePage(0, &read, texts);
  EXPECT_EQ(texts.imageDescription, "AB");
  EXPECT_EQ(texts.software, "");
  EXPECT_EQ(texts.artist, "Four");
}

TEST(TiffEncoder, StripPlan) {
  struct Case {
    int width, height;
    PixelFormat format;
    std::vector<uint32_t> sizes;
    uint32_t rowsPerStrip;
  } cases[] = {
      {100, 200, PixelFormat::pf24bit, {32700, 27300}, 109},
      {32768, 3, PixelFormat::pf8bit, {32768, 32768, 32768}, 1},
      {40000, 8, PixelFormat::pf1bit, {30000, 10000}, 6},
      {64, 64, PixelFormat::pf4bit, {2048}, 64},
  };
  for (const Case& c : cases) {
    const Bytes out = EncodeOne(Bitmap(c.width, c.height, c.format), 0);
    uint32_t count = 0;
    const uint32_t offsets = Field(out, 8, 273, &count);
    ASSERT_EQ(count, c.sizes.size()) << c.width;
    EXPECT_EQ(Field(out, 8, 278), c.rowsPerStrip) << c.width;
    const uint32_t counts = Field(out, 8, 279);
    if (c.sizes.size() == 1) {
      EXPECT_EQ(counts, c.sizes[0]);
      EXPECT_EQ(offsets + counts, out.size());
      continue;
    }
    // Byte counts first, then the offsets, right before the strips.
    EXPECT_EQ(offsets, counts + 4 * count);
    for (size_t i = 0; i < c.sizes.size(); ++i) {
      EXPECT_EQ(Read32(out, counts + 4 * i), c.sizes[i]) << c.width << " " << i;
      EXPECT_EQ(Read32(out, offsets + 4 * i),
                i == 0 ? offsets + 4 * count : Read32(out, offsets + 4 * (i - 1)) + c.sizes[i - 1]);
    }
  }
}

TEST(TiffEncoder, ColourMaps) {
  auto map = [](const Bitmap& b, size_t entry) {
    const Bytes out = EncodeOne(b, 0);
    uint32_t count = 0;
    const uint32_t at = Field(out, 8, 320, &count);
    const size_t n = count / 3;
    return PaletteEntry{uint8_t(Read16(out, at + 2 * entry) >> 8),
                        uint8_t(Read16(out, at + 2 * (n + entry)) >> 8),
                        uint8_t(Read16(out, at + 2 * (2 * n + entry)) >> 8)};
  };
  const Bitmap bilevel(1, 1, PixelFormat::pf1bit);
  EXPECT_EQ(map(bilevel, 0), (PaletteEntry{0, 0, 0}));
  EXPECT_EQ(map(bilevel, 1), (PaletteEntry{255, 255, 255}));
  const Bitmap four(1, 1, PixelFormat::pf4bit), eight(1, 1, PixelFormat::pf8bit);
  EXPECT_EQ(map(four, 9), (PaletteEntry{166, 202, 240}));
  EXPECT_EQ(map(four, 15), (PaletteEntry{255, 255, 0}));
  EXPECT_EQ(map(eight, 19), (PaletteEntry{255, 255, 255}));
  EXPECT_EQ(map(eight, 20), (PaletteEntry{0, 0, 0}));
  Bitmap short_(1, 1, PixelFormat::pf8bit);
  short_.setPalette({{1, 2, 3}, {4, 5, 6}});
  EXPECT_EQ(map(short_, 1), (PaletteEntry{4, 5, 6}));
  EXPECT_EQ(map(short_, 2), (PaletteEntry{0, 0, 0}));
  Bitmap long_(1, 1, PixelFormat::pf1bit);
  long_.setPalette({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
  const Bytes out = EncodeOne(long_, 0);
  uint32_t count = 0;
  Field(out, 8, 320, &count);
  EXPECT_EQ(count, 6u);
}

TEST(TiffEncoder, RefusedCompressionWritesNothing) {
  const Bitmap b(4, 4, PixelFormat::pf8bit);
  for (uint8_t index : {1, 2, 3, 5, 7, 255}) {
    Bytes out = {9, 9};
    TTIFFEncoder encoder(&out);
    try {
      encoder.Encode(b, index, "", "", "");
      ADD_FAILURE() << int(index);
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "TIFF: Unsupported \"Compression\" !");
    }
    EXPECT_EQ(out, (Bytes{9, 9})) << int(index);
  }
}

// An empty bitmap is refused before anything is written: a TIFF of no image would be a
// file no reader opens.
TEST(TiffEncoder, EmptyBitmapIsRefusedAndWritesNothing) {
  Bytes out;
  TTIFFEncoder encoder(&out);
  try {
    encoder.Encode(Bitmap(), 0, "text", "", "");
    FAIL() << "no error";
  } catch (const vandrel::Exception& e) {
    EXPECT_STREQ(e.what(), "The image is empty: nothing to save");
  }
  EXPECT_THROW(encoder.Encode(Bitmap(0, 5, PixelFormat::pf8bit), 4, "", "", ""),
               vandrel::Exception);
  EXPECT_THROW(encoder.Encode(Bitmap(5, 0, PixelFormat::pf24bit), 6, "", "", ""),
               vandrel::Exception);
  EXPECT_TRUE(out.empty());
  encoder.Encode(Bitmap(1, 1, PixelFormat::pf8bit), 0, "", "", "");
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 8), (Bytes{'I', 'I', 42, 0, 8, 0, 0, 0}));
}

TEST(TiffLzwEncoder, OneByte) {
  Bytes out;
  const uint8_t v = 0x41;
  CompressLZW(&v, 1, out);
  EXPECT_EQ(out, (Bytes{0x80, 0x10, 0x60, 0x20}));  // Clear, 0x41, End, 9 bits each
  out.clear();
  const uint8_t zero = 0;
  CompressLZW(&zero, 1, out);
  EXPECT_EQ(out, (Bytes{0x80, 0x00, 0x20, 0x20}));
}

namespace {

// The writer's LZW with the table searched entry by entry, as the format describes it.
Bytes LinearScanLzw(const Bytes& data) {
  TLZWTable table(false);
  Bytes out;
  uint64_t bits = 0;
  int count = 0, width = 9, next = 258;
  auto reset = [&] {
    width = 9;
    next = 258;
    table.Clear(258);
  };
  auto raw = [&](int code, int w) {
    bits = (bits << w) | uint32_t(code);
    count += w;
    while (count >= 8) out.push_back(uint8_t(bits >> (count -= 8)));
  };
  auto put = [&](int code) {
    raw(code, width);
    ++next;
    if (width < 12 && next == 1 << width) ++width;
    if (width == 12 && next == 4095) {
      raw(256, 12);
      reset();
    }
  };
  reset();
  put(256);
  reset();
  int w = data[0] + 1;
  for (size_t i = 1; i < data.size(); ++i) {
    const int f = table.Find(w, data[i]);
    if (f >= 0) {
      w = f;
    } else {
      table.Add(w, data[i]);
      put(w - 1);
      w = data[i] + 1;
    }
  }
  put(w - 1);
  put(257);
  if (count > 0) out.push_back(uint8_t(bits << (8 - count)));
  return out;
}

}  // namespace

TEST(TiffLzwEncoder, SameBytesAsTheLinearScan) {
  const struct {
    const char* name;
    size_t size;
    uint8_t (*byte)(size_t i);
  } cases[] = {
      {"constant", 100000, [](size_t) { return uint8_t(9); }},
      {"counting", 70000, [](size_t i) { return uint8_t(i); }},
      {"noise", 60000, [](size_t i) { return uint8_t((i * 2654435761u) >> 13); }},
      {"few values", 90000, [](size_t i) { return uint8_t(((i * 7919) >> 5) % 3); }},
      {"text", 50000, [](size_t i) { return uint8_t("the quick brown fox "[i % 20]); }},
  };
  for (const auto& c : cases) {
    Bytes data(c.size);
    for (size_t i = 0; i < c.size; ++i) data[i] = c.byte(i);
    Bytes fast;
    CompressLZW(data.data(), data.size(), fast);
    EXPECT_EQ(fast, LinearScanLzw(data)) << c.name;
  }
}

TEST(TiffPackBitsEncoder, Rows) {
  struct Case {
    const char* name;
    Bytes row, packed;
  } cases[] = {
      {"1, 2, 2, 3", {1, 2, 2, 3}, {0x00, 1, 0xFF, 2, 0x00, 3}},
      {"one byte", {7}, {0x00, 7}},
      {"a pair", {7, 7}, {0xFF, 7}},
      {"literal then run", {1, 2, 3, 3, 3}, {0x01, 1, 2, 0xFE, 3}},
      {"run then literal", {4, 4, 4, 5, 6}, {0xFE, 4, 0x01, 5, 6}},
  };
  for (const Case& c : cases) {
    Bytes out;
    PackBitsRow(c.row.data(), c.row.size(), out);
    EXPECT_EQ(out, c.packed) << c.name;
  }
  // 200 equal bytes: a run of 128, then one of 72.
  Bytes out;
  const Bytes equal(200, 0xAB);
  PackBitsRow(equal.data(), equal.size(), out);
  EXPECT_EQ(out, (Bytes{0x81, 0xAB, uint8_t(1 - 72), 0xAB}));
  // A run of 128 and one more equal byte: the next byte opens a literal.
  out.clear();
  const Bytes run129(129, 0x11);
  PackBitsRow(run129.data(), run129.size(), out);
  EXPECT_EQ(out, (Bytes{0x81, 0x11, 0x00, 0x11}));
  // 128 distinct bytes fill a literal; the 129th, equal to the 128th, opens a new one.
  Bytes distinct(129);
  for (size_t i = 0; i < 128; ++i) distinct[i] = uint8_t(i);
  distinct[128] = 127;
  out.clear();
  PackBitsRow(distinct.data(), distinct.size(), out);
  ASSERT_EQ(out.size(), 1 + 128 + 2u);
  EXPECT_EQ(out[0], 0x7F);
  EXPECT_EQ(out[129], 0x00);
  EXPECT_EQ(out[130], 127);
}

namespace {

class TempPath {
 public:
  TempPath() {
    static int serial = 0;
    path_ = (std::filesystem::temp_directory_path() / ("vandrel-tiffw-" + std::to_string(getpid()) +
                                                       "-" + std::to_string(serial++) + ".tif"))
                .string();
  }
  ~TempPath() { std::filesystem::remove(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

TEST(TiffEncoder, RoundTripsThroughLibtiffAndOurReader) {
  TIFFSetWarningHandler(nullptr);
  for (PixelFormat format : {PixelFormat::pf1bit, PixelFormat::pf4bit, PixelFormat::pf8bit,
                             PixelFormat::pf24bit, PixelFormat::pf32bit})
    for (uint8_t compression : {0, 4, 6})
      for (auto [w, h] : {std::pair{13, 9}, std::pair{300, 250}}) {
        SCOPED_TRACE(std::to_string(int(format)) + " bits, compression " +
                     std::to_string(compression) + ", " + std::to_string(w) + " x " +
                     std::to_string(h));
        const Bitmap original = AsWritten(Picture(w, h, format));
        const Bytes file = EncodeOne(Picture(w, h, format), compression, "Vandrel", "", "");

        // Our reader gives the same bitmap back.
        const Bitmap ours = DecodeTiff(file);
        ASSERT_EQ(ours.format(), format);
        ASSERT_EQ(ours.width(), w);
        ASSERT_EQ(ours.height(), h);
        for (int y = 0; y < h; ++y)
          ASSERT_TRUE(std::equal(original.scanLine(y), original.scanLine(y) + original.stride(),
                                 ours.scanLine(y)))
              << "row " << y;
        if (original.indexed()) {
          EXPECT_EQ(ours.palette(), original.palette());
        }

        // libtiff reads the same samples and colours.
        TempPath temp;
        {
          std::ofstream f(temp.path(), std::ios::binary);
          f.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
        }
        TIFF* tif = TIFFOpen(temp.path().c_str(), "r");
        ASSERT_NE(tif, nullptr);
        const size_t rowBytes = (size_t(w) * size_t(original.bitsPerPixel()) + 7) / 8;
        Bytes line(size_t(TIFFScanlineSize(tif)));
        ASSERT_EQ(line.size(), rowBytes);
        for (int y = 0; y < h; ++y) {
          ASSERT_GE(TIFFReadScanline(tif, line.data(), uint32_t(y), 0), 0) << y;
          Bytes expected(original.scanLine(y), original.scanLine(y) + rowBytes);
          const size_t step = size_t(original.bitsPerPixel() / 8);
          for (size_t i = 0; step >= 3 && i + 2 < rowBytes; i += step)
            std::swap(expected[i], expected[i + 2]);
          ASSERT_EQ(line, expected) << "row " << y;
        }
        if (original.indexed()) {
          uint16_t *r, *g, *b;
          ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b));
          for (size_t i = 0; i < original.palette().size(); ++i) {
            EXPECT_EQ(r[i], original.palette()[i].red * 257);
            EXPECT_EQ(g[i], original.palette()[i].green * 257);
            EXPECT_EQ(b[i], original.palette()[i].blue * 257);
          }
        }
        char* text = nullptr;
        ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_IMAGEDESCRIPTION, &text));
        EXPECT_STREQ(text, "Vandrel");
        TIFFClose(tif);
      }
}

// What programs built on libtiff show of our files: TIFFReadRGBAImage gives every pixel's
// colour and opacity as a viewer would draw them. The fourth byte of a 32-bit picture is
// no opacity (every pixel opaque, whatever the byte holds), and palette colours come out
// as the bitmap has them, not a level darker.
TEST(TiffEncoder, LibtiffShowsOurColoursOpaque) {
  TIFFSetWarningHandler(nullptr);
  const int w = 23, h = 7;
  for (PixelFormat format : {PixelFormat::pf32bit, PixelFormat::pf24bit, PixelFormat::pf8bit,
                             PixelFormat::pf4bit, PixelFormat::pf1bit})
    for (uint8_t compression : {0, 4}) {
      SCOPED_TRACE(std::to_string(int(format)) + " bits, compression " +
                   std::to_string(compression));
      Bitmap original = Picture(w, h, format);
      if (format == PixelFormat::pf32bit) {
        // Fourth bytes of 0, 255 and values between: none may show as transparency.
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            original.scanLine(y)[4 * x + 3] = uint8_t((x * 53 + y) % 3 * 127);
      }
      if (original.indexed()) {
        // Every level of the palette, the highest and lowest among them.
        Palette p(size_t(1) << original.bitsPerPixel());
        for (size_t i = 0; i < p.size(); ++i)
          p[i] = {uint8_t(255 - i * 37 % 256), uint8_t(i * 91 % 256), uint8_t(i == 0 ? 255 : i)};
        original.setPalette(p);
      }
      const Bytes file = EncodeOne(original, compression);
      TempPath temp;
      {
        std::ofstream f(temp.path(), std::ios::binary);
        f.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
      }
      TIFF* tif = TIFFOpen(temp.path().c_str(), "r");
      ASSERT_NE(tif, nullptr);
      std::vector<uint32_t> rgba(size_t(w) * size_t(h));
      ASSERT_EQ(TIFFReadRGBAImageOriented(tif, uint32_t(w), uint32_t(h), rgba.data(),
                                          ORIENTATION_TOPLEFT, 0),
                1);
      TIFFClose(tif);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const uint32_t p = rgba[size_t(y) * size_t(w) + size_t(x)];
          const PaletteEntry c = original.pixelColor(x, y);
          ASSERT_EQ(TIFFGetA(p), 255u) << x << "," << y;
          ASSERT_EQ(TIFFGetR(p), c.red) << x << "," << y;
          ASSERT_EQ(TIFFGetG(p), c.green) << x << "," << y;
          ASSERT_EQ(TIFFGetB(p), c.blue) << x << "," << y;
        }
      // Our reader reads the same bitmap back, palette included, the fourth bytes opaque.
      const Bitmap ours = DecodeTiff(file);
      ASSERT_EQ(ours.format(), format);
      const Bitmap written = AsWritten(original);
      for (int y = 0; y < h; ++y)
        ASSERT_TRUE(std::equal(written.scanLine(y), written.scanLine(y) + written.stride(),
                               ours.scanLine(y)))
            << "row " << y;
      if (original.indexed()) {
        EXPECT_EQ(ours.palette(), original.palette());
      }
    }
}
