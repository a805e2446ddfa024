// The JPEG reader, fed with pictures that libjpeg's own compressor makes here.
#include "platform/Jpeg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include <jpeglib.h>

#include "platform/Errors.h"
#include "platform/PictureLoader.h"
#include "tests/support/AllocationCeiling.h"
#include "tests/support/TempDir.h"

namespace vandrel {
namespace {

using testing::TempDir;

struct JpegOptions {
  J_COLOR_SPACE input = JCS_RGB;  // samples given: JCS_GRAYSCALE, JCS_RGB or JCS_CMYK
  int quality = 100;
  bool progressive = false;
  bool adobeMarker = true;  // CMYK only
  bool fullChroma = true;   // 4:4:4 sampling, so that colours stay sharp
};

// Compresses `samples` (rows top-down, components interleaved) with libjpeg.
std::vector<uint8_t> MakeJpeg(int w, int h, const std::vector<uint8_t>& samples,
                              const JpegOptions& o = {}) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = JDIMENSION(w);
  c.image_height = JDIMENSION(h);
  c.input_components = o.input == JCS_GRAYSCALE ? 1 : o.input == JCS_CMYK ? 4 : 3;
  c.in_color_space = o.input;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, o.quality, TRUE);
  if (o.input == JCS_CMYK) c.write_Adobe_marker = o.adobeMarker;
  if (o.fullChroma && o.input == JCS_RGB)
    c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = 1;
  if (o.progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  const size_t rowBytes = size_t(w) * size_t(c.input_components);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(&samples[c.next_scanline * rowBytes]);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

// Samples of a w x h picture from a function of (x, y) to its components.
std::vector<uint8_t> Picture(int w, int h, int components,
                             const std::function<std::vector<uint8_t>(int, int)>& f) {
  std::vector<uint8_t> s;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::vector<uint8_t> v = f(x, y);
      s.insert(s.end(), v.begin(), v.begin() + components);
    }
  return s;
}

std::string MessageOf(std::span<const uint8_t> bytes) {
  try {
    DecodeJpeg(bytes);
  } catch (const Exception& e) {
    return e.what();
  }
  return "(decoded)";
}

// Four quadrants of one colour each: red, green, blue, white (red, green, blue).
const std::vector<uint8_t> kQuadrants[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

std::vector<uint8_t> Quadrant(int x, int y) { return kQuadrants[(x >= 16) + 2 * (y >= 16)]; }

void ExpectNear(PaletteEntry got, const std::vector<uint8_t>& rgb, int tolerance,
                const std::string& where) {
  EXPECT_NEAR(got.red, rgb[0], tolerance) << where;
  EXPECT_NEAR(got.green, rgb[1], tolerance) << where;
  EXPECT_NEAR(got.blue, rgb[2], tolerance) << where;
}

TEST(JpegReader, GreyPicturesBecomeEightBitsWithTheGreyRamp) {
  const int w = 37, h = 23;  // not multiples of 8
  auto level = [](int x, int y) { return uint8_t(x * 6 + y); };
  JpegOptions o;
  o.input = JCS_GRAYSCALE;
  const Bitmap b = DecodeJpeg(MakeJpeg(
      w, h, Picture(w, h, 1, [&](int x, int y) { return std::vector<uint8_t>{level(x, y)}; }), o));
  ASSERT_EQ(b.format(), PixelFormat::pf8bit);
  EXPECT_EQ(b.width(), w);
  EXPECT_EQ(b.height(), h);
  EXPECT_EQ(b.palette(), GreyRamp());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ASSERT_NEAR(b.scanLine(y)[x], level(x, y), 4) << x << "," << y;
}

TEST(JpegReader, ColourPicturesBecomeTwentyFourBitsInBlueGreenRedOrder) {
  for (bool progressive : {false, true}) {
    JpegOptions o;
    o.progressive = progressive;
    const Bitmap b = DecodeJpeg(MakeJpeg(32, 32, Picture(32, 32, 3, Quadrant), o));
    ASSERT_EQ(b.format(), PixelFormat::pf24bit);
    EXPECT_TRUE(b.palette().empty());
    for (int y = 2; y < 32; y += 4)
      for (int x = 2; x < 32; x += 4)
        ExpectNear(
            b.pixelColor(x, y), Quadrant(x, y), 6,
            std::to_string(x) + "," + std::to_string(y) + (progressive ? " progressive" : ""));
    // Red lies in the third byte of a pixel.
    EXPECT_GT(b.scanLine(0)[2], 240);
    EXPECT_LT(b.scanLine(0)[0], 15);
  }
}

TEST(JpegReader, CmykPicturesAreConvertedToColour) {
  // Red, green, blue and white as CMYK inks: C, M, Y, K with 255 = full ink.
  const std::vector<uint8_t> inks[4] = {
      {0, 255, 255, 0}, {255, 0, 255, 0}, {255, 255, 0, 0}, {0, 0, 0, 0}};
  for (bool adobe : {true, false}) {
    JpegOptions o;
    o.input = JCS_CMYK;
    o.adobeMarker = adobe;
    const auto samples = Picture(32, 32, 4, [&](int x, int y) {
      std::vector<uint8_t> v = inks[(x >= 16) + 2 * (y >= 16)];
      // Adobe's files store the inks inverted.
      if (adobe)
        for (uint8_t& s : v) s = uint8_t(255 - s);
      return v;
    });
    const Bitmap b = DecodeJpeg(MakeJpeg(32, 32, samples, o));
    ASSERT_EQ(b.format(), PixelFormat::pf24bit);
    for (int y = 4; y < 32; y += 8)
      for (int x = 4; x < 32; x += 8)
        ExpectNear(b.pixelColor(x, y), Quadrant(x, y), 8,
                   std::to_string(x) + "," + std::to_string(y) + (adobe ? " adobe" : ""));
  }
}

TEST(JpegReader, TheLoaderReadsJpgAndJpegFiles) {
  TempDir dir;
  const std::vector<uint8_t> jpeg = MakeJpeg(32, 32, Picture(32, 32, 3, Quadrant));
  const Bitmap expected = DecodeJpeg(jpeg);
  for (const char* name : {"a.jpg", "b.JPEG", "c.Jpg", "d.jpeg"})
    EXPECT_EQ(LoadPicture(dir.write(name, jpeg)), expected) << name;
}

// A progressive file whose last scan is repeated: each copy is a few bytes of the file and
// another pass over the whole picture. Up to a hundred scans are read; beyond that the
// file is refused, so that its length cannot multiply the work.
TEST(JpegReader, ScansBeyondAHundredAreRefused) {
  JpegOptions o;
  o.input = JCS_GRAYSCALE;
  o.progressive = true;
  const std::vector<uint8_t> good = MakeJpeg(
      256, 256, Picture(256, 256, 1, [](int, int) { return std::vector<uint8_t>{128}; }), o);
  // The last scan runs from its start-of-scan marker to the end-of-image marker.
  size_t lastScan = 0;
  for (size_t i = 2; i + 1 < good.size(); ++i)
    if (good[i] == 0xFF && good[i + 1] == 0xDA) lastScan = i;
  ASSERT_GT(lastScan, 0u);
  const size_t end = good.size() - 2;
  ASSERT_EQ(good[end], 0xFF);
  ASSERT_EQ(good[end + 1], 0xD9);
  int scans = 0;
  for (size_t i = 2; i + 1 < good.size(); ++i) scans += good[i] == 0xFF && good[i + 1] == 0xDA;
  auto repeated = [&](int copies) {
    std::vector<uint8_t> out(good.begin(), good.begin() + long(end));
    for (int k = 0; k < copies; ++k)
      out.insert(out.end(), good.begin() + long(lastScan), good.begin() + long(end));
    out.insert(out.end(), good.begin() + long(end), good.end());
    return out;
  };
  const struct {
    int copies;
    const char* message;
  } cases[] = {
      {0, "(decoded)"},
      {100 - scans, "(decoded)"},
      {101 - scans, "JPEG: too many scans (more than 100)"},
      {20000, "JPEG: too many scans (more than 100)"},
  };
  for (const auto& c : cases) EXPECT_EQ(MessageOf(repeated(c.copies)), c.message) << c.copies;
}

TEST(JpegReader, DamagedDataRaisesClearErrors) {
  const std::vector<uint8_t> good =
      MakeJpeg(64, 48, Picture(64, 48, 3, [](int x, int y) {
                 return std::vector<uint8_t>{uint8_t(x * 4), uint8_t(y * 5), uint8_t(x ^ y)};
               }));
  ASSERT_EQ(MessageOf(good), "(decoded)");
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"not a JPEG", {'B', 'M', 0, 0, 0, 0, 0, 0}},
      {"start marker only", {0xFF, 0xD8}},
      {"header only", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 4)},
      {"half the data", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)},
      {"all but the last bytes of the data", std::vector<uint8_t>(good.begin(), good.end() - 12)},
  };
  // A marker in the middle of the coded data.
  Case marker{"marker inside the data", good};
  marker.bytes[marker.bytes.size() / 2] = 0xFF;
  marker.bytes[marker.bytes.size() / 2 + 1] = 0xD9;
  cases.push_back(marker);
  for (const Case& c : cases) {
    const std::string m = MessageOf(c.bytes);
    EXPECT_EQ(m.rfind("JPEG: ", 0), 0u) << c.name << ": " << m;
    EXPECT_GT(m.size(), 8u) << c.name;
  }
}

