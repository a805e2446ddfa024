// The GIF writer: exact bytes of its blocks, the LZW code schedule, and files that giflib
// and our reader read back as written.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <random>

#include "GifTestUtil.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/gif/GifImage.h"

using namespace giftest;
using vandrel::Bitmap;
using vandrel::Palette;
using vandrel::PixelFormat;
using vandrel::TGIFEncoder;

namespace {

Bitmap Image8(int width, int height, const Bytes& pixels) {
  Bitmap b(width, height, PixelFormat::pf8bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      b.scanLine(y)[x] = pixels[size_t(y) * size_t(width) + size_t(x)];
  return b;
}

Bytes Noise(size_t count, unsigned seed, int modulo = 256) {
  std::mt19937 random(seed);
  Bytes p(count);
  for (auto& v : p) v = uint8_t(random() % unsigned(modulo));
  return p;
}

// A whole file as the image window writes it: no global table, one frame with a local one.
Bytes SaveAsGif(const Bitmap& bitmap) {
  Bytes stream;
  TGIFEncoder encoder(&stream);
  encoder.WriteHeader(uint16_t(bitmap.width()), uint16_t(bitmap.height()), 0, 0, nullptr, "");
  encoder.AddFrame(&bitmap, &bitmap.palette(), 0, 0, 0, 0, false, 0, "");
  return stream;
}

// The image data of a frame: what follows the descriptor (and its local table).
Bytes ImageDataOf(const Bytes& file, size_t descriptorAt) {
  size_t at = descriptorAt + 10;
  if (file[descriptorAt + 9] & 0x80) at += 768;
  return Bytes(file.begin() + long(at), file.end() - 1);  // without the trailer
}

// The image data as the writer's algorithm gives them with a plain linear search of the
// string table, written here independently of the program's hash index.
Bytes ReferenceImageData(const Bitmap& bitmap) {
  std::vector<std::pair<int, int>> codes;    // (code, width)
  std::vector<std::pair<int, int>> entries;  // (prefix index, byte) from index 259 on
  int width = 9, count = 1;
  bool empty = true;
  codes.push_back({256, 9});
  auto write = [&](int code) {
    codes.push_back({code, width});
    ++count;
    if (count == (1 << width) - 256) {
      if (width < 12) {
        ++width;
      } else {
        codes.push_back({256, 12});
        width = 9;
        count = 1;
        empty = true;
      }
    }
  };
  int w = 0;
  for (int y = 0; y < bitmap.height(); ++y)
    for (int x = 0; x < bitmap.width(); ++x) {
      const int c = bitmap.scanLine(y)[x];
      if (empty) {
        entries.clear();
        empty = false;
      }
      if (w == 0) {
        w = c + 1;
        continue;
      }
      int found = -1;
      for (size_t i = 0; i < entries.size() && found < 0; ++i)
        if (entries[i] == std::pair{w, c}) found = int(i) + 259;
      if (found >= 0) {
        w = found;
        continue;
      }
      write(w - 1);
      entries.push_back({w, c});
      w = c + 1;
    }
  if (w) write(w - 1);
  write(257);
  Bytes out{8};
  const Bytes blocks = SubBlocks(PackCodes(codes));
  out.insert(out.end(), blocks.begin(), blocks.end());
  return out;
}

}  // namespace

TEST(GifWriter, HeaderWithoutPaletteIsThirteenBytes) {
  Bytes stream;
  TGIFEncoder encoder(&stream);
  EXPECT_EQ(encoder.bitsPerPixel(), 8);
  encoder.WriteHeader(0x0102, 0x0304, 0, 5, nullptr, "");
  EXPECT_EQ(stream,
            (Bytes{'G', 'I', 'F', '8', '9', 'a', 0x02, 0x01, 0x04, 0x03, 0x07, 0x05, 0x00}));
}

TEST(GifWriter, ColourTables) {
  Palette system = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                    {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                    {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
                    {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                    {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  struct Case {
    const char* name;
    Palette given;
    Palette written;  // the first entries; black after them
  } cases[] = {
      {"two entries", {{1, 2, 3}, {4, 5, 6}}, {{1, 2, 3}, {4, 5, 6}}},
      {"a full palette", DefaultPalette(256), DefaultPalette(256)},
      {"no entries: the system palette", {}, system},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes expected;
    for (size_t i = 0; i < 256; ++i) {
      const auto e = i < c.written.size() ? c.written[i] : vandrel::PaletteEntry{};
      expected.insert(expected.end(), {e.red, e.green, e.blue});
    }
    Bytes header;
    {
      TGIFEncoder encoder(&header);
      encoder.WriteHeader(3, 4, 0, 1, &c.given, "");
    }
    ASSERT_EQ(header.size(), 13u + 768u);
    EXPECT_EQ(header[10], 0x87);
    EXPECT_EQ(Bytes(header.begin() + 13, header.end()), expected);

    Bytes frame;
    TGIFEncoder encoder(&frame);
    const Bitmap bitmap = Image8(1, 1, {0});
    encoder.AddFrame(&bitmap, &c.given, 0, 0, 0, 0, false, 0, "");
    ASSERT_EQ(frame[8], 0x2C);
    EXPECT_EQ(frame[17], 0x87);
    EXPECT_EQ(Bytes(frame.begin() + 18, frame.begin() + 18 + 768), expected);
  }
}

TEST(GifWriter, LoopingBlock) {
  Bytes stream;
  TGIFEncoder encoder(&stream);
  encoder.WriteHeader(1, 1, 0x0203, 0, nullptr, "");
  const std::string block = "\x21\xFF\x0BNETSCAPE2.0\x03\x01\x03\x02";
  Bytes expected(block.begin(), block.end());
  expected.push_back(0);
  EXPECT_EQ(Bytes(stream.begin() + 13, stream.end()), expected);
}

TEST(GifWriter, OnePixelFrameExactly) {
  Bytes stream;
  TGIFEncoder encoder(&stream);
  const Bitmap bitmap = Image8(1, 1, {5});
  encoder.AddFrame(&bitmap, nullptr, 0x0201, 0x0403, 0x0605, 2, true, 7, "");
  const Bytes expected = {0x21, 0xF9, 0x04, 0x09, 0x05, 0x06, 0x07, 0x00,  // graphic control
                          0x2C, 0x01, 0x02, 0x03, 0x04, 0x01, 0x00, 0x01, 0x00, 0x07,  // descriptor
                          0x08, 0x04, 0x00, 0x0B, 0x04, 0x04, 0x00,  // codes 256, 5, 257
                          0x3B};
  EXPECT_EQ(stream, expected);
  EXPECT_EQ(encoder.position(), stream.size() - 1);  // on the trailer
}

TEST(GifWriter, GraphicControlPackedByte) {
  struct Case {
    uint8_t disposal;
    bool transparent;
    uint8_t packed;
  } cases[] = {{0, false, 0x00},
               {0, true, 0x01},
               {3, false, 0x0C},
               {7, true, 0x1D},
               {0x41, false, 0x04}};  // disposal x 4 as a byte
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.disposal));
    Bytes stream;
    TGIFEncoder encoder(&stream);
    const Bitmap bitmap = Image8(1, 1, {0});
    encoder.AddFrame(&bitmap, nullptr, 0, 0, 0, c.disposal, c.transparent, 0, "");
    EXPECT_EQ(stream[3], c.packed);
  }
}

TEST(GifWriter, FrameComments) {
  const std::string long300(300, 'x');
  struct Case {
    const char* name;
    std::string comment;
    Bytes extension;  // empty: none written
  } cases[] = {
      {"plain", "ok", {0x21, 0xFE, 2, 'o', 'k', 0}},
      {"untrimmed", " a\t", {0x21, 0xFE, 3, ' ', 'a', '\t', 0}},
      {"blank", " \t\r\n\x01 ", {}},
      {"empty", "", {}},
      {"300 characters", long300, {}},
  };
  cases[4].extension = {0x21, 0xFE, 255};
  cases[4].extension.insert(cases[4].extension.end(), 255, 'x');
  cases[4].extension.push_back(0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes stream;
    TGIFEncoder encoder(&stream);
    const Bitmap bitmap = Image8(1, 1, {0});
    encoder.AddFrame(&bitmap, nullptr, 0, 0, 0, 0, false, 0, c.comment);
    EXPECT_EQ(Bytes(stream.begin(), stream.begin() + long(c.extension.size())), c.extension);
    EXPECT_EQ(stream[c.extension.size()], 0x21);
    EXPECT_EQ(stream[c.extension.size() + 1], 0xF9);
  }
}

TEST(GifWriter, FramesOverwriteTheTrailerAndTheHeaderCommentEnds) {
  const Bitmap first = Image8(3, 2, {1, 2, 3, 4, 5, 6});
  const Bitmap second = Image8(2, 2, {7, 7, 8, 8});
  const Palette palette = DefaultPalette(16);
  Bytes stream;
  size_t afterFrames = 0;
  {
    TGIFEncoder encoder(&stream);
    encoder.WriteHeader(4, 4, 0, 0, &palette, "made here");
    encoder.AddFrame(&first, nullptr, 0, 0, 10, 0, false, 0, "one");
    const Bytes afterOne = stream;
    EXPECT_EQ(afterOne.back(), 0x3B);
    encoder.AddFrame(&second, &palette, 1, 2, 20, 1, false, 0, "");
    // Every state of the stream is a complete file.
    EXPECT_EQ(GiflibDecode(afterOne).indices, Indices(first));
    EXPECT_EQ(std::count(stream.end() - 1, stream.end(), 0x3B), 1);
    afterFrames = stream.size();
  }
  // The destructor's comment replaces the last trailer and ends with its own.
  const Bytes ending = {0x21, 0xFE, 9, 'm', 'a', 'd', 'e', ' ', 'h', 'e', 'r', 'e', 0, 0x3B};
  ASSERT_EQ(stream.size(), afterFrames - 1 + ending.size());
  EXPECT_EQ(Bytes(stream.end() - long(ending.size()), stream.end()), ending);

  vandrel::gif::GifReadStream in(stream);
  vandrel::TGIFDecoder decoder(in);
  decoder.ScanImages(false);
  ASSERT_EQ(decoder.imageCount(), 2);
  EXPECT_EQ(decoder.comment(), "made here");
  EXPECT_EQ(decoder.frames()[0].info.comment, "one");
  EXPECT_EQ(decoder.frames()[1].info.delay, 20);
  Bitmap decoded;
  vandrel::TGIFInfo info;
  decoder.DecodeImage(1, &decoded, info);
  EXPECT_EQ(Indices(decoded), Indices(second));
  EXPECT_EQ(info.left, 1);
  EXPECT_EQ(info.top, 2);
}

TEST(GifWriter, BlankHeaderCommentWritesNothingAtTheEnd) {
  Bytes stream;
  Bytes before;
  {
    TGIFEncoder encoder(&stream);
    encoder.WriteHeader(1, 1, 0, 0, nullptr, "   ");
    const Bitmap bitmap = Image8(1, 1, {0});
    encoder.AddFrame(&bitmap, nullptr, 0, 0, 0, 0, false, 0, "");
    before = stream;
  }
  EXPECT_EQ(stream, before);
}

TEST(GifWriter, WhatItRefuses) {
  Bytes stream;
  TGIFEncoder encoder(&stream);
  const Bitmap empty(0, 5, PixelFormat::pf8bit);
  encoder.AddFrame(nullptr, nullptr, 0, 0, 0, 0, false, 0, "c");
  EXPECT_THROW(encoder.AddFrame(&empty, nullptr, 0, 0, 0, 0, false, 0, "c"), vandrel::Exception);
  EXPECT_TRUE(stream.empty());

  TGIFEncoder detached(nullptr);
  const Bitmap one = Image8(1, 1, {0});
  detached.WriteHeader(1, 1, 0, 0, nullptr, "kept");
  detached.AddFrame(&one, nullptr, 0, 0, 0, 0, false, 0, "");

  // Not 8 bits: the comment and the graphic control are already written.
  const Bitmap colour(2, 2, PixelFormat::pf24bit);
  try {
    encoder.AddFrame(&colour, nullptr, 0, 0, 0, 0, false, 0, "c");
    FAIL() << "no error";
  } catch (const vandrel::EInvalidImage& e) {
    EXPECT_STREQ(e.what(), "The Pixel Format must be 8bit !");
  }
  EXPECT_EQ(stream, (Bytes{0x21, 0xFE, 1, 'c', 0, 0x21, 0xF9, 4, 0, 0, 0, 0, 0}));

  // The descriptor's 16-bit size cannot hold 65536.
  const Bitmap wide(65536, 1, PixelFormat::pf8bit);
  try {
    encoder.AddFrame(&wide, nullptr, 0, 0, 0, 0, false, 0, "");
    FAIL() << "no error";
  } catch (const vandrel::EInvalidImage& e) {
    EXPECT_STREQ(e.what(), "Image too large for GIF (65536 x 1)");
  }
}

TEST(GifWriter, SubBlocksOfTheImageData) {
  // A ramp of n distinct pixels makes n + 2 codes of 9 bits (clear, pixels, end).
  struct Case {
    int width;
    std::vector<size_t> blocks;
  } cases[] = {
      {224, {255}},     // 2034 bits: exactly 255 bytes
      {225, {255, 1}},  // 2043 bits: 256 bytes
      {1, {4}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    Bytes stream;
    TGIFEncoder encoder(&stream);
    const Bitmap bitmap = Image8(c.width, 1, [&] {
      Bytes p(size_t(c.width));
      for (size_t i = 0; i < p.size(); ++i) p[i] = uint8_t(i);
      return p;
    }());
    encoder.AddFrame(&bitmap, nullptr, 0, 0, 0, 0, false, 0, "");
    const Bytes data = ImageDataOf(stream, 8);
    size_t at = 1;
    std::vector<size_t> sizes;
    while (data[at] != 0) {
      sizes.push_back(data[at]);
      at += data[at] + 1u;
    }
    EXPECT_EQ(sizes, c.blocks);
    EXPECT_EQ(at, data.size() - 1);
  }
}

TEST(GifWriter, ClearCodeAtTwelveBits) {
  // Noise makes a code for nearly every pixel: 3839 codes after the first clear reach the
  // full table, then a clear of 12 bits, then 9-bit codes again.
  const Bitmap bitmap = Image8(100, 100, Noise(10000, 3));
  Bytes stream;
  TGIFEncoder encoder(&stream);
  encoder.AddFrame(&bitmap, nullptr, 0, 0, 0, 0, false, 0, "");
  const Bytes data = ImageDataOf(stream, 8);
  Bytes codes;  // the LZW bytes without the sub-block framing
  for (size_t at = 1; data[at] != 0; at += data[at] + 1u)
    codes.insert(codes.end(), data.begin() + long(at) + 1, data.begin() + long(at + data[at]) + 1);
  auto bits = [&](size_t from, int width) {
    unsigned v = 0;
    for (int i = 0; i < width; ++i)
      v |= unsigned((codes[(from + size_t(i)) / 8] >> ((from + size_t(i)) % 8)) & 1) << i;
    return v;
  };
  const size_t clearAt = 9 + 255 * 9 + 512 * 10 + 1024 * 11 + 2048 * 12;
  EXPECT_EQ(bits(0, 9), 256u);
  EXPECT_EQ(bits(clearAt, 12), 256u);
  // The first pixel after the clear follows as a 9-bit literal.
  EXPECT_LT(bits(clearAt + 12, 9), 256u);
  // And the whole stream reads back.
  EXPECT_EQ(GiflibDecode(SaveAsGif(bitmap)).indices, Indices(bitmap));
}

TEST(GifWriter, SameBytesAsALinearSearchOfTheTable) {
  struct Case {
    const char* name;
    int width, height;
    Bytes pixels;
  } cases[] = {
      {"noise", 120, 100, Noise(12000, 11)},
      {"few values", 97, 131, Noise(97 * 131, 12, 3)},
      {"flat", 300, 200, Bytes(60000, 42)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bitmap bitmap = Image8(c.width, c.height, c.pixels);
    Bytes stream;
    TGIFEncoder encoder(&stream);
    encoder.AddFrame(&bitmap, nullptr, 0, 0, 0, 0, false, 0, "");
    EXPECT_EQ(ImageDataOf(stream, 8), ReferenceImageData(bitmap));
  }
}

TEST(GifWriter, RoundTripsThroughGiflibAndOurReader) {
  Bytes gradient(640 * 480);
  for (size_t i = 0; i < gradient.size(); ++i) gradient[i] = uint8_t((i % 640) * 255 / 639);
  Bytes phases(512 * 512);
  for (size_t i = 0; i < phases.size(); ++i)
    phases[i] = uint8_t(((i % 512) / 64 + (i / 512) / 64) % 3 * 100 + (i * 7919 % 5));
  struct Case {
    const char* name;
    int width, height;
    Bytes pixels;
  } cases[] = {
      {"1 x 1", 1, 1, {200}},
      {"one row", 4096, 1, Noise(4096, 1)},
      {"one column", 1, 3000, Noise(3000, 2, 7)},
      {"noise", 333, 222, Noise(333 * 222, 3)},
      {"gradient", 640, 480, gradient},
      {"phases", 512, 512, phases},
      {"flat", 1000, 1000, Bytes(1000000, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap bitmap = Image8(c.width, c.height, c.pixels);
    bitmap.setPalette(vandrel::GreyRamp());
    const Bytes file = SaveAsGif(bitmap);
    const GiflibImage reference = GiflibDecode(file);
    ASSERT_TRUE(reference.ok);
    EXPECT_EQ(reference.width, c.width);
    EXPECT_EQ(reference.height, c.height);
    EXPECT_EQ(reference.indices, c.pixels);
    EXPECT_EQ(reference.palette, vandrel::GreyRamp());

    vandrel::TGIF picture;
    picture.LoadFromStream(file);
    EXPECT_EQ(Indices(picture), c.pixels);
    EXPECT_EQ(picture.palette(), vandrel::GreyRamp());
  }
}
