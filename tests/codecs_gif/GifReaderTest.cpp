// The GIF reader on small files built byte by byte: header, colour tables, extensions,
// the frame list, the LZW data and the errors.
#include <gtest/gtest.h>

#include <random>

#include "GifTestUtil.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/gif/GifImage.h"
#include "platform/PictureLoader.h"

using namespace giftest;
using vandrel::Bitmap;
using vandrel::PixelFormat;
using vandrel::TGIF;
using vandrel::TGIFDecoder;
using vandrel::TGIFInfo;

namespace {

// Decodes like the picture loader does: the first image into a fresh bitmap.
TGIF Decode(const Bytes& file) {
  TGIF picture;
  picture.LoadFromStream(file);
  return picture;
}

// The text of the exception a decode raises, prefixed with its kind.
template <typename Fn>
std::string ErrorOf(Fn&& fn) {
  try {
    fn();
  } catch (const vandrel::EUnsupportedImage& e) {
    return std::string("unsupported: ") + e.what();
  } catch (const vandrel::EInvalidImage& e) {
    return std::string("invalid: ") + e.what();
  } catch (const std::exception& e) {
    return std::string("other: ") + e.what();
  }
  return "";
}

std::string DecodeError(const Bytes& file) {
  return ErrorOf([&] { Decode(file); });
}

// A GIF of one `width` x `height` image holding `pixels`, encoded with the test's encoder.
Bytes SimpleGif(int width, int height, const Bytes& pixels, int codeSize = 8,
                int globalColors = 256, uint8_t packed = 0) {
  GifBuilder b;
  b.Header("GIF89a", width, height, globalColors);
  if (globalColors) b.ColorTable(globalColors);
  b.Descriptor(0, 0, width, height, packed).ImageData(codeSize, EncodeLzw(pixels, codeSize));
  return b.Trailer().bytes();
}

Bytes Ramp(size_t count, int modulo = 256) {
  Bytes p(count);
  for (size_t i = 0; i < count; ++i) p[i] = uint8_t(i % size_t(modulo));
  return p;
}

// A 2 x 1 image of code size 2 whose codes are given; the palette has 4 entries.
Bytes CodesGif(int width, int height, const std::vector<std::pair<int, int>>& codes) {
  GifBuilder b;
  b.Header("GIF89a", width, height, 4).ColorTable(4);
  b.Descriptor(0, 0, width, height, 0).ImageData(2, PackCodes(codes));
  return b.Trailer().bytes();
}

}  // namespace

// ---------------------------------------------------------------- whole files ----------