TEST(JpegReader, EveryTruncationDecodesOrRaises) {
  for (bool progressive : {false, true}) {
    JpegOptions o;
    o.progressive = progressive;
    o.quality = 75;
    const std::vector<uint8_t> good = MakeJpeg(24, 16, Picture(24, 16, 3, Quadrant), o);
    for (size_t n = 0; n + 2 < good.size(); ++n) {
      const std::string m =
          MessageOf(std::span<const uint8_t>(good.data(), n));  // never crashes or exits
      EXPECT_EQ(m.rfind("JPEG: ", 0), 0u) << n << " of " << good.size() << ": " << m;
    }
  }
}

TEST(JpegReader, AMissingEndMarkerOnlyMattersWhenScansCouldBeMissing) {
  for (bool progressive : {false, true}) {
    JpegOptions o;
    o.progressive = progressive;
    const std::vector<uint8_t> good = MakeJpeg(40, 24, Picture(40, 24, 3, Quadrant), o);
    ASSERT_EQ(good[good.size() - 2], 0xFF);
    ASSERT_EQ(good.back(), 0xD9);
    const std::span<const uint8_t> cut(good.data(), good.size() - 2);
    if (progressive) {
      // The cut could as well have taken whole refinement scans.
      EXPECT_EQ(MessageOf(cut), "JPEG: Premature end of JPEG file");
    } else {
      EXPECT_EQ(DecodeJpeg(cut), DecodeJpeg(good));
    }
  }
}

