#pragma once
// Helpers of the histogram tests: a throw-away folder, pictures written in a small test
// format that the picture loader reads through a registered reader, and the current
// folder moved into the throw-away one while a test runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <span>
#include <string>

#include "app/histograms/model/GreyLevels.h"
#include "platform/Bitmap.h"
#include "platform/Errors.h"
#include "platform/PictureLoader.h"
#include "tests/support/TempDir.h"

namespace vandrel::testing {

// "vtst" files: the bits per pixel, the width and the height as single bytes, then the
// rows one after another (stride bytes each, as the bitmap holds them).
inline void RegisterTestPictures() {
  RegisterPictureFormat("vtst", "test pictures", [](std::span<const uint8_t> b) {
    if (b.size() < 3) throw Exception("short test picture");
    Bitmap bitmap(b[1], b[2], PixelFormat(b[0]));
    if (bitmap.format() == PixelFormat::pf8bit) bitmap.setPalette(GreyRamp());
    if (b.size() < 3 + bitmap.byteSize()) throw Exception("short test picture");
    std::copy(b.begin() + 3, b.begin() + 3 + long(bitmap.byteSize()), bitmap.bits());
    return bitmap;
  });
}

inline void WriteTestPicture(const std::string& path, const Bitmap& bitmap) {
  std::string bytes{char(bitmap.bitsPerPixel()), char(bitmap.width()), char(bitmap.height())};
  bytes.append(reinterpret_cast<const char*>(bitmap.bits()), bitmap.byteSize());
  std::ofstream(path, std::ios::binary) << bytes;
}

// An 8-bit bitmap whose pixel (x, y) is f(x, y).
inline Bitmap GreyBitmap(int width, int height, const std::function<uint8_t(int, int)>& f) {
  Bitmap b(width, height, PixelFormat::pf8bit);
  b.setPalette(GreyRamp());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.scanLine(y)[x] = f(x, y);
  return b;
}

// Runs the test in the throw-away folder and goes back to the former current folder.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder) {
    char buf[4096];
    previous_ = getcwd(buf, sizeof buf) ? buf : "/";
    EXPECT_EQ(chdir(folder.c_str()), 0);
  }
  ~CurrentFolder() { (void)chdir(previous_.c_str()); }

 private:
  std::string previous_;
};

// The text of the error an action raises, "(no error)" when it raises none.
inline std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

inline GreyHistogram Filled(double v) {
  GreyHistogram h;
  h.fill(v);
  return h;
}

inline GreyHistogram Ramp() {
  GreyHistogram h;
  for (int g = 0; g < 256; ++g) h[g] = g / 32640.0;
  return h;
}

inline GreyHistogram Falling() {
  GreyHistogram h;
  for (int g = 0; g < 256; ++g) h[g] = (255 - g) / 32640.0;
  return h;
}

inline std::string DataFile(const std::string& name) {
  return std::string(VANDREL_TEST_DATA_DIR) + "/" + name;
}

}  // namespace vandrel::testing
