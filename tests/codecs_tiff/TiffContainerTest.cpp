// The TIFF container: header, directory chain, tags, texts, palettes and the checks with
// their exact messages and exception classes.
#include <gtest/gtest.h>

#include "TiffFixture.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/tiff/TiffDecoder.h"
#include "codecs/tiff/TiffImage.h"

using namespace vandrel;
using namespace tifftest;

namespace {

// A 2 x 1 8-bit grey image, uncompressed, in either byte order.
TiffFixture Grey2x1(bool big = false) {
  TiffFixture f = Image(2, 1, {8}, 1, big);
  f.Strip({10, 200});
  return f;
}

// The text of what decoding raises, with the class it was raised as.
struct Failure {
  std::string kind;
  std::string text;
};
Failure FailureOf(const Bytes& file) {
  try {
    DecodeTiff(file);
  } catch (const EInvalidImage& e) {
    return {"EInvalidImage", e.what()};
  } catch (const EUnsupportedImage& e) {
    return {"EUnsupportedImage", e.what()};
  } catch (const Exception& e) {
    return {"Exception", e.what()};
  }
  return {"none", ""};
}

}  // namespace

TEST(TiffHeader, BothByteOrdersLoad) {
  for (bool big : {false, true}) {
    const Bytes file = Grey2x1(big).Build();
    EXPECT_EQ(file[0], big ? 0x4D : 0x49);
    const Bitmap b = DecodeTiff(file);
    ASSERT_EQ(b.width(), 2) << big;
    EXPECT_EQ(b.format(), PixelFormat::pf8bit);
    EXPECT_EQ(b.scanLine(0)[0], 10);
    EXPECT_EQ(b.scanLine(0)[1], 200);
  }
}

