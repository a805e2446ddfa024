// The row loops of the per-pixel operations, every version this processor runs, against
// straightforward loops on seeded random rows of every width from 0 to past two vector
// groups and at every start offset within a vector. Each row lies at the very end of its
// buffer with guard bytes after the output, so a loop that reads or writes past the bytes
// it is given shows up (the reads under AddressSanitizer, the writes in the guards).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "app/imaging/model/PixelRows.h"

namespace vandrel::testing {
namespace {

using pixels::AvailableKernels;
using pixels::Recolouring;
using pixels::RowKernels;

constexpr uint8_t kGuard = 0xA5;
constexpr size_t kGuards = 40;

std::vector<uint8_t> RandomBytes(std::mt19937& random, size_t n, unsigned mask = 0xFF) {
  std::vector<uint8_t> v(n);
  for (uint8_t& b : v) b = uint8_t(random() & mask);
  return v;
}

// A source row of n bytes at offset `skip` of a buffer that ends with it.
struct Row {
  std::vector<uint8_t> buffer;
  size_t skip;
  const uint8_t* data() const { return buffer.data() + skip; }
};
Row SourceRow(std::mt19937& random, size_t n, size_t skip, unsigned mask = 0xFF) {
  Row r{RandomBytes(random, skip + n, mask), skip};
  return r;
}

// An output of n bytes at offset `skip`, followed by guard bytes.
struct Out {
  std::vector<uint8_t> buffer;
  size_t skip, n;
  explicit Out(size_t skip_, size_t n_)
      : buffer(skip_ + n_ + kGuards, kGuard), skip(skip_), n(n_) {}
  uint8_t* data() { return buffer.data() + skip; }
  std::vector<uint8_t> bytes() const {
    return {buffer.begin() + std::ptrdiff_t(skip), buffer.begin() + std::ptrdiff_t(skip + n)};
  }
  bool guardsIntact() const {
    return std::all_of(buffer.begin(), buffer.begin() + std::ptrdiff_t(skip),
                       [](uint8_t b) { return b == kGuard; }) &&
           std::all_of(buffer.end() - kGuards, buffer.end(), [](uint8_t b) { return b == kGuard; });
  }
};

// Widths: all up to 100, then some around larger multiples of the vector groups.
std::vector<size_t> Widths() {
  std::vector<size_t> w;
  for (size_t n = 0; n <= 100; ++n) w.push_back(n);
  for (size_t n : {127u, 128u, 129u, 255u, 256u, 257u, 1000u, 4097u}) w.push_back(n);
  return w;
}

class Kernels : public ::testing::TestWithParam<const RowKernels*> {};

TEST_P(Kernels, GreyIsTheRoundedMeanOfTheThreeBytes) {
  const RowKernels& k = *GetParam();
  std::mt19937 random(21);
  for (size_t w : Widths())
    for (size_t skip : {0u, 1u, 7u}) {
      SCOPED_TRACE(::testing::Message() << "width " << w << " skip " << skip);
      const Row src = SourceRow(random, 3 * w, skip);
      Out out(skip, w);
      k.grey(src.data(), out.data(), w);
      std::vector<uint8_t> want(w);
      for (size_t x = 0; x < w; ++x) {
        const unsigned s = src.data()[3 * x] + src.data()[3 * x + 1] + src.data()[3 * x + 2];
        want[x] = uint8_t((s + 1) / 3);
      }
      EXPECT_EQ(out.bytes(), want);
      EXPECT_TRUE(out.guardsIntact());
    }
}

TEST_P(Kernels, GreyOfEverySumOfThreeBytes) {
  // Sums 0 to 765, each as many ways as fit: (b, g, r) with b + g + r = s.
  const RowKernels& k = *GetParam();
  std::vector<uint8_t> bgr;
  std::vector<unsigned> sums;
  for (unsigned s = 0; s <= 765; ++s)
    for (unsigned b : {0u, 85u, 255u}) {
      if (b > s || s - b > 510) continue;
      const unsigned g = std::min(255u, s - b), r = s - b - g;
      bgr.insert(bgr.end(), {uint8_t(b), uint8_t(g), uint8_t(r)});
      sums.push_back(s);
    }
  std::vector<uint8_t> grey(sums.size());
  k.grey(bgr.data(), grey.data(), sums.size());
  for (size_t i = 0; i < sums.size(); ++i) {
    // Round(s / 3): a third is never halfway, so the nearest integer is unique.
    const unsigned nearest = (2 * sums[i] + 3) / 6;
    ASSERT_EQ(grey[i], nearest) << "sum " << sums[i];
  }
  EXPECT_EQ(grey.front(), 0);
  EXPECT_EQ(grey.back(), 255);
}

TEST_P(Kernels, ChannelTakesOneByteOfEachPixel) {
  const RowKernels& k = *GetParam();
  std::mt19937 random(22);
  for (size_t byte = 0; byte < 3; ++byte)
    for (size_t w : Widths()) {
      SCOPED_TRACE(::testing::Message() << "byte " << byte << " width " << w);
      const Row src = SourceRow(random, 3 * w, w % 5);
      Out out(1, w);
      k.channel(src.data(), byte, out.data(), w);
      std::vector<uint8_t> want(w);
      for (size_t x = 0; x < w; ++x) want[x] = src.data()[3 * x + byte];
      EXPECT_EQ(out.bytes(), want);
      EXPECT_TRUE(out.guardsIntact());
    }
}

TEST_P(Kernels, AddStaysInsideTheByteRangeForEveryOffset) {
  const RowKernels& k = *GetParam();
  std::mt19937 random(23);
  for (int offset : {0, 1, 2, 127, 128, 254, 255, 256, 1000, -1, -128, -255, -256, -9999})
    for (size_t w : Widths()) {
      SCOPED_TRACE(::testing::Message() << "offset " << offset << " width " << w);
      const Row src = SourceRow(random, w, w % 3);
      Out out(w % 4, w);
      k.add(src.data(), out.data(), w, offset);
      std::vector<uint8_t> want(w);
      for (size_t x = 0; x < w; ++x) want[x] = uint8_t(std::clamp(src.data()[x] + offset, 0, 255));
      EXPECT_EQ(out.bytes(), want);
      EXPECT_TRUE(out.guardsIntact());
      // In place.
      std::vector<uint8_t> row(src.data(), src.data() + w);
      k.add(row.data(), row.data(), w, offset);
      EXPECT_EQ(row, want);
    }
}

TEST_P(Kernels, TableMapsEveryByte) {
  const RowKernels& k = *GetParam();
  std::mt19937 random(24);
  for (int rodada = 0; rodada < 4; ++rodada) {
    const std::vector<uint8_t> table = RandomBytes(random, 256);
    for (size_t w : Widths()) {
      SCOPED_TRACE(::testing::Message() << "round " << rodada << " width " << w);
      const Row src = SourceRow(random, w, w % 7);
      Out out(0, w);
      k.table(src.data(), out.data(), w, table.data());
      std::vector<uint8_t> want(w);
      for (size_t x = 0; x < w; ++x) want[x] = table[src.data()[x]];
      EXPECT_EQ(out.bytes(), want);
      EXPECT_TRUE(out.guardsIntact());
      std::vector<uint8_t> row(src.data(), src.data() + w);
      k.table(row.data(), row.data(), w, table.data());
      EXPECT_EQ(row, want);
    }
  }
  // Every level once, through a table that tells all rows and columns apart.
  std::vector<uint8_t> all(256), table(256), out(256);
  for (size_t i = 0; i < 256; ++i) {
    all[i] = uint8_t(i);
    table[i] = uint8_t(255 - ((i * 7) & 0xFF));
  }
  k.table(all.data(), out.data(), 256, table.data());
  EXPECT_EQ(out, table);
}

TEST_P(Kernels, ExpandWritesTheLowThreeBytesOfEachColour) {
  const RowKernels& k = *GetParam();
  std::mt19937 random(25);
  std::vector<uint32_t> colours(256);
  for (uint32_t& c : colours) c = uint32_t(random());  // the top byte must not show
  for (size_t w : Widths()) {
    SCOPED_TRACE(::testing::Message() << "width " << w);
    const Row src = SourceRow(random, w, w % 2);
    Out out(2, 3 * w);
    k.expand(src.data(), out.data(), w, colours.data());
    std::vector<uint8_t> want(3 * w);
    for (size_t x = 0; x < w; ++x)
      for (size_t b = 0; b < 3; ++b) want[3 * x + b] = uint8_t(colours[src.data()[x]] >> (8 * b));
    EXPECT_EQ(out.bytes(), want);
    EXPECT_TRUE(out.guardsIntact());
  }
}

TEST_P(Kernels, RecolourByFewKeysOrByTheBitSet) {
  const RowKernels& k = *GetParam();
  std::mt19937 random(26);
  std::vector<uint64_t> bits(size_t(1) << 18);
  for (int rodada = 0; rodada < 24; ++rodada) {
    // Pixels of few colours (bytes from a small set), so that marked ones are common.
    const unsigned mask = rodada % 3 == 0 ? 0x03 : 0xC1;
    std::fill(bits.begin(), bits.end(), 0);
    std::vector<uint32_t> few;
    const size_t nKeys = size_t(rodada) % (Recolouring::kFewKeys + 1);
    for (size_t i = 0; i < nKeys; ++i) {
      const uint32_t key = uint32_t(random()) & (mask * 0x010101u);
      if (std::find(few.begin(), few.end(), key) != few.end()) continue;
      few.push_back(key);
      bits[key >> 6] |= uint64_t(1) << (key & 63);
    }
    Recolouring r;
    r.bits = bits.data();
    if (rodada % 2) {  // the same set, listed
      r.few = few.data();
      r.fewCount = few.size();
    }
    r.keep = rodada % 4 < 2;
    r.colour = 0xFF123456u;  // the top byte must not show
    r.background = 0x00ABCDEFu;
    for (size_t w : Widths()) {
      SCOPED_TRACE(::testing::Message() << "round " << rodada << " width " << w);
      const Row src = SourceRow(random, 3 * w, w % 3, mask);
      Out out(1, 3 * w);
      k.recolour(src.data(), out.data(), w, r);
      std::vector<uint8_t> want(3 * w);
      for (size_t x = 0; x < w; ++x) {
        const uint8_t* p = src.data() + 3 * x;
        const uint32_t key = p[0] | (p[1] << 8) | (p[2] << 16);
        const bool marked = std::find(few.begin(), few.end(), key) != few.end();
        const uint32_t v = marked ? (r.keep ? key : r.colour) : r.background;
        for (size_t b = 0; b < 3; ++b) want[3 * x + b] = uint8_t(v >> (8 * b));
      }
      EXPECT_EQ(out.bytes(), want);
      EXPECT_TRUE(out.guardsIntact());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Available, Kernels, ::testing::ValuesIn(AvailableKernels()),
                         [](const auto& info) { return std::string(info.param->name); });

TEST(KernelsChosen, TheChosenSetIsOneThisProcessorRuns) {
  const std::vector<const RowKernels*> all = AvailableKernels();
  ASSERT_FALSE(all.empty());
  EXPECT_STREQ(all.front()->name, "plain");
  EXPECT_NE(std::find(all.begin(), all.end(), &pixels::Kernels()), all.end());
}

}  // namespace
}  // namespace vandrel::testing
