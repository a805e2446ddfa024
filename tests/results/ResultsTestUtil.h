#pragma once
// Helpers of the results tests: patterns, pictures and raw images written on the fly.
#include <string>
#include <vector>

#include "app/analysis/model/BatchRunner.h"
#include "app/histograms/model/GreyLevels.h"
#include "app/histograms/model/HistogramFiles.h"
#include "app/imaging/model/GreyImage.h"
#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "platform/Numbers.h"
#include "tests/support/TempDir.h"

namespace vandrel::testing {

// Sets the process-wide decimal separator for the life of the object.
class SeparatorScope {
 public:
  explicit SeparatorScope(char separator) : previous_(DecimalSeparator()) {
    SetDecimalSeparator(separator);
  }
  ~SeparatorScope() { SetDecimalSeparator(previous_); }

 private:
  char previous_;
};

// Runs batches with a given number of workers for the life of the object.
class ThreadsScope {
 public:
  explicit ThreadsScope(unsigned n) : previous_(BatchThreads()) { SetBatchThreads(n); }
  ~ThreadsScope() { SetBatchThreads(previous_); }

 private:
  unsigned previous_;
};

// A phase histogram with all its pixels at one grey level.
inline GreyHistogram Level(int g) {
  GreyHistogram h{};
  h[size_t(g)] = 1.0;
  return h;
}

// Writes the pattern `base`.pat/.pac/.err with one column per phase and returns the ".pat".
inline std::string WriteTestPattern(const std::string& base,
                                    const std::vector<GreyHistogram>& columns,
                                    const std::vector<std::string>& names) {
  std::vector<const GreyHistogram*> pointers;
  for (const GreyHistogram& c : columns) pointers.push_back(&c);
  WritePattern(base, pointers, names);
  return base + ".pat";
}

// An 8-bit picture of `width` x `height` whose first `dark` pixels (row by row) are at grey
// level `a` and the others at `b`.
inline Bitmap TwoLevels(int width, int height, int dark, uint8_t a, uint8_t b) {
  Bitmap bm(width, height, PixelFormat::pf8bit);
  bm.setPalette(GreyRamp());
  int i = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bm.scanLine(y)[x] = i++ < dark ? a : b;
  return bm;
}

// A raw ".grey" file: the header bytes (all 7, never counted) and 512 x 512 pixels whose
// first `dark` are at level `a` and the rest at `b`; `cut` bytes are left off the end.
inline std::string RawGrey(int dark, uint8_t a, uint8_t b, size_t cut = 0) {
  std::string bytes(kGreyHeaderSize, char(7));
  for (int i = 0; i < kGreySide * kGreySide; ++i) bytes.push_back(char(i < dark ? a : b));
  bytes.resize(bytes.size() - cut);
  return bytes;
}

}  // namespace vandrel::testing
