// The TIFF reader in the picture loader, and the codecs' row-size helper.
#include <gtest/gtest.h>

#include <algorithm>

#include "TiffFixture.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/tiff/TiffImage.h"
#include "platform/PictureLoader.h"

using namespace vandrel;
using namespace tifftest;

TEST(TiffRegistration, TifAndTiffWithTheirDescription) {
  RegisterTiffFormat();
  const std::vector<PictureFormat> formats = PictureFormats();
  for (const char* extension : {"TIF", "TIFF"}) {
    const auto it = std::find_if(formats.begin(), formats.end(),
                                 [&](const PictureFormat& f) { return f.extension == extension; });
    ASSERT_NE(it, formats.end()) << extension;
    EXPECT_EQ(it->description, "TIFF - Tag Image File Format");
  }
  TiffFixture f = Image(1, 1, {8}, 1);
  f.Strip({42});
  const Bytes file = f.Build();
  EXPECT_EQ(DecodePicture("tif", file).scanLine(0)[0], 42);
  EXPECT_EQ(DecodePicture("Tiff", file).scanLine(0)[0], 42);
  try {
    DecodePicture("tif", Bytes{1, 2, 3, 4, 5, 6, 7, 8});
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Unsupported file format !");
  }
  UnregisterTiffFormat();
  for (const PictureFormat& format : PictureFormats()) {
    EXPECT_NE(format.extension, "TIF");
    EXPECT_NE(format.extension, "TIFF");
  }
}

TEST(ImageCommon, BytesPerScanline) {
  const struct {
    int32_t width, bits, alignment, bytes;
  } cases[] = {
      {1, 1, 32, 4},           {32, 1, 32, 4}, {33, 1, 32, 8}, {3, 24, 32, 12}, {5, 8, 32, 8},
      {5, 4, 32, 4},           {5, 8, 8, 5},   {7, 1, 8, 1},   {0, 24, 32, 0},  {3, 32, 32, 12},
      {0x10000000, 16, 32, 0},  // 32-bit arithmetic wraps
  };
  for (const auto& c : cases)
    EXPECT_EQ(BytesPerScanline(c.width, c.bits, c.alignment), c.bytes)
        << c.width << " x " << c.bits << " / " << c.alignment;
}
