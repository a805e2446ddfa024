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

const TLZWEntry* TLZWTable::Get(int i) const {
  return i >= 0 && i < count_ ? &entries_[i] : nullptr;
}

}  // namespace vandrel::gif