TEST(JpegReader, HeadersClaimingHugeImagesAreRefused) {
  const std::vector<uint8_t> small = MakeJpeg(16, 16, Picture(16, 16, 3, Quadrant));
  // The frame header (FF C0): length, precision, height, width.
  size_t sof = 0;
  for (size_t i = 2; i + 1 < small.size(); ++i)
    if (small[i] == 0xFF && small[i + 1] == 0xC0) {
      sof = i;
      break;
    }
  ASSERT_NE(sof, 0u);
  struct Case {
    uint16_t side;
    const char* message;
  };
  for (const Case c : {Case{60000, "unsupported image size 60000 x 60000"},
                       Case{20000, "too short for an image of 20000 x 20000"}}) {
    std::vector<uint8_t> jpeg = small;
    jpeg[sof + 5] = jpeg[sof + 7] = uint8_t(c.side >> 8);
    jpeg[sof + 6] = jpeg[sof + 8] = uint8_t(c.side);
    const std::string m = MessageOf(jpeg);
    EXPECT_EQ(m.rfind("JPEG: ", 0), 0u) << m;
    EXPECT_NE(m.find(c.message), std::string::npos) << m;
  }
}

// A picture beyond the decoded-image budget ends in the reader's message before its bitmap
// is allocated; one within it decodes, holding the bitmap and little else.
TEST(JpegReader, PicturesBeyondTheBudgetAreRefused) {
  const int w = 1000, h = 600;  // 1.8 MB as a 24-bit bitmap
  const std::vector<uint8_t> jpeg =
      MakeJpeg(w, h, Picture(w, h, 3, [](int x, int y) {
                 return std::vector<uint8_t>{uint8_t(x), uint8_t(y), uint8_t(x + y)};
               }));
  {
    testing::AllocationCeiling ceiling(1 << 20);
    EXPECT_EQ(MessageOf(jpeg), "JPEG: unsupported image size 1000 x 600");
    EXPECT_LT(ceiling.Peak(), 1 << 20);
  }
  testing::AllocationCeiling ceiling(2 << 20);
  const Bitmap b = DecodeJpeg(jpeg);
  EXPECT_EQ(b.width(), w);
  if (testing::AllocationCeiling::Measures()) {
    EXPECT_LE(ceiling.Peak(), int64_t(b.byteSize()) + (int64_t(1) << 20));
  }
}

}  // namespace
}  // namespace vandrel
