// The LZW string table as the GIF writer uses it: its template, and a Find that answers as
// the linear scan of the entries from the first free index to count - 1 does.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "codecs/common/LzwTable.h"

using vandrel::TLZWTable;

namespace {

int ScanFind(const TLZWTable& t, int prefix, int byte) {
  if (prefix == 0) return byte + 1;
  for (int i = t.firstFree(); i < t.count(); ++i) {
    int p = 0;
    uint8_t b = 0;
    if (t.Get(i, p, b) && p == prefix && b == byte) return i;
  }
  return -1;
}

}  // namespace

TEST(GifLzwTable, StartsFromTheTemplate) {
  auto t = std::make_unique<TLZWTable>(true);
  int prefix = -1;
  uint8_t byte = 0;
  EXPECT_EQ(t->count(), 0);
  EXPECT_FALSE(t->Get(0, prefix, byte));
  t->Clear(258);
  EXPECT_EQ(t->count(), 259);
  EXPECT_EQ(t->firstFree(), 258);
  for (int c = 0; c < 256; ++c) {
    ASSERT_TRUE(t->Get(c + 1, prefix, byte));
    EXPECT_EQ(prefix, 0);
    EXPECT_EQ(byte, c);
    EXPECT_EQ(t->Find(0, c), c + 1);
  }
  EXPECT_FALSE(t->Get(259, prefix, byte));
  t->Add(5, 9);
  ASSERT_TRUE(t->Get(259, prefix, byte));
  EXPECT_EQ(prefix, 5);
  EXPECT_EQ(t->Find(5, 9), 259);
  EXPECT_EQ(t->Find(5, 8), -1);
}

TEST(GifLzwTable, FindAnswersAsTheLinearScan) {
  std::mt19937 random(5);
  auto t = std::make_unique<TLZWTable>(true);
  for (int round = 0; round < 40; ++round) {
    const int firstFree = std::vector<int>{4, 6, 10, 258, 2050}[size_t(round) % 5];
    t->Clear(firstFree);
    // Few distinct pairs, so that duplicates occur and the first index must win.
    const int adds = int(random() % unsigned(TLZWTable::kSize - firstFree));
    for (int i = 0; i < adds; ++i) t->Add(1 + int(random() % 40), uint8_t(random() % 8));
    for (int q = 0; q < 400; ++q) {
      const int prefix = int(random() % 42), byte = int(random() % 9);
      ASSERT_EQ(t->Find(prefix, uint8_t(byte)), ScanFind(*t, prefix, byte))
          << "round " << round << " prefix " << prefix << " byte " << byte;
    }
  }
  // A full table takes no more entries.
  t->Clear(258);
  for (int i = 0; i < 5000; ++i) t->Add(1000 + i % 3000, uint8_t(i % 256));
  EXPECT_EQ(t->count(), TLZWTable::kSize);
}

// The writer's one-probe FindOrAdd answers as Find followed, on a miss, by Add.
TEST(GifLzwTable, FindOrAddAnswersAsFindThenAdd) {
  std::mt19937 random(11);
  auto one = std::make_unique<TLZWTable>(true), two = std::make_unique<TLZWTable>(true);
  for (int round = 0; round < 20; ++round) {
    one->Clear(258);
    two->Clear(258);
    for (int i = 0; i < 6000; ++i) {
      const int prefix = 1 + int(random() % unsigned(std::min(one->count(), 300)));
      const uint8_t byte = uint8_t(random() % 4);
      const int found = one->Find(prefix, byte);
      if (found < 0) one->Add(prefix, byte);
      ASSERT_EQ(two->FindOrAdd(prefix, byte), found) << "round " << round << " step " << i;
      ASSERT_EQ(two->count(), one->count());
    }
  }
}
