// The TIFF reader takes a file's bytes through a window that reads ahead: strips laid out
// in any order are read whole and right, and a file of many small strips scattered
// backwards makes it read no more than a few times the file, not a window per strip.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "codecs/tiff/TiffImage.h"
#include "platform/ByteSource.h"

namespace vandrel::testing {
namespace {

// Bytes in memory handed out as a file's are (not in place), counting what is read.
class CountingSource final : public ByteSource {
 public:
  explicit CountingSource(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  uint64_t size() const override { return bytes_.size(); }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override {
    if (offset >= bytes_.size()) return 0;
    const size_t n = size_t(std::min<uint64_t>(count, bytes_.size() - offset));
    std::memcpy(buffer, bytes_.data() + offset, n);
    read += n;
    return n;
  }
  uint64_t read = 0;

 private:
  const std::vector<uint8_t>& bytes_;
};

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = uint8_t(v);
  out[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  Put16(out, at, v & 0xFFFF);
  Put16(out, at + 2, v >> 16);
}

// An uncompressed 8-bit grey picture of one column and `rows` rows, one row per strip, strip
// r holding the value r % 251 and standing `spacing` bytes before strip r - 1.
std::vector<uint8_t> BackwardStrips(uint32_t rows, uint32_t spacing) {
  const size_t pixels = 8, ifd = pixels + size_t(rows) * spacing;
  const uint16_t entries = 9;
  const size_t arrays = ifd + 2 + entries * 12 + 4;
  std::vector<uint8_t> out(arrays + 8 * size_t(rows), 0);
  out[0] = out[1] = 'I';
  Put16(out, 2, 42);
  Put32(out, 4, uint32_t(ifd));
  Put16(out, ifd, entries);
  const uint32_t tags[][4] = {
      {256, 4, 1, 1}, {257, 4, 1, rows}, {258, 3, 1, 8},
      {259, 3, 1, 1}, {262, 3, 1, 1},    {273, 4, rows, uint32_t(arrays)},
      {277, 3, 1, 1}, {278, 4, 1, 1},    {279, 4, rows, uint32_t(arrays + 4 * rows)},
  };
  for (size_t i = 0; i < entries; ++i) {
    const size_t at = ifd + 2 + 12 * i;
    Put16(out, at, tags[i][0]);
    Put16(out, at + 2, tags[i][1]);
    Put32(out, at + 4, tags[i][2]);
    if (tags[i][1] == 3)
      Put16(out, at + 8, tags[i][3]);
    else
      Put32(out, at + 8, tags[i][3]);
  }
  for (uint32_t r = 0; r < rows; ++r) {
    const size_t at = pixels + size_t(rows - 1 - r) * spacing;
    out[at] = uint8_t(r % 251);
    Put32(out, arrays + 4 * r, uint32_t(at));
    Put32(out, arrays + 4 * (rows + r), 1);
  }
  return out;
}

TEST(TiffWindow, StripsScatteredBackwardsAreReadRightAndWithoutReadingAWindowEach) {
  const uint32_t rows = 3000;
  const std::vector<uint8_t> file = BackwardStrips(rows, 4096);
  CountingSource source(file);
  const Bitmap b = DecodeTiff(source);
  ASSERT_EQ(b.width(), 1);
  ASSERT_EQ(b.height(), int(rows));
  for (uint32_t r = 0; r < rows; ++r) ASSERT_EQ(b.scanLine(int(r))[0], r % 251) << r;
  EXPECT_LE(source.read, 3 * file.size());
}

}  // namespace
}  // namespace vandrel::testing
