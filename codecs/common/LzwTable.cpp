#include "codecs/common/LzwTable.h"

#include <algorithm>

namespace vandrel {

namespace {

// The table every new TLZWTable copies: entry 0 = (0, 0), entries 1..256 the single bytes
// 0..255 without prefix, entry 257 = (0, 0). Filled once at start.
struct Template {
  std::array<TLZWTable::Entry, TLZWTable::kSize> entries{};
  Template() {
    for (int b = 0; b < 256; ++b) entries[b + 1] = {0, 1, uint8_t(b)};
  }
};
const Template kTemplate;

}  // namespace

TLZWTable::TLZWTable(bool searchable) : searchable_(searchable) {
  entries_ = kTemplate.entries;
  if (searchable_) {
    keys_.assign(kSlots, 0);
    codes_.assign(kSlots, 0);
  }
}

void TLZWTable::Clear(int firstFree) {
  firstFree = std::clamp(firstFree, 0, kSize - 1);
  firstFree_ = firstFree;
  count_ = firstFree + 1;
  entries_[firstFree] = Entry{0, 0, 0};
  if (searchable_) std::fill(keys_.begin(), keys_.end(), 0u);
}

int TLZWTable::FindByScan(int prefix, uint8_t byte) const {
  for (int code = firstFree_; code < count_; ++code)
    if (entries_[code].prefix == prefix && entries_[code].suffix == byte) return code;
  return -1;
}

}  // namespace vandrel