TEST(TiffHeader, RejectedHeaders) {
  struct Case {
    const char* name;
    Bytes header;
  } cases[] = {
      {"II offset 7", {0x49, 0x49, 0x2A, 0x00, 0x07, 0x00, 0x00, 0x00}},
      {"MM offset 7", {0x4D, 0x4D, 0x00, 0x2A, 0x00, 0x00, 0x00, 0x07}},
      {"II offset 0", {0x49, 0x49, 0x2A, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"II version 43", {0x49, 0x49, 0x2B, 0x00, 0x08, 0x00, 0x00, 0x00}},
      {"MM version as II", {0x4D, 0x4D, 0x2A, 0x00, 0x00, 0x00, 0x00, 0x08}},
      {"mark IM", {0x49, 0x4D, 0x2A, 0x00, 0x08, 0x00, 0x00, 0x00}},
      {"mark MM read little-endian", {0x4D, 0x4D, 0x2A, 0x00, 0x08, 0x00, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    Bytes file = c.header;
    file.resize(64, 0);
    const Failure f = FailureOf(file);
    EXPECT_EQ(f.kind, "Exception") << c.name;
    EXPECT_EQ(f.text, "Unsupported file format !") << c.name;
  }
}

TEST(TiffHeader, ShortFileIsAReadError) {
  const Failure f = FailureOf({0x49, 0x49, 0x2A, 0x00, 0x08});
  EXPECT_EQ(f.kind, "EInvalidImage");
  EXPECT_EQ(f.text, "TIFF read error at 00000000H (8 byte(s) expected, but 5 read)");
}

TEST(TiffHeader, DirectoryPastTheEndIsAReadError) {
  Bytes file = {0x49, 0x49, 0x2A, 0x00, 0x00, 0x01, 0x00, 0x00};  // directory at 256
  file.resize(20, 0);
  const Failure f = FailureOf(file);
  EXPECT_EQ(f.kind, "EInvalidImage");
  EXPECT_EQ(f.text, "TIFF read error at 00000100H (2 byte(s) expected, but 0 read)");
}

TEST(TiffHeader, TruncatedEntryReportsWhereItStarted) {
  Bytes file = Grey2x1().Build();
  file.resize(8 + 2 + 12 + 5);  // the second entry is cut after 5 bytes
  const Failure f = FailureOf(file);
  EXPECT_EQ(f.kind, "EInvalidImage");
  EXPECT_EQ(f.text, "TIFF read error at 00000016H (12 byte(s) expected, but 5 read)");
}

// A file of no bytes ends where its header should be: a read error, not an empty picture,
// and the bitmap keeps what it had.
TEST(TiffHeader, EmptyBytesAreAReadError) {
  TTIFF picture;
  picture.setSize(3, 2);
  picture.scanLine(1)[2] = 77;
  const char* kText = "TIFF read error at 00000000H (8 byte(s) expected, but 0 read)";
  try {
    picture.LoadFromStream({});
    ADD_FAILURE() << "no error";
  } catch (const EInvalidImage& e) {
    EXPECT_STREQ(e.what(), kText);
  }
  EXPECT_EQ(picture.width(), 3);
  EXPECT_EQ(picture.scanLine(1)[2], 77);
  const Failure f = FailureOf({});
  EXPECT_EQ(f.kind, "EInvalidImage");
  EXPECT_EQ(f.text, kText);
  // The decoder itself collects no directory from an empty stream.
  TiffStream stream;
  TTIFFDecoder decoder(stream);
  decoder.ScanIFDs(true);
  EXPECT_EQ(decoder.PageCount(), 0);
}

TEST(TiffHeader, BaseIsWhereTheHeaderStarts) {
  // A TIFF embedded after 5 other bytes: every offset counts from the header.
  const Bytes tiff = Grey2x1().Build();
  Bytes file = {1, 2, 3, 4, 5};
  file.insert(file.end(), tiff.begin(), tiff.end());
  TiffStream stream(file);
  stream.setPosition(5);
  TTIFFDecoder decoder(stream);
  decoder.ScanIFDs(true);
  Bitmap b;
  TiffTexts texts;
  decoder.DecodePage(0, &b, texts);
  ASSERT_EQ(b.width(), 2);
  EXPECT_EQ(b.scanLine(0)[1], 200);
}

TEST(TiffDirectories, ChainOfPagesAndPagesNotScanned) {
  const Bytes file = ReadFile(std::string(VANDREL_CORPUS_DIR) + "/tiff/pillow/multipage.tiff");
  {
    TiffStream stream(file);
    TTIFFDecoder decoder(stream);
    decoder.ScanIFDs(false);
    EXPECT_EQ(decoder.PageCount(), 3);
  }
  TiffStream stream(file);
  TTIFFDecoder decoder(stream);
  decoder.ScanIFDs(true);
  ASSERT_EQ(decoder.PageCount(), 1);
  Bitmap b(4, 4, PixelFormat::pf24bit);
  b.scanLine(0)[0] = 9;
  TiffTexts texts{"keep", "these", "texts"};
  decoder.DecodePage(1, &b, texts);
  EXPECT_EQ(b.width(), 4);
  EXPECT_EQ(b.scanLine(0)[0], 9);
  EXPECT_EQ(texts.software, "these");
  decoder.DecodePage(0, nullptr, texts);
  EXPECT_EQ(texts.imageDescription, "keep");
}

TEST(TiffDirectories, ChainThatLoopsEnds) {
  // Two directories pointing at each other.
  TiffFixture f = Image(1, 1, {8}, 1);
  f.Strip({5});
  Bytes file = f.Build();
  const size_t next = 8 + 2 + 12 * 6;  // the next-directory field of the first directory
  const uint32_t second = uint32_t(file.size());
  file[next] = uint8_t(second);
  file[next + 1] = uint8_t(second >> 8);
  file.insert(file.end(), {0, 0, 8, 0, 0, 0});  // no entries, next = 8
  TiffStream stream(file);
  TTIFFDecoder decoder(stream);
  decoder.ScanIFDs(false);
  EXPECT_EQ(decoder.PageCount(), 2);
  EXPECT_EQ(DecodeTiff(file).scanLine(0)[0], 5);
}

TEST(TiffTags, BigEndianValuesComeFromTheFirstBytesOfTheField) {
  // Compression 5 as SHORT and PhotometricInterpretation 1 as BYTE: each value sits at the
  // start of the value field, in file order.
  TiffFixture f(true);
  BitWriter codes;
  codes.Put(256, 9);
  codes.Put(33, 9);
  codes.Put(44, 9);
  codes.Put(257, 9);
  f.Long(256, 2).Long(257, 1).Short(258, 8).Short(259, 5).Add(262, kByte, {1});
  f.Strip(codes.bytes());
  const Bitmap b = DecodeTiff(f.Build());
  ASSERT_EQ(b.width(), 2);
  EXPECT_EQ(b.scanLine(0)[0], 33);
  EXPECT_EQ(b.scanLine(0)[1], 44);
  EXPECT_EQ(b.palette()[255], (PaletteEntry{255, 255, 255}));  // BlackIsZero ramp
}

TEST(TiffTags, LaterEntryOverridesEarlierOne) {
  TiffFixture f = Image(2, 1, {8}, 1);
  f.Long(256, 1);
  f.Strip({10, 200});
  EXPECT_EQ(DecodeTiff(f.Build()).width(), 1);
}

TEST(TiffTags, StripByteCountsMissing) {
  // One strip: ((width * bits + 7) div 8) * height bytes.
  TiffFixture one = Image(3, 2, {4}, 1);
  one.Strip({0x12, 0x30, 0x45, 0x60}).WithoutByteCounts();
  const Bitmap b = DecodeTiff(one.Build());
  EXPECT_EQ(b.format(), PixelFormat::pf4bit);
  EXPECT_EQ(b.scanLine(1)[0], 0x45);
  EXPECT_EQ(b.scanLine(1)[1], 0x60);
  // Two strips and no counts.
  TiffFixture two = Image(1, 2, {8}, 1);
  two.Strip({1}).Strip({2}).WithoutByteCounts();
  const Failure f = FailureOf(two.Build());
  EXPECT_EQ(f.kind, "Exception");
  EXPECT_EQ(f.text, "TIFF: Invalid \"StripOffsets|StripByteCounts\" !");
}

TEST(TiffTags, BitsPerSampleGiveThePixelFormat) {
  struct Case {
    std::vector<uint32_t> bits;
    uint32_t photometric;
    PixelFormat format;
    const char* error;
  } cases[] = {
      {{1}, 1, PixelFormat::pf1bit, nullptr},
      {{4}, 1, PixelFormat::pf4bit, nullptr},
      {{8}, 3, PixelFormat::pf8bit, nullptr},
      {{8, 8, 8}, 2, PixelFormat::pf24bit, nullptr},
      {{8, 8, 8, 8}, 5, PixelFormat::pf24bit, nullptr},
      {{8, 8, 8, 8}, 2, PixelFormat::pf32bit, nullptr},
      {{4, 4}, 1, PixelFormat::pf8bit, "TIFF: Unsupported Pixel Format !"},
      {{2, 2, 2, 2}, 1, PixelFormat::pf8bit, "TIFF: Unsupported Pixel Format !"},
      {{8, 8, 8, 8, 8}, 2, PixelFormat::pf8bit, "TIFF: Unsupported Pixel Format !"},
      {{16}, 1, PixelFormat::pf8bit, "TIFF: Unsupported Pixel Format !"},
      {{16, 16, 16}, 2, PixelFormat::pf8bit, "TIFF: Unsupported Pixel Format !"},
      {{2}, 1, PixelFormat::pf8bit, "TIFF: Unsupported Pixel Format !"},
      {{0}, 1, PixelFormat::pf8bit, "TIFF: Unsupported Pixel Format !"},
  };
  for (const Case& c : cases) {
    TiffFixture f = Image(1, 1, c.bits, c.photometric);
    f.Strip(Bytes(8, 0));
    const Bytes file = f.Build();
    if (c.error) {
      EXPECT_EQ(FailureOf(file).text, c.error) << c.bits.size() << " samples";
    } else {
      EXPECT_EQ(DecodeTiff(file).format(), c.format) << c.bits.size() << " samples";
    }
  }
}

TEST(TiffTags, GreyPalettes) {
  struct Case {
    uint32_t bits, photometric;
    std::vector<uint8_t> levels;  // first entries of the palette
    size_t entries;
  } cases[] = {
      {1, 1, {0, 255}, 2},          {1, 0, {255, 0}, 2},         {1, 3, {0, 255}, 2},
      {4, 1, {0, 17, 34}, 16},      {4, 0, {255, 238, 221}, 16}, {8, 1, {0, 1, 2, 3}, 256},
      {8, 0, {255, 254, 253}, 256},
  };
  for (const Case& c : cases) {
    TiffFixture f = Image(1, 1, {c.bits}, c.photometric);
    f.Strip({0});
    const Palette p = DecodeTiff(f.Build()).palette();
    ASSERT_EQ(p.size(), c.entries);
    for (size_t i = 0; i < c.levels.size(); ++i)
      EXPECT_EQ(p[i], (PaletteEntry{c.levels[i], c.levels[i], c.levels[i]})) << c.bits << " " << i;
  }
}

TEST(TiffTags, ColorMapOf8BitValuesEqualsOneOf16BitValues) {
  auto map = [](int scale) {
    std::vector<uint32_t> v;
    for (int channel = 0; channel < 3; ++channel)
      for (int i = 0; i < 16; ++i) v.push_back(uint32_t(((i * 16 + channel * 5) & 0xFF) * scale));
    return v;
  };
  Palette palettes[2];
  for (int k = 0; k < 2; ++k) {
    TiffFixture f = Image(1, 1, {4}, 3);
    f.Add(320, kShort, map(k == 0 ? 1 : 257));
    f.Strip({0});
    palettes[k] = DecodeTiff(f.Build()).palette();
  }
  ASSERT_EQ(palettes[0].size(), 16u);
  EXPECT_EQ(palettes[0], palettes[1]);
  EXPECT_EQ(palettes[0][3], (PaletteEntry{48, 53, 58}));
  EXPECT_EQ(palettes[0][0], (PaletteEntry{0, 5, 10}));
}

// Maps of every level written as the level itself, times 256 (our files before) and times
// 257 (our files now, and those of most writers) give the same palette: every level read
// back as it was written.
TEST(TiffTags, ColorMapScalesReadAlike) {
  for (const uint32_t scale : {1u, 256u, 257u}) {
    SCOPED_TRACE(scale);
    std::vector<uint32_t> v;
    for (int channel = 0; channel < 3; ++channel)
      for (uint32_t i = 0; i < 256; ++i) v.push_back(((i + 85 * uint32_t(channel)) & 0xFF) * scale);
    TiffFixture f = Image(1, 1, {8}, 3);
    f.Add(320, kShort, v).Strip({0});
    const Palette p = DecodeTiff(f.Build()).palette();
    ASSERT_EQ(p.size(), 256u);
    for (uint32_t i = 0; i < 256; ++i)
      ASSERT_EQ(p[i], (PaletteEntry{uint8_t(i), uint8_t(i + 85), uint8_t(i + 170)})) << i;
  }
}

TEST(TiffTags, ColorMapLongerThanThePalette) {
  // 300 entries per channel: the palette takes the first 256 of each channel.
  std::vector<uint32_t> v;
  for (int channel = 0; channel < 3; ++channel)
    for (int i = 0; i < 300; ++i) v.push_back(uint32_t(((i + channel) & 0xFF) << 8));
  TiffFixture f = Image(1, 1, {8}, 3);
  f.Add(320, kShort, v);
  f.Strip({0});
  const Palette p = DecodeTiff(f.Build()).palette();
  ASSERT_EQ(p.size(), 256u);
  EXPECT_EQ(p[0], (PaletteEntry{0, 1, 2}));
  EXPECT_EQ(p[255], (PaletteEntry{255, 0, 1}));
}

TEST(TiffTags, ColorMapPastTheEnd) {
  TiffFixture f = Image(1, 1, {8}, 3);
  f.Raw(320, kShort, 768, 0x10000);
  f.Strip({0});
  const Failure failure = FailureOf(f.Build());
  EXPECT_EQ(failure.kind, "EInvalidImage");
  EXPECT_EQ(failure.text, "TIFF read error at 00010000H (2 byte(s) expected, but 0 read)");
}

TEST(TiffTags, Texts) {
  for (bool big : {false, true}) {
    TiffFixture f = Grey2x1(big);
    f.Text(270, "abc").Text(305, "A longer software name").Text(315, "");
    Bytes file = f.Build();
    TiffStream stream(file);
    TTIFFDecoder decoder(stream);
    decoder.ScanIFDs(true);
    Bitmap b;
    TiffTexts texts;
    decoder.DecodePage(0, &b, texts);
    EXPECT_EQ(texts.imageDescription, "abc") << big;
    EXPECT_EQ(texts.software, "A longer software name") << big;
    EXPECT_EQ(texts.artist, "") << big;
  }
}

TEST(TiffTags, TextPastTheEndIsAReadError) {
  TiffFixture f = Grey2x1();
  f.Raw(270, kAscii, 0x7FFFFFF0, 0x100);
  const Failure failure = FailureOf(f.Build());
  EXPECT_EQ(failure.kind, "EInvalidImage");
  EXPECT_EQ(failure.text, "TIFF read error at 00000100H (2147483632 byte(s) expected, but 0 read)");
}

TEST(TiffTags, ListPastTheEndFailsAtTheFirstMissingValue) {
  TiffFixture f = Image(1, 1, {8}, 1);
  const size_t size = Image(1, 1, {8}, 1).Raw(273, kLong, 3, 0).Long(279, 1).Size();
  // Three LONG offsets of which the file holds one and a half.
  f.Raw(273, kLong, 3, uint32_t(size)).Long(279, 1).Trailer({1, 0, 0, 0, 9, 9});
  const Failure failure = FailureOf(f.Build());
  EXPECT_EQ(failure.kind, "EInvalidImage");
  char expected[96];
  std::snprintf(expected, sizeof expected,
                "TIFF read error at %.8XH (4 byte(s) expected, but 2 read)", unsigned(size + 4));
  EXPECT_EQ(failure.text, expected);
}

TEST(TiffChecks, MessagesInCheckOrder) {
  using Edit = void (*)(TiffFixture&);
  struct Case {
    const char* name;
    Edit edit;
    const char* message;
  } cases[] = {
      {"BitsPerSample as BYTE", [](TiffFixture& f) { f.Add(258, kByte, {8}); },
       "TIFF: Unsupported \"BitsPerSample\" !"},
      {"StripOffsets as ASCII",
       [](TiffFixture& f) {
         f.Add(273, kAscii, {1, 2, 3});
       },
       "TIFF: Unsupported \"StripOffsets\" !"},
      {"StripByteCounts as BYTE", [](TiffFixture& f) { f.Add(279, kByte, {1}); },
       "TIFF: Unsupported \"StripByteCounts\" !"},
      {"YCbCrCoefficients as BYTE", [](TiffFixture& f) { f.Add(529, kByte, {1}); },
       "TIFF: Unsupported \"YCbCrCoefficients\" !"},
      {"YCbCrSubSampling as BYTE",
       [](TiffFixture& f) {
         f.Add(530, kByte, {2, 2});
       },
       "TIFF: Unsupported \"YCbCrSubSampling\" !"},
      {"ReferenceBlackWhite as BYTE", [](TiffFixture& f) { f.Add(532, kByte, {1}); },
       "TIFF: Unsupported \"ReferenceBlackWhite\" !"},
      {"YCbCrSubSampling 3",
       [](TiffFixture& f) {
         f.Add(530, kShort, {3, 2});
       },
       "TIFF: Unsupported \"YCbCrSubSampling\" !"},
      {"YCbCrSubSampling of one item", [](TiffFixture& f) { f.Add(530, kShort, {2}); },
       "TIFF: Unsupported \"YCbCrSubSampling\" !"},
      {"YCbCrCoefficients of two rationals",
       [](TiffFixture& f) {
         f.Add(529, kRational, {299, 1000, 587, 1000});
       },
       "TIFF: Unsupported \"YCbCr Coefficients\" !"},
      {"ReferenceBlackWhite of five rationals",
       [](TiffFixture& f) {
         f.Add(532, kRational, {0, 1, 255, 1, 128, 1, 255, 1, 128, 1});
       },
       "TIFF: Unsupported \"ReferenceBlackWhite\" !"},
      {"two offsets, one count",
       [](TiffFixture& f) {
         f.Add(273, kLong, {100, 200}).Add(279, kLong, {1});
       },
       "TIFF: Invalid \"StripOffsets|StripByteCounts\" !"},
      {"PackBits YCbCr",
       [](TiffFixture& f) {
         f.Add(258, kShort, {8, 8, 8}).Short(262, 6).Short(259, 32773);
       },
       "TIFF: Invalid \"Compression|PhotometricInterpretation\" !"},
      {"FillOrder 2", [](TiffFixture& f) { f.Short(266, 2); }, "TIFF: Unsupported \"FillOrder\" !"},
      {"FillOrder 2 before JPEG", [](TiffFixture& f) { f.Short(266, 2).Short(259, 7); },
       "TIFF: Unsupported \"FillOrder\" !"},
      {"CCITT", [](TiffFixture& f) { f.Short(259, 2); }, "TIFF: Unsupported \"Compression\" !"},
      {"JPEG", [](TiffFixture& f) { f.Short(259, 7); }, "TIFF: Unsupported \"Compression\" !"},
      {"Deflate", [](TiffFixture& f) { f.Short(259, 8); }, "TIFF: Unsupported \"Compression\" !"},
      {"Threshholding 2", [](TiffFixture& f) { f.Short(263, 2); },
       "TIFF: Unsupported \"Threshholding\" !"},
      {"1 bit RGB", [](TiffFixture& f) { f.Short(258, 1).Short(262, 2); },
       "TIFF: Unsupported \"PixelFormat|PhotometricInterpretation\" !"},
      {"1 bit predictor", [](TiffFixture& f) { f.Short(258, 1).Short(317, 2); },
       "TIFF: Unsupported \"PixelFormat|Predictor\" !"},
      {"8 bit CMYK", [](TiffFixture& f) { f.Short(262, 5); },
       "TIFF: Unsupported \"PixelFormat|PhotometricInterpretation\" !"},
      {"24 bit grey",
       [](TiffFixture& f) {
         f.Add(258, kShort, {8, 8, 8});
       },
       "TIFF: Unsupported \"PixelFormat|PhotometricInterpretation\" !"},
      {"YCbCr predictor",
       [](TiffFixture& f) {
         f.Add(258, kShort, {8, 8, 8}).Short(262, 6).Short(317, 2);
       },
       "TIFF: Unsupported \"PhotometricInterpretation|Predictor\" !"},
      {"planar YCbCr",
       [](TiffFixture& f) {
         f.Add(258, kShort, {8, 8, 8}).Short(262, 6).Short(284, 2);
       },
       "TIFF: Unsupported \"PhotometricInterpretation|PlanarConfiguration\" !"},
      {"32 bit YCbCr",
       [](TiffFixture& f) {
         f.Add(258, kShort, {8, 8, 8, 8}).Short(262, 6);
       },
       "TIFF: Unsupported \"PixelFormat|PhotometricInterpretation\" !"},
      {"32 bit Lab",
       [](TiffFixture& f) {
         f.Add(258, kShort, {8, 8, 8, 8}).Short(262, 8);
       },
       "TIFF: Unsupported \"PixelFormat|PhotometricInterpretation\" !"},
      {"48 bits",
       [](TiffFixture& f) {
         f.Add(258, kShort, {16, 16, 16}).Short(262, 2);
       },
       "TIFF: Unsupported Pixel Format !"},
  };
  for (const Case& c : cases) {
    TiffFixture f = Image(4, 4, {8}, 1);
    c.edit(f);
    if (std::string(c.name).find("offsets") == std::string::npos) f.Strip(Bytes(64, 0));
    const Failure failure = FailureOf(f.Build());
    EXPECT_EQ(failure.kind, "Exception") << c.name;
    EXPECT_EQ(failure.text, c.message) << c.name;
  }
}

// Sides are taken as far as the bitmap goes (2^20 pixels) when the file holds the rows:
// pictures wider than 65,536 pixels load.
TEST(TiffChecks, WidePicturesLoad) {
  const struct {
    uint32_t width, height, bits;
    bool loads;
  } cases[] = {
      {65536, 2, 8, true},
      {70000, 3, 8, true},
      {uint32_t(Bitmap::kMaxSide), 2, 1, true},
      {uint32_t(Bitmap::kMaxSide) + 1, 2, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const size_t rowBytes = (size_t(c.width) * c.bits + 7) / 8;
    Bytes strip(rowBytes * c.height);
    for (size_t i = 0; i < strip.size(); ++i) strip[i] = uint8_t(i * 13 / 7);
    TiffFixture f = Image(c.width, c.height, {c.bits}, 1);
    f.Strip(strip);
    const Bytes file = f.Build();
    if (!c.loads) {
      const Failure failure = FailureOf(file);
      EXPECT_EQ(failure.kind, "Exception");
      EXPECT_EQ(failure.text, "TIFF: Invalid \"ImageWidth|ImageLength\" !");
      continue;
    }
    const Bitmap b = DecodeTiff(file);
    ASSERT_EQ(b.width(), int(c.width));
    ASSERT_EQ(b.height(), int(c.height));
    for (uint32_t y = 0; y < c.height; ++y)
      ASSERT_TRUE(std::equal(strip.begin() + long(y * rowBytes),
                             strip.begin() + long((y + 1) * rowBytes), b.scanLine(int(y))));
  }
}

TEST(TiffChecks, ImageLargerThanTheFileCanHold) {
  struct Case {
    uint32_t width, height, compression;
  } cases[] = {
      {100000, 100000, 1},  // beyond any bitmap
      {30000, 30000, 1},    // 900 MB claimed by a few hundred bytes
      {30000, 30000, 5},
      {30000, 30000, 32773},
  };
  for (const Case& c : cases) {
    TiffFixture f = Image(c.width, c.height, {8}, 1);
    f.Short(259, c.compression).Strip(Bytes(1000, 0x80));
    const Failure failure = FailureOf(f.Build());
    EXPECT_EQ(failure.kind, "Exception") << c.width << " " << c.compression;
    EXPECT_EQ(failure.text, "TIFF: Invalid \"ImageWidth|ImageLength\" !");
  }
  // LZW may expand a small strip a long way: 512 x 512 from about a kilobyte loads.
  TiffFixture lzw = Image(512, 512, {8}, 1);
  BitWriter codes;
  codes.Put(256, 9);
  codes.Put(257, 9);
  lzw.Short(259, 5).Strip(Bytes(codes.bytes()));
  EXPECT_EQ(DecodeTiff(lzw.Build()).height(), 512);
}

// A page of no columns or no rows is a damaged file: it is refused with the size's message,
// not shown as an empty picture without a word.
TEST(TiffChecks, PageWithoutColumnsOrRowsIsRefused) {
  struct Case {
    uint32_t width, height;
  } cases[] = {{0, 5}, {5, 0}, {0, 0}};
  for (const Case& c : cases) {
    TiffFixture f = Image(c.width, c.height, {8}, 1);
    f.Strip({1, 2, 3});
    const Failure failure = FailureOf(f.Build());
    EXPECT_EQ(failure.kind, "Exception") << c.width << " x " << c.height;
    EXPECT_EQ(failure.text, "TIFF: Invalid \"ImageWidth|ImageLength\" !");
  }
  // One column or one row is a picture.
  TiffFixture one = Image(1, 5, {8}, 1);
  one.Strip({1, 2, 3, 4, 5});
  EXPECT_EQ(DecodeTiff(one.Build()).height(), 5);
}
