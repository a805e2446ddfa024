// An uncompressed picture is read straight into the bitmap's rows: while it loads, the heap
// holds the picture and a window of a megabyte or so, never a second copy of the file.
#include <gtest/gtest.h>

#include <string>

#include "codecs/tiff/TiffImage.h"
#include "platform/Bmp.h"
#include "platform/PictureLoader.h"
#include "tests/file_reading/Pictures.h"
#include "tests/support/HeapPeak.h"
#include "tests/support/TempDir.h"

namespace vandrel::testing {
namespace {

TEST(HeldOnce, UncompressedPicturesTakeThePictureAndAWindow) {
  if (!CanMeasureHeap()) GTEST_SKIP() << "needs the address sanitizer";
  RegisterTiffFormat();
  TempDir dir;
  const Bitmap colour = ShadedPicture(2400, 1800, PixelFormat::pf24bit, 5);
  const Bitmap grey = ShadedPicture(2400, 1800, PixelFormat::pf8bit, 6);
  const struct {
    const char* name;
    std::vector<uint8_t> file;
    const Bitmap& picture;
  } cases[] = {
      {"colour.bmp", EncodeBmp(colour), colour},
      {"grey.bmp", EncodeBmp(grey), grey},
      {"colour.tif", TiffFile(colour, 0), colour},
      {"grey.tif", TiffFile(grey, 0), grey},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.write(c.name, c.file);
    Bitmap loaded;
    const int64_t peak = PeakHeapGrowth([&] { loaded = LoadPicture(path); });
    EXPECT_TRUE(SamePicture(loaded, c.picture));
    EXPECT_LE(peak, int64_t(loaded.byteSize()) + (int64_t(3) << 20));
  }
  UnregisterTiffFormat();
}

}  // namespace
}  // namespace vandrel::testing
