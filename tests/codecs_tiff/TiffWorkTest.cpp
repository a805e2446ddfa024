// The reader's work against what a file holds: directories that repeat a tag thousands of
// times with long lists, and strips that all cover one long stretch of the file. The work
// is what the stream hands out (bytes read or looked at in place), which must stay within
// a small multiple of the file and of the picture, whatever the file repeats.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "TiffFixture.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/tiff/TiffDecoder.h"
#include "codecs/tiff/TiffImage.h"

using namespace vandrel;
using namespace tifftest;

namespace {

struct Outcome {
  std::string error;  // empty when the page decoded
  uint64_t work = 0;  // bytes the stream handed out
  Bitmap picture;
  TiffTexts texts;
};

Outcome DecodeCounting(const Bytes& file) {
  Outcome o;
  TiffStream stream(file);
  TTIFFDecoder decoder(stream);
  try {
    decoder.ScanIFDs(true);
    decoder.DecodePage(0, &o.picture, o.texts);
  } catch (const Exception& e) {
    o.error = e.what();
  }
  o.work = stream.bytesHandedOut();
  return o;
}

constexpr int kEntries = 65535;

// One directory of 65,535 entries: the tags of a 2 x 1 grey image (`image`, which has
// `own` entries), then the entry `tag` repeated until the directory is full, every copy a
// list of `count` values of `type` at offset 8 (the directory itself, which is long enough
// to hold them). The image's strip entries come last.
Bytes RepeatedEntry(TiffFixture image, int own, uint16_t tag, uint16_t type, uint32_t count) {
  for (int i = 0; i < kEntries - own; ++i) image.Raw(tag, type, count, 8);
  return image.Build();
}

TiffFixture Grey2x1() {
  TiffFixture f = Image(2, 1, {8}, 1);
  f.Strip({10, 200});
  return f;
}

// A file built by `make` with the offset where its trailer starts, which entries of fixed
// values cannot know before the directory is complete.
Bytes WithTrailerAt(const std::function<TiffFixture(uint32_t)>& make, const Bytes& trailer) {
  const uint32_t at = uint32_t(make(0).Size());
  TiffFixture f = make(at);
  f.Trailer(trailer);
  return f.Build();
}

// A grey picture of `height` rows of `width` bytes, one row per strip, every strip taking
// the same `shared` bytes, which follow the directory and the strip lists.
Bytes SharedStrips(uint32_t width, uint32_t height, uint16_t compression, const Bytes& shared) {
  auto make = [&](uint32_t listsAt) {
    TiffFixture f = Image(width, height, {8}, 1);
    f.Short(259, compression).Long(278, 1);
    f.Raw(273, kLong, height, listsAt).Raw(279, kLong, height, listsAt + 4 * height);
    return f;
  };
  const uint32_t listsAt = uint32_t(make(0).Size());
  TiffFixture f = make(listsAt);
  Bytes lists;
  for (uint32_t i = 0; i < height; ++i) f.Put32(lists, listsAt + 8 * height);
  for (uint32_t i = 0; i < height; ++i) f.Put32(lists, uint32_t(shared.size()));
  lists.insert(lists.end(), shared.begin(), shared.end());
  f.Trailer(lists);
  return f.Build();
}

// LZW codes of 9 bits, most significant bit first.
Bytes NineBitCodes(const std::vector<unsigned>& codes) {
  Bytes out;
  uint32_t acc = 0;
  int bits = 0;
  for (unsigned c : codes) {
    acc = (acc << 9) | c;
    bits += 9;
    while (bits >= 8) {
      out.push_back(uint8_t(acc >> (bits - 8)));
      bits -= 8;
    }
  }
  if (bits > 0) out.push_back(uint8_t(acc << (8 - bits)));
  return out;
}

}  // namespace