// A file that holds no image is refused, not shown as an empty picture, and the bitmap
// keeps what it had.
TEST(GifReader, FilesWithoutAnImageAreRefused) {
  auto header = [] {
    GifBuilder b;
    b.Header("GIF89a", 10, 20, 4, 2).ColorTable(4);
    return b;
  };
  const struct {
    const char* name;
    Bytes file;
    const char* message;
  } cases[] = {
      {"no bytes", {}, "invalid: GIF read error at 00000000H (13 byte(s) expected, but 0 read)"},
      {"header and trailer", header().Trailer().bytes(), "invalid: GIF file holds no image"},
      {"header alone", header().bytes(), "invalid: GIF file holds no image"},
      {"header and a stray byte", header().Byte(0x0A).bytes(), "invalid: GIF file holds no image"},
      {"comment cut short", header().Byte(0x21).Byte(0xFE).Byte(40).bytes(),
       "invalid: GIF read error at 0000001CH (40 byte(s) expected, but 0 read)"},
      {"extension sub-blocks past the end", header().Byte(0x21).Byte(0x01).Byte(200).bytes(),
       "invalid: GIF file holds no image"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TGIF picture;
    static_cast<Bitmap&>(picture) = Bitmap(5, 5, PixelFormat::pf8bit);
    picture.scanLine(1)[2] = 77;
    const Bitmap before = picture;
    EXPECT_EQ(ErrorOf([&] { picture.LoadFromStream(c.file); }), c.message);
    EXPECT_EQ(static_cast<const Bitmap&>(picture), before);
  }
}

TEST(GifReader, HeaderAndTrailerOnlyHasNoImage) {
  GifBuilder b;
  b.Header("GIF89a", 10, 20, 4, 2).ColorTable(4).Trailer();
  vandrel::gif::GifReadStream stream(b.bytes());
  TGIFDecoder decoder(stream);
  decoder.ScanImages(false);
  EXPECT_EQ(decoder.imageCount(), 0);
  EXPECT_EQ(decoder.screenWidth(), 10);
  EXPECT_EQ(decoder.screenHeight(), 20);
  EXPECT_EQ(decoder.globalColors(), 4);
  EXPECT_EQ(decoder.globalPalette(), DefaultPalette(4));
  EXPECT_EQ(decoder.backgroundIndex(), 2);
  EXPECT_EQ(decoder.backgroundColor(), DefaultColor(2));
}

TEST(GifReader, SignatureAndVersion) {
  struct Case {
    const char* version;
    bool accepted;
  } cases[] = {{"GIF87a", true},  {"GIF89a", true},  {"GIF88a", false},
               {"gif89a", false}, {"GIF89A", false}, {"GIF90a", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    GifBuilder b;
    b.Header(c.version, 2, 1, 4).ColorTable(4);
    b.Descriptor(0, 0, 2, 1, 0).ImageData(2, EncodeLzw({1, 3}, 2)).Trailer();
    if (c.accepted) {
      EXPECT_EQ(Indices(Decode(b.bytes())), (Bytes{1, 3}));
    } else {
      EXPECT_EQ(DecodeError(b.bytes()), "unsupported: Unsupported file format !");
    }
  }
}

TEST(GifReader, FileCutInsideTheHeader) {
  const Bytes full = SimpleGif(2, 2, {0, 1, 2, 3});
  for (size_t n : {1, 3, 6, 12}) {
    SCOPED_TRACE(n);
    const Bytes cut(full.begin(), full.begin() + long(n));
    EXPECT_EQ(DecodeError(cut), "invalid: GIF read error at 00000000H (13 byte(s) expected, but " +
                                    std::to_string(n) + " read)");
  }
}

// Every fixed-size read names where it began, what it asked for and what it got.
TEST(GifReader, FileCutInsideABlock) {
  GifBuilder b;
  b.Header("GIF89a", 2, 1, 4).ColorTable(4);       // 0..24
  b.GraphicControl(0, 0, 0);                       // 25..32
  b.Comment({"hello"});                            // 33..41
  b.Application("NETSCAPE2.0", {{1, 5, 0}});       // 42..60
  b.Descriptor(0, 0, 2, 1, 0x81).ColorTable(4);    // 61..70, 71..82
  b.ImageData(2, EncodeLzw({1, 2}, 2)).Trailer();  // 83..
  const Bytes full = b.bytes();
  ASSERT_EQ(full[61], 0x2C);
  struct Case {
    size_t keep;
    const char* message;
  } cases[] = {
      {20, "GIF read error at 0000000DH (12 byte(s) expected, but 7 read)"},
      {26, "GIF read error at 0000001AH (1 byte(s) expected, but 0 read)"},
      {30, "GIF read error at 0000001BH (6 byte(s) expected, but 3 read)"},
      {35, "GIF read error at 00000023H (1 byte(s) expected, but 0 read)"},
      {38, "GIF read error at 00000024H (5 byte(s) expected, but 2 read)"},
      {50, "GIF read error at 0000002DH (11 byte(s) expected, but 5 read)"},
      {56, "GIF read error at 00000038H (1 byte(s) expected, but 0 read)"},
      {59, "GIF read error at 0000003AH (2 byte(s) expected, but 1 read)"},
      {66, "GIF read error at 0000003EH (9 byte(s) expected, but 4 read)"},
      {75, "GIF read error at 00000047H (12 byte(s) expected, but 4 read)"},
      {83, "GIF read error at 00000053H (1 byte(s) expected, but 0 read)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keep);
    const Bytes cut(full.begin(), full.begin() + long(c.keep));
    EXPECT_EQ(DecodeError(cut), std::string("invalid: ") + c.message);
  }
  EXPECT_EQ(Indices(Decode(full)), (Bytes{1, 2}));
}

TEST(GifReader, ColourTableOfTheImage) {
  const std::vector<vandrel::PaletteEntry> local = {{9, 8, 7}, {6, 5, 4}};
  struct Case {
    const char* name;
    int global;
    int localColors;
    vandrel::Palette expected;
  } cases[] = {
      {"global only", 8, 0, DefaultPalette(8)},
      {"local wins", 8, 2, {{9, 8, 7}, {6, 5, 4}}},
      {"local only", 0, 2, {{9, 8, 7}, {6, 5, 4}}},
      {"no table", 0, 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    GifBuilder b;
    b.Header("GIF87a", 2, 1, c.global);
    if (c.global) b.ColorTable(c.global);
    b.Descriptor(0, 0, 2, 1, c.localColors ? 0x80 : 0);
    if (c.localColors) b.ColorTable(c.localColors, local);
    b.ImageData(2, EncodeLzw({1, 0}, 2)).Trailer();
    const TGIF picture = Decode(b.bytes());
    EXPECT_EQ(picture.format(), PixelFormat::pf8bit);
    EXPECT_EQ(picture.palette(), c.expected);
    EXPECT_EQ(Indices(picture), (Bytes{1, 0}));
  }
}

// ---------------------------------------------------------------- LZW data ------------

TEST(GifReader, InterlacedRowsGoToTheirPasses) {
  struct Case {
    int height;
    std::vector<int> rowOfLine;  // the row that receives each decoded line, in order
  } cases[] = {
      {1, {0}},
      {3, {0, 2, 1}},  // pass 1 row 0, pass 2 skipped, pass 3 row 2, pass 4 row 1
      {5, {0, 4, 2, 1, 3}},
      {9, {0, 8, 4, 2, 6, 1, 3, 5, 7}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.height);
    const int width = 3;
    Bytes lines;
    for (int line = 0; line < c.height; ++line)
      for (int x = 0; x < width; ++x) lines.push_back(uint8_t(10 * line + x));
    const TGIF picture = Decode(SimpleGif(width, c.height, lines, 8, 256, 0x40));
    for (int line = 0; line < c.height; ++line)
      for (int x = 0; x < width; ++x)
        EXPECT_EQ(picture.scanLine(c.rowOfLine[size_t(line)])[x], 10 * line + x);
  }
}

TEST(GifReader, CodeSequences) {
  // Code size 2: clear 4, end 5, first free 6, codes of 3 bits until next code 8.
  struct Case {
    const char* name;
    int width, height;
    std::vector<std::pair<int, int>> codes;
    Bytes pixels;
  } cases[] = {
      {"plain", 3, 1, {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 4}}, {1, 2, 3}},
      {"string of an added code", 5, 1, {{4, 3}, {1, 3}, {2, 3}, {6, 3}, {5, 4}}, {1, 2, 1, 2, 0}},
      // The code being defined: the previous string and its own first byte.
      {"KwKwK", 3, 1, {{4, 3}, {1, 3}, {6, 3}, {5, 3}}, {1, 1, 1}},
      {"KwKwK twice", 6, 1, {{4, 3}, {1, 3}, {6, 3}, {7, 3}, {5, 4}}, {1, 1, 1, 1, 1, 1}},
      {"no initial clear", 5, 1, {{1, 3}, {2, 3}, {6, 3}, {5, 4}}, {1, 2, 1, 2, 0}},
      // After the clear, code 6 is being defined again (it was "1 2" before).
      {"clear in the middle",
       5,
       1,
       {{4, 3}, {1, 3}, {2, 3}, {4, 3}, {3, 3}, {6, 3}, {5, 3}},
       {1, 2, 3, 3, 3}},
      // A clear right after a clear is a clear, not a pixel.
      {"two clears", 2, 1, {{4, 3}, {4, 3}, {1, 3}, {2, 3}, {5, 3}}, {1, 2}},
      // 24 bits of codes end the data exactly: the next code reads as the end code.
      {"data run out",
       8,
       1,
       {{4, 3}, {1, 3}, {1, 3}, {1, 3}, {1, 4}, {1, 4}, {1, 4}},
       {1, 1, 1, 1, 1, 1, 0, 0}},
      // A first code that is no pixel value: its low 8 bits, and the next code starts anew.
      {"first code beyond the table", 4, 1, {{4, 3}, {7, 3}, {1, 3}, {6, 3}, {5, 3}}, {7, 1, 1, 1}},
      // Pixels beyond the last row are dropped; the last row keeps what it got.
      {"pixel beyond the image",
       2,
       2,
       {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {0, 4}, {1, 4}, {5, 4}},
       {1, 2, 3, 0}},
      {"string across the end",
       2,
       2,
       {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {6, 4}, {5, 4}},
       {1, 2, 3, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Indices(Decode(CodesGif(c.width, c.height, c.codes))), c.pixels);
  }
}

TEST(GifReader, WidthGrowsAndTheFullTableStopsGrowing) {
  std::mt19937 random(7);
  Bytes pixels(200 * 150);
  for (auto& p : pixels) p = uint8_t(random() % 5 == 0 ? random() % 256 : random() % 3);
  for (bool clearWhenFull : {true, false}) {
    for (int codeSize : {2, 3, 5, 8}) {
      SCOPED_TRACE(testing::Message() << "clear " << clearWhenFull << " size " << codeSize);
      Bytes masked = pixels;
      for (auto& p : masked) p = uint8_t(p % (1 << codeSize));
      GifBuilder b;
      b.Header("GIF89a", 200, 150, 0).Descriptor(0, 0, 200, 150, 0);
      b.ImageData(codeSize, EncodeLzw(masked, codeSize, clearWhenFull)).Trailer();
      EXPECT_EQ(Indices(Decode(b.bytes())), masked);
    }
  }
}

TEST(GifReader, HighlyCompressedImageIsNotRefused) {
  // 1024 x 1024 of one value: a few kilobytes of codes for a megapixel.
  const Bytes pixels(1024 * 1024, 9);
  const Bytes file = SimpleGif(1024, 1024, pixels);
  EXPECT_LT(file.size(), 20000u);
  EXPECT_EQ(Indices(Decode(file)), pixels);
}

TEST(GifReader, CodeSizeOneReadsAsGiflibDoes) {
  const Bytes pixels = Ramp(40 * 7, 2);
  GifBuilder b;
  b.Header("GIF89a", 40, 7, 2).ColorTable(2).Descriptor(0, 0, 40, 7, 0);
  b.ImageData(1, EncodeLzw(pixels, 1)).Trailer();
  const auto reference = GiflibDecode(b.bytes());
  ASSERT_TRUE(reference.ok);
  EXPECT_EQ(reference.indices, pixels);
  EXPECT_EQ(Indices(Decode(b.bytes())), pixels);
}

TEST(GifReader, ImageDataCutShort) {
  const Bytes pixels = Ramp(64 * 64, 97);
  const Bytes file = SimpleGif(64, 64, pixels);
  const TGIF full = Decode(file);
  ASSERT_EQ(Indices(full), pixels);
  // Cut inside the LZW data, in the middle of a sub-block: what the bytes present give,
  // zeros after it.
  for (size_t keep : {file.size() / 2, file.size() - 200, file.size() - 10}) {
    SCOPED_TRACE(keep);
    const Bytes cut(file.begin(), file.begin() + long(keep));
    const Bytes got = Indices(Decode(cut));
    size_t same = 0;
    while (same < got.size() && got[same] == pixels[same]) ++same;
    EXPECT_GT(same, 0u);
    EXPECT_LT(same, pixels.size());
    for (size_t i = same; i < got.size(); ++i)
      if (got[i] != 0 && got[i] != pixels[i]) ADD_FAILURE() << "pixel " << i;
  }
}

// ---------------------------------------------------------------- extensions ----------

TEST(GifReader, NetscapeLoopCountAndOtherApplications) {
  Bytes xmp;
  struct Case {
    const char* name;
    std::string identifier;
    std::vector<Bytes> subBlocks;
    int loopCount;
  } cases[] = {
      {"loop count 5", "NETSCAPE2.0", {{1, 5, 0}}, 5},
      {"loop count 0x1234", "NETSCAPE2.0", {{1, 0x34, 0x12}}, 0x1234},
      {"buffering block", "NETSCAPE2.0", {{2, 5, 0}}, 0},
      {"longer first block", "NETSCAPE2.0", {{1, 5, 0, 0}}, 0},
      {"more blocks after the loop", "NETSCAPE2.0", {{1, 7, 0}, {1, 2, 3}}, 7},
      {"no blocks", "NETSCAPE2.0", {}, 0},
      {"XMP", "XMP DataXMP", {}, 0},
  };
  // XMP packets have many sub-blocks, some starting with bytes that look like blocks.
  for (int i = 0; i < 300; ++i) cases[6].subBlocks.push_back(Bytes(size_t(1 + i % 255), 0x2C));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    GifBuilder b;
    b.Header("GIF89a", 2, 1, 4).ColorTable(4).Application(c.identifier, c.subBlocks);
    b.Descriptor(0, 0, 2, 1, 0).ImageData(2, EncodeLzw({3, 1}, 2)).Trailer();
    vandrel::gif::GifReadStream stream(b.bytes());
    TGIFDecoder decoder(stream);
    decoder.ScanImages(true);
    EXPECT_EQ(decoder.loopCount(), c.loopCount);
    ASSERT_EQ(decoder.imageCount(), 1);
    Bitmap bitmap;
    TGIFInfo info;
    decoder.DecodeImage(0, &bitmap, info);
    EXPECT_EQ(Indices(bitmap), (Bytes{3, 1}));
  }
}

TEST(GifReader, CommentsAndGraphicControl) {
  GifBuilder b;
  b.Header("GIF89a", 2, 1, 4).ColorTable(4);
  b.Comment({"first"}).Comment({"second", "not kept"}).Comment({});
  // disposal 3, transparent; the block size byte is not looked at.
  b.Raw({0x21, 0xF9, 0x07, 0x0D, 0x34, 0x12, 0x02, 0x00});
  b.Raw({0x21, 0x01, 0x03, 'a', 'b', 'c', 0x00});  // plain text: skipped
  b.Descriptor(3, 4, 2, 1, 0).ImageData(2, EncodeLzw({0, 1}, 2));
  b.Comment({"between"}).GraphicControl(0x04, 9, 1);
  b.Descriptor(0, 0, 1, 1, 0x40 | 0x80).ColorTable(2).ImageData(2, EncodeLzw({1}, 2));
  b.Comment({"at the end"}).Trailer();

  vandrel::gif::GifReadStream stream(b.bytes());
  TGIFDecoder decoder(stream);
  decoder.ScanImages(false);
  ASSERT_EQ(decoder.imageCount(), 2);
  EXPECT_EQ(decoder.comment(), "at the end");

  TGIFInfo first;
  first.comment = "second";
  first.disposal = 3;
  first.transparent = true;
  first.delay = 0x1234;
  first.transparentIndex = 2;
  first.left = 3;
  first.top = 4;
  first.width = 2;
  first.height = 1;
  EXPECT_EQ(decoder.frames()[0].info, first);

  TGIFInfo second;
  second.comment = "between";
  second.disposal = 1;
  second.delay = 9;
  second.transparentIndex = 1;
  second.width = 1;
  second.height = 1;
  second.interlaced = true;
  second.localColors = 2;
  EXPECT_EQ(decoder.frames()[1].info, second);

  // Each frame decodes from where its descriptor ends.
  Bitmap bitmap;
  TGIFInfo info;
  decoder.DecodeImage(1, &bitmap, info);
  EXPECT_EQ(info, second);
  EXPECT_EQ(Indices(bitmap), Bytes{1});
  EXPECT_EQ(bitmap.palette(), DefaultPalette(2));
  decoder.DecodeImage(0, &bitmap, info);
  EXPECT_EQ(info, first);
  EXPECT_EQ(Indices(bitmap), (Bytes{0, 1}));
  EXPECT_EQ(bitmap.palette(), DefaultPalette(4));

  // Scanning for the first image stops there: the trailer's comment is not reached.
  decoder.ScanImages(true);
  EXPECT_EQ(decoder.imageCount(), 1);
  EXPECT_EQ(decoder.comment(), "");
}

TEST(GifReader, DecodeImageOutsideTheListDoesNothing) {
  const Bytes file = SimpleGif(2, 1, {1, 2});
  vandrel::gif::GifReadStream stream(file);
  TGIFDecoder decoder(stream);
  decoder.ScanImages(true);
  Bitmap bitmap(4, 4, PixelFormat::pf24bit);
  const Bitmap before = bitmap;
  TGIFInfo info;
  info.comment = "untouched";
  for (int index : {-1, 1, 5}) {
    decoder.DecodeImage(index, &bitmap, info);
    EXPECT_EQ(bitmap, before);
    EXPECT_EQ(info.comment, "untouched");
  }
  decoder.DecodeImage(0, nullptr, info);
  EXPECT_EQ(info.comment, "untouched");
}

// Stray bytes between the blocks are passed over: the image after them is shown, and the
// blocks after them are read as blocks.
TEST(GifReader, StrayBytesBetweenBlocksArePassedOver) {
  const struct {
    const char* name;
    Bytes before, after;  // stray bytes before the graphic control block and the image
  } cases[] = {
      {"one zero byte before the image", {}, {0x00}},
      {"one byte of another value", {}, {0x0A}},
      {"several bytes in two places", {0x01, 0xFF, 0x2B}, {0x00, 0x00, 0x3A}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    GifBuilder b;
    b.Header("GIF89a", 2, 1, 4).ColorTable(4);
    for (uint8_t x : c.before) b.Byte(x);
    b.GraphicControl(0x01, 7, 3);  // transparent index 3
    for (uint8_t x : c.after) b.Byte(x);
    b.Descriptor(0, 0, 2, 1, 0).ImageData(2, EncodeLzw({1, 2}, 2)).Trailer();
    const TGIF picture = Decode(b.bytes());
    ASSERT_EQ(picture.width(), 2);
    ASSERT_EQ(picture.height(), 1);
    EXPECT_EQ(Indices(picture), (Bytes{1, 2}));
    vandrel::gif::GifReadStream stream(b.bytes());
    TGIFDecoder decoder(stream);
    decoder.ScanImages(false);
    ASSERT_EQ(decoder.imageCount(), 1);
    EXPECT_TRUE(decoder.frames()[0].info.transparent);
    EXPECT_EQ(decoder.frames()[0].info.transparentIndex, 3);
  }
}

// ---------------------------------------------------------------- hostile headers -----

TEST(GifReader, ImageSizesTheDataCannotHold) {
  struct Case {
    const char* name;
    int width, height, codeSize;
    Bytes data;
    const char* message;
  } cases[] = {
      {"width 0", 0, 5, 2, EncodeLzw({1}, 2), "GIF image has an invalid size (0 x 5)"},
      {"height 0", 5, 0, 2, EncodeLzw({1}, 2), "GIF image has an invalid size (5 x 0)"},
      {"code size 12", 2, 1, 12, {0, 0, 0}, "Invalid GIF LZW code size (12)"},
      {"code size 255", 2, 1, 255, {0, 0, 0}, "Invalid GIF LZW code size (255)"},
      {"65535 x 65535", 65535, 65535, 8, Bytes(100, 0), "GIF image too large (65535 x 65535)"},
      {"4000 x 4000 in 100 bytes", 4000, 4000, 8, Bytes(100, 0),
       "GIF image data too short for 4000 x 4000 pixels"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    GifBuilder b;
    b.Header("GIF89a", 1, 1, 4).ColorTable(4).Descriptor(0, 0, c.width, c.height, 0);
    b.ImageData(c.codeSize, c.data).Trailer();
    EXPECT_EQ(DecodeError(b.bytes()), std::string("invalid: ") + c.message);
  }
}

TEST(GifReader, RegisteredWithThePictureLoader) {
  vandrel::RegisterGifFormat();
  bool found = false;
  for (const auto& f : vandrel::PictureFormats())
    if (f.extension == "GIF") {
      found = true;
      EXPECT_EQ(f.description, "GIF - Graphics Interchange Format");
    }
  EXPECT_TRUE(found);
  const Bitmap b = vandrel::DecodePicture("gif", SimpleGif(2, 1, {4, 5}));
  EXPECT_EQ(Indices(b), (Bytes{4, 5}));
  EXPECT_EQ(ErrorOf([] { vandrel::DecodePicture("GIF", {}); }),
            "invalid: GIF read error at 00000000H (13 byte(s) expected, but 0 read)");
  vandrel::UnregisterGifFormat();
  for (const auto& f : vandrel::PictureFormats()) EXPECT_NE(f.extension, "GIF");
}
