// Files that crashed, hung or misread a GIF reader, each with the outcome it must keep.
// A file added to data/regressions must be listed here.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "GifTestUtil.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/gif/GifImage.h"

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
    {"extension_past_the_end.gif", nullptr, 0, 0, {}},
    {"data_block_past_the_end.gif", nullptr, 3, 1, {1, 2, 3}},
    // Found by fuzzing: a sub-block size as the last byte of the file gathered no data and
    // copied zero bytes from a null buffer.
    {"data_size_byte_at_the_end.gif", "GIF image data too short for 2 x 1 pixels", 0, 0, {}},
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