TEST(TiffWork, RepeatedTagsAreReadOnce) {
  // A directory of 786 KB: each value list is as long as the file allows.
  const uint32_t fileish = 8 + 2 + 12 * kEntries;
  const struct {
    const char* name;
    Bytes file;
    const char* error;  // nullptr: the 2 x 1 picture decodes
  } cases[] = {
      {"BitsPerSample, SHORT lists of 393,000 values",
       RepeatedEntry(Grey2x1(), 6, 258, kShort, fileish / 2 - 8),
       "TIFF: Unsupported Pixel Format !"},
      // Without a strip of the fixture's: the repeated lists are the last StripOffsets.
      {"StripOffsets, RATIONAL lists of 98,000 values",
       RepeatedEntry(Image(2, 1, {8}, 1), 4, 273, kRational, fileish / 8 - 2),
       "TIFF: Invalid \"StripOffsets|StripByteCounts\" !"},
      {"StripByteCounts, LONG lists of 196,000 values",
       RepeatedEntry(Image(2, 1, {8}, 1), 4, 279, kLong, fileish / 4 - 4),
       "TIFF: Invalid \"StripOffsets|StripByteCounts\" !"},
      // Followed by the fixture's own strip entries, which are the ones that count.
      {"StripOffsets, then the strip's own entry",
       RepeatedEntry(Grey2x1(), 6, 273, kRational, fileish / 8 - 2), nullptr},
      {"YCbCrCoefficients, RATIONAL lists", RepeatedEntry(Grey2x1(), 6, 529, kRational, 90000),
       "TIFF: Unsupported \"YCbCr Coefficients\" !"},
      {"YCbCrSubSampling, SHORT lists", RepeatedEntry(Grey2x1(), 6, 530, kShort, 390000),
       "TIFF: Unsupported \"YCbCrSubSampling\" !"},
      {"ReferenceBlackWhite, LONG lists", RepeatedEntry(Grey2x1(), 6, 532, kLong, 190000),
       "TIFF: Unsupported \"ReferenceBlackWhite\" !"},
      {"ImageDescription, texts of 786,000 bytes",
       RepeatedEntry(Grey2x1(), 6, 270, kAscii, fileish - 8), nullptr},
      {"Artist, texts of 786,000 bytes", RepeatedEntry(Grey2x1(), 6, 315, kAscii, fileish - 8),
       nullptr},
      {"ColorMap, maps of 768 values", RepeatedEntry(Grey2x1(), 6, 320, kShort, 768), nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome o = DecodeCounting(c.file);
    EXPECT_EQ(o.error, c.error ? c.error : "");
    if (!c.error) {
      ASSERT_EQ(o.picture.width(), 2);
      EXPECT_EQ(o.picture.scanLine(0)[1], 200);
    }
    // The directory, and one list or text of about the file's size.
    EXPECT_LE(o.work, 2 * c.file.size() + 4096) << "work " << o.work;
  }
}

TEST(TiffWork, TheLastEntryOfATagCounts) {
  // The first StripOffsets points past the end of the file and is never read; the second
  // gives the strip. The first ImageDescription is replaced by the second.
  const Bytes file = WithTrailerAt(
      [](uint32_t stripAt) {
        TiffFixture f = Image(2, 1, {8}, 1);
        f.Raw(273, kLong, 2, 0x7FFFFFF0).Text(270, "first text").Raw(279, kLong, 1, 2);
        f.Raw(273, kLong, 1, stripAt).Text(270, "second");
        return f;
      },
      {33, 44});
  const Outcome o = DecodeCounting(file);
  ASSERT_EQ(o.error, "");
  ASSERT_EQ(o.picture.width(), 2);
  EXPECT_EQ(o.picture.scanLine(0)[0], 33);
  EXPECT_EQ(o.picture.scanLine(0)[1], 44);
  EXPECT_EQ(o.texts.imageDescription, "second");
}

TEST(TiffWork, ListsTheFileDoesNotHoldAreRefusedUnread) {
  // 98,000 offsets of which only two and a half are in the file: the read error names the
  // first value that is missing, and none is read before it.
  uint32_t listAt = 0;
  const Bytes file = WithTrailerAt(
      [&](uint32_t at) {
        listAt = at;
        TiffFixture f = Image(2, 1, {8}, 1);
        f.Raw(273, kLong, 98000, at);
        return f;
      },
      Bytes(10, 0));
  const Outcome o = DecodeCounting(file);
  char expected[128];
  std::snprintf(expected, sizeof expected,
                "TIFF read error at %.8XH (4 byte(s) expected, but 2 read)", listAt + 8);
  EXPECT_EQ(o.error, expected);
  EXPECT_LT(o.work, file.size());
}

TEST(TiffWork, StripsOverOneLongStretchAreRefused) {
  // 20,000 one-row strips that all take the same 200 KB: PackBits no-op bytes, which give
  // no pixels, and LZW Clear codes, which give none either. Each strip would go over the
  // whole stretch again.
  Bytes noops(200000, 0x80);
  std::vector<unsigned> clears(170000, 256);
  const struct {
    const char* name;
    Bytes file;
  } cases[] = {
      {"PackBits no-ops", SharedStrips(100, 20000, 32773, noops)},
      {"LZW Clear codes", SharedStrips(100, 20000, 5, NineBitCodes(clears))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome o = DecodeCounting(c.file);
    EXPECT_EQ(o.error, "TIFF: Invalid \"StripOffsets|StripByteCounts\" !");
    EXPECT_LE(o.work, c.file.size());
  }
}

TEST(TiffWork, StripsSharingTheirDataStillLoad) {
  // 64 strips of one row each over one packed row, and over one LZW row: what a writer of
  // blank strips does. The work is the file and each strip's few bytes.
  const Bytes packed = {uint8_t(1 - 100), 7};  // a run of 100 bytes of 7
  std::vector<unsigned> codes = {256, 7};
  // 7 repeated by string codes of 2 to 14 bytes: 105 bytes, a whole row and a few more.
  for (unsigned c = 258; c <= 270; ++c) codes.push_back(c);
  codes.push_back(257);
  const struct {
    const char* name;
    Bytes file;
  } cases[] = {
      {"PackBits", SharedStrips(100, 64, 32773, packed)},
      {"LZW", SharedStrips(100, 64, 5, NineBitCodes(codes))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome o = DecodeCounting(c.file);
    ASSERT_EQ(o.error, "");
    ASSERT_EQ(o.picture.width(), 100);
    ASSERT_EQ(o.picture.height(), 64);
    for (int y = 0; y < 64; y += 21) EXPECT_EQ(o.picture.scanLine(y)[77], 7) << y;
    EXPECT_LE(o.work, 2 * c.file.size() + 2 * 100 * 64);
  }
}
