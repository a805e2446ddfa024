// The GIF string table: its template, and a Find that answers as the linear scan of the
// entries from the first free index to count - 1 does.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "codecs/gif/GifLzwTable.h"

using vandrel::gif::TLZWTable;

namespace {

int ScanFind(const TLZWTable& t, int prefix, int byte) {
  if (prefix == 0) return byte + 1;
  for (int i = t.firstFree(); i < t.count(); ++i) {
    const auto* e = t.Get(i);
    if (e->prefix == prefix && e->byte == byte) return i;
  }
  return -1;
}

}  // namespace

TEST(GifLzwTable, StartsFromTheTemplate) {
  auto t = std::make_unique<TLZWTable>();
  EXPECT_EQ(t->count(), 0);
  EXPECT_EQ(t->Get(0), nullptr);
  t->Clear(258);
  EXPECT_EQ(t->count(), 259);
  EXPECT_EQ(t->firstFree(), 258);
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(t->Get(c + 1)->prefix, 0);
    EXPECT_EQ(t->Get(c + 1)->byte, c);
    EXPECT_EQ(t->Find(0, c), c + 1);
  }
  EXPECT_EQ(t->Get(259), nullptr);
  t->Add(5, 9);
  EXPECT_EQ(t->Get(259)->prefix, 5);
  EXPECT_EQ(t->Find(5, 9), 259);
  EXPECT_EQ(t->Find(5, 8), -1);
}

TEST(GifLzwTable, FindAnswersAsTheLinearScan) {
  std::mt19937 random(5);
  auto t = std::make_unique<TLZWTable>();
  for (int round = 0; round < 40; ++round) {
    const int firstFree = std::vector<int>{4, 6, 10, 258, 2050}[size_t(round) % 5];
    t->Clear(firstFree);
    // Few distinct pairs, so that duplicates occur and the first index must win.
    const int adds = int(random() % unsigned(TLZWTable::kEntries - firstFree));
    for (int i = 0; i < adds; ++i) t->Add(1 + int(random() % 40), int(random() % 8));
    for (int q = 0; q < 400; ++q) {
      const int prefix = int(random() % 42), byte = int(random() % 9);
      ASSERT_EQ(t->Find(prefix, byte), ScanFind(*t, prefix, byte))
          << "round " << round << " prefix " << prefix << " byte " << byte;
    }
  }
  // A full table takes no more entries.
  t->Clear(258);
  for (int i = 0; i < 5000; ++i) t->Add(1000 + i % 3000, i % 256);
  EXPECT_EQ(t->count(), TLZWTable::kEntries);
}
