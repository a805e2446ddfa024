// The pixel memory of bitmaps: zeroed, deep copies, large blocks mapped on 2 MB boundaries
// and handed back to the system when freed, and the heap in builds that measure it.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "tests/support/HeapPeak.h"

namespace vandrel {
namespace {

constexpr size_t kMB = size_t(1) << 20;

// Every byte of the block is zero.
bool AllZero(const PixelBlock& block) {
  for (size_t i = 0; i < block.size(); ++i)
    if (block.data()[i] != 0) return false;
  return true;
}

// Whether any page of [p, p + size) is still mapped in this process: mincore fails with
// ENOMEM for a range that holds unmapped pages.
bool Unmapped(const uint8_t* p, size_t size) {
  const size_t page = size_t(::sysconf(_SC_PAGESIZE));
  std::vector<unsigned char> pages((size + page - 1) / page);
  errno = 0;
  return ::mincore(const_cast<uint8_t*>(p), size, pages.data()) != 0 && errno == ENOMEM;
}

// Fills the block with a pattern that differs from byte to byte of every page.
void Fill(PixelBlock& block, uint8_t seed) {
  for (size_t i = 0; i < block.size(); ++i) block.data()[i] = uint8_t(i * 31 + seed);
}

struct BlockCase {
  const char* name;
  size_t size;
  bool mapped;  // made with PixelBlock::Mapped
};

class PixelBlocks : public ::testing::TestWithParam<BlockCase> {};

TEST_P(PixelBlocks, StartZeroedAndCopyDeeply) {
  const BlockCase& c = GetParam();
  PixelBlock block = c.mapped ? PixelBlock::Mapped(c.size) : PixelBlock(c.size);
  ASSERT_EQ(block.size(), c.size);
  EXPECT_TRUE(AllZero(block));
  if (c.size == 0) return;
  Fill(block, 3);
  // The first and the last byte are the block's own.
  EXPECT_EQ(block.data()[0], 3);
  EXPECT_EQ(block.data()[c.size - 1], uint8_t((c.size - 1) * 31 + 3));

  PixelBlock copy(block);
  EXPECT_NE(copy.data(), block.data());
  EXPECT_TRUE(copy == block);
  copy.data()[c.size / 2] ^= 1;
  EXPECT_FALSE(copy == block);

  // Assigned over a block of the same size and over one of another size.
  PixelBlock same(c.size), other(c.size / 2 + 1);
  same = block;
  other = block;
  EXPECT_TRUE(same == block);
  EXPECT_TRUE(other == block);
  EXPECT_EQ(other.size(), c.size);

  PixelBlock moved(std::move(block));
  EXPECT_EQ(block.size(), 0u);
  EXPECT_EQ(block.data(), nullptr);
  EXPECT_TRUE(moved == same);
  block = std::move(moved);
  EXPECT_TRUE(block == same);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PixelBlocks,
    ::testing::Values(BlockCase{"Empty", 0, false}, BlockCase{"OneByte", 1, false},
                      BlockCase{"BelowAPage", 4095, false},
                      BlockCase{"JustBelowLarge", PixelBlock::kMappedFrom - 1, false},
                      BlockCase{"Large", PixelBlock::kMappedFrom, false},
                      BlockCase{"LargeEndingInAPage", PixelBlock::kMappedFrom + 12345, false},
                      BlockCase{"MappedEmpty", 0, true}, BlockCase{"MappedOneByte", 1, true},
                      BlockCase{"MappedHugePagesAndAPiece", 3 * 2 * kMB + 1, true}),
    [](const ::testing::TestParamInfo<BlockCase>& info) { return std::string(info.param.name); });

TEST(PixelBlockMapping, StartsOnATwoMegabyteBoundaryAndGoesBackWhenFreed) {
  const size_t size = 5 * kMB + 7;
  const uint8_t* at = nullptr;
  {
    PixelBlock block = PixelBlock::Mapped(size);
    if (!block.mapped()) GTEST_SKIP() << "the system gives no huge-page mappings";
    at = block.data();
    EXPECT_EQ(reinterpret_cast<uintptr_t>(at) % (2 * kMB), 0u);
    Fill(block, 9);
    EXPECT_FALSE(Unmapped(at, size));
  }
  EXPECT_TRUE(Unmapped(at, size));
}

TEST(PixelBlockMapping, AReplacedBlockGoesBackToo) {
  PixelBlock block = PixelBlock::Mapped(4 * kMB);
  if (!block.mapped()) GTEST_SKIP() << "the system gives no huge-page mappings";
  const uint8_t* first = block.data();
  Fill(block, 1);
  block = PixelBlock::Mapped(6 * kMB);
  EXPECT_TRUE(Unmapped(first, 4 * kMB));
  block = PixelBlock();
  EXPECT_EQ(block.size(), 0u);
}

// Builds that count the heap (the address sanitizer's) see every bitmap's pixels there, so
// that the tests holding readers to a memory ceiling measure pictures too; other builds map
// large pictures.
TEST(PixelBlockMapping, LargeBitmapsAreMappedUnlessTheBuildCountsTheHeap) {
  int64_t pixels = 0;
  const int64_t growth = testing::PeakHeapGrowth([&] {
    const Bitmap b(3000, 2000, PixelFormat::pf24bit);
    pixels = int64_t(b.byteSize());
  });
  const PixelBlock large(PixelBlock::kMappedFrom);
  if (testing::CanMeasureHeap()) {
    EXPECT_GE(growth, pixels);
    EXPECT_FALSE(large.mapped());
  } else if (PixelBlock::Mapped(PixelBlock::kMappedFrom).mapped()) {
    EXPECT_TRUE(large.mapped());
  }
  EXPECT_FALSE(PixelBlock(PixelBlock::kMappedFrom - 1).mapped());
}

TEST(BitmapPixels, CopiesOfLargeBitmapsAreDeepAndEqual) {
  Bitmap a(2500, 1000, PixelFormat::pf32bit);
  for (int y = 0; y < a.height(); y += 97) a.scanLine(y)[y % a.stride()] = uint8_t(y | 1);
  Bitmap b = a;
  EXPECT_TRUE(a == b);
  EXPECT_NE(a.bits(), b.bits());
  b.scanLine(a.height() - 1)[a.stride() - 1] = 0x80;
  EXPECT_FALSE(a == b);
  // Resizing gives a fresh, zeroed picture.
  b.setSize(2600, 1000);
  PixelBlock zero(b.byteSize());
  EXPECT_EQ(std::memcmp(b.bits(), zero.data(), b.byteSize()), 0);
}

}  // namespace
}  // namespace vandrel
