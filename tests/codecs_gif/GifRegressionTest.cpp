// Files that crashed, hung or misread a GIF reader, each with the outcome it must keep.
// A file added to data/regressions must be listed here.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "GifTestUtil.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/gif/GifImage.h"
#include "tests/support/AllocationCeiling.h"

using namespace giftest;

namespace {

struct Regression {
  const char* file;
  const char* error;  // the EInvalidImage text, or nullptr when the file decodes
  int width, height;
  Bytes pixels;  // the first pixels when it decodes
};

const Regression kRegressions[] = {
    {"code_size_12.gif", "Invalid GIF LZW code size (12)", 0, 0, {}},
    {"huge_descriptor.gif", "GIF image too large (65535 x 65535)", 0, 0, {}},
    {"height_0_with_data.gif", "GIF image has an invalid size (7 x 0)", 0, 0, {}},
    {"pixels_beyond_a_1x1_image.gif", nullptr, 1, 1, {0}},
    {"extension_past_the_end.gif", "GIF file holds no image", 0, 0, {}},
    {"data_block_past_the_end.gif", nullptr, 3, 1, {1, 2, 3}},
    // Found by fuzzing: a sub-block size as the last byte of the file gathered no data and
    // copied zero bytes from a null buffer.
    {"data_size_byte_at_the_end.gif", "GIF image data too short for 2 x 1 pixels", 0, 0, {}},
    // LZW code size 0: nothing is decoded, the 3 x 2 image stays blank.
    {"code_size_0.gif", nullptr, 3, 2, {0, 0, 0, 0, 0, 0}},
    // Width 0 and no image data: refused like any image without pixels, rather than shown
    // as an empty picture.
    {"zero_width_no_data.gif", "GIF image has an invalid size (0 x 5)", 0, 0, {}},
};

std::string RegressionPath(const std::string& file) {
  return std::string(VANDREL_TEST_DATA_DIR) + "/regressions/" + file;
}

}  // namespace

TEST(GifRegression, EachFileKeepsItsOutcome) {
  for (const auto& r : kRegressions) {
    SCOPED_TRACE(r.file);
    const Bytes bytes = ReadFile(RegressionPath(r.file));
    vandrel::TGIF picture;
    if (r.error) {
      try {
        picture.LoadFromStream(bytes);
        ADD_FAILURE() << "no error";
      } catch (const vandrel::EInvalidImage& e) {
        EXPECT_STREQ(e.what(), r.error);
      }
      continue;
    }
    picture.LoadFromStream(bytes);
    EXPECT_EQ(picture.width(), r.width);
    EXPECT_EQ(picture.height(), r.height);
    const Bytes got = Indices(picture);
    EXPECT_EQ(Bytes(got.begin(), got.begin() + long(std::min(got.size(), r.pixels.size()))),
              r.pixels);
  }
}

TEST(GifRegression, EveryFileOfTheFolderIsListed) {
  std::set<std::string> listed;
  for (const auto& r : kRegressions) listed.insert(r.file);
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(VANDREL_TEST_DATA_DIR) + "/regressions"))
    EXPECT_TRUE(listed.count(entry.path().filename().string())) << entry.path();
}

// A 300 KB file declaring a 32768 x 32768 frame (kept in data/memory): beyond the budget it
// ends in the reader's message before the picture is allocated.
TEST(GifMemory, AFrameBeyondTheBudgetEndsInItsMessage) {
  const Bytes bytes =
      ReadFile(std::string(VANDREL_TEST_DATA_DIR) + "/memory/frame-32768x32768.gif");
  ASSERT_FALSE(bytes.empty());
  constexpr int64_t kCeiling = int64_t(64) << 20;
  vandrel::testing::AllocationCeiling ceiling(kCeiling);
  vandrel::TGIF picture;
  try {
    picture.LoadFromStream(bytes);
    ADD_FAILURE() << "decoded";
  } catch (const vandrel::EInvalidImage& e) {
    EXPECT_STREQ(e.what(), "GIF image too large (32768 x 32768)");
  }
  EXPECT_LT(ceiling.Peak(), kCeiling);
}

// Decoding holds the picture, the gathered image data and a window of at most 1 MB and two
// rows: no scratch copy of the whole picture.
TEST(GifMemory, DecodingHoldsThePictureTheDataAndAWindow) {
  if (!vandrel::testing::AllocationCeiling::Measures()) GTEST_SKIP() << "no heap hooks";
  const int w = 1500, h = 1000;
  Bytes pixels(size_t(w) * h);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t((i / 7 + i / 3000) % 256);
  for (uint8_t packed : {uint8_t(0), uint8_t(0x40)}) {
    SCOPED_TRACE(packed ? "interlaced" : "sequential");
    GifBuilder b;
    b.Header("GIF89a", w, h, 256).ColorTable(256).Descriptor(0, 0, w, h, packed);
    const Bytes data = EncodeLzw(pixels, 8);
    const Bytes file = b.ImageData(8, data).Trailer().bytes();
    vandrel::testing::AllocationCeiling ceiling(uint64_t(1) << 30);
    vandrel::TGIF picture;
    picture.LoadFromStream(file);
    ASSERT_EQ(picture.width(), w);
    const int64_t allowed = int64_t(picture.byteSize()) + int64_t(data.size()) + (int64_t(3) << 19);
    EXPECT_LE(ceiling.Peak(), allowed) << "picture " << picture.byteSize();
  }
}
