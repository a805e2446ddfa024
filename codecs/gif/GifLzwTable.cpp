#include "codecs/gif/GifLzwTable.h"

namespace vandrel::gif {

namespace {

// The table every new string table starts from.
const std::array<TLZWEntry, TLZWTable::kEntries>& Template() {
  static const auto table = [] {
    std::array<TLZWEntry, TLZWTable::kEntries> t{};
    for (int c = 0; c < 256; ++c) t[c + 1] = {0, uint8_t(c)};
    return t;
  }();
  return table;
}

}  // namespace

TLZWTable::TLZWTable() : entries_(Template()) {}

void TLZWTable::Clear(int firstFree) {
  if (firstFree < 0 || firstFree >= kEntries) return;
  firstFree_ = firstFree;
  count_ = firstFree + 1;
  entries_[firstFree] = {};
  index_.fill(0);
}

void TLZWTable::Add(int prefix, int byte) {
  if (count_ >= kEntries) return;
  prefix &= 0xFFFF;
  byte &= 0xFF;
  const int at = count_++;
  entries_[at] = {uint16_t(prefix), uint8_t(byte)};
  if (prefix == 0) return;
  // Keep the first index of a pair, as the scan would find it.
  for (unsigned s = Slot(prefix, byte);; s = (s + 1) & (kHashSize - 1)) {
    const int i = index_[s] - 1;
    if (i < 0) {
      index_[s] = uint16_t(at + 1);
      return;
    }
    if (entries_[i].prefix == prefix && entries_[i].byte == byte) return;
  }
}

const TLZWEntry* TLZWTable::Get(int i) const {
  return i >= 0 && i < count_ ? &entries_[i] : nullptr;
}

int TLZWTable::Find(int prefix, int byte) const {
  prefix &= 0xFFFF;
  byte &= 0xFF;
  if (prefix == 0) return byte + 1;
  for (unsigned s = Slot(prefix, byte);; s = (s + 1) & (kHashSize - 1)) {
    const int i = index_[s] - 1;
    if (i < 0) return -1;
    if (entries_[i].prefix == prefix && entries_[i].byte == byte) return i;
  }
}

}  // namespace vandrel::gif
