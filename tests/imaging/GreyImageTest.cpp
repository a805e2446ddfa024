// The raw ".grey" reader: header skipped, 512 rows top first, short files refused.
#include "app/imaging/model/GreyImage.h"

#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "tests/imaging/TestFiles.h"

namespace vandrel {
namespace {

using testing::GreyBytes;
using testing::ScratchDir;
using testing::WriteBytes;

Palette TestPalette() {
  Palette p(256);
  for (int i = 0; i < 256; ++i) p[i] = {uint8_t(255 - i), uint8_t(i), uint8_t(i / 2)};
  return p;
}

class GreyImageTest : public ::testing::TestWithParam<size_t> {
 protected:
  ScratchDir dir;
};

// A file of exactly header + pixels and files with a tail read the same image.
TEST_P(GreyImageTest, ReadsPixelsAfterHeaderTopRowFirst) {
  const std::string path = dir.file("a.grey");
  WriteBytes(path, GreyBytes(GetParam()));
  Bitmap image;
  ReadGrey(path, TestPalette(), image);
  ASSERT_EQ(image.width(), 512);
  ASSERT_EQ(image.height(), 512);
  EXPECT_EQ(image.format(), PixelFormat::pf8bit);
  EXPECT_EQ(image.palette(), TestPalette());
  for (int y : {0, 1, 255, 511})
    for (int x : {0, 7, 300, 511})
      ASSERT_EQ(image.scanLine(y)[x], uint8_t((x + 3 * y) & 255)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Sizes, GreyImageTest,
                         ::testing::Values(kGreyFileSize, kGreyFileSize + 1,
                                           kGreyFileSize + 100000));

TEST(GreyImageErrors, ShortFilesRaiseReadBeyondEndAndLeaveTheImage) {
  ScratchDir dir;
  for (size_t size :
       {size_t(0), size_t(100), kGreyHeaderSize, kGreyHeaderSize + 511, kGreyFileSize - 1}) {
    SCOPED_TRACE(size);
    const std::string path = dir.file("short.grey");
    WriteBytes(path, GreyBytes(size));
    Bitmap image(3, 2, PixelFormat::pf24bit);
    image.scanLine(1)[5] = 77;
    const Bitmap before = image;
    try {
      ReadGrey(path, TestPalette(), image);
      FAIL() << "no error";
    } catch (const EInOutError& e) {
      EXPECT_STREQ(e.what(), "Read beyond end of file");
    }
    EXPECT_EQ(image, before);
  }
}

TEST(GreyImageErrors, MissingFileRaisesFileNotFound) {
  ScratchDir dir;
  Bitmap image;
  try {
    ReadGrey(dir.file("none.grey"), TestPalette(), image);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
}

}  // namespace
}  // namespace vandrel
