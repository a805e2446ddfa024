#include "codecs/tiff/TiffLZWTable.h"

#include <algorithm>

namespace vandrel {

namespace {

// The table every new TLZWTable copies: entry 0 = (0, 0), entries 1..256 the single bytes
// 0..255 without prefix, entry 257 = (0, 0). Filled once at start.
struct Template {
  std::array<TLZWTable::Entry, TLZWTable::kSize> entries{};
  Template() {
    for (int b = 0; b < 256; ++b) entries[b + 1] = {0, 1, uint8_t(b), uint8_t(b)};
  }
};
const Template kTemplate;

uint32_t HashKey(uint32_t key) { return (key * 2654435761u) >> 19; }  // 13 bits: kSlots

}  // namespace

TLZWTable::TLZWTable(bool searchable) : searchable_(searchable) {
  entries_ = kTemplate.entries;
  if (searchable_) slots_.assign(kSlots, Slot{0, 0, 0});
}

void TLZWTable::Clear(int firstFree) {
  firstFree = std::clamp(firstFree, 0, kSize - 1);
  firstFree_ = firstFree;
  count_ = firstFree + 1;
  entries_[firstFree] = Entry{0, 0, 0, 0};
  if (searchable_ && ++generation_ == 0) {
    // The generation counter wrapped: wipe the slots once and start over.
    std::fill(slots_.begin(), slots_.end(), Slot{0, 0, 0});
    generation_ = 1;
  }
}

void TLZWTable::Index(int prefix, uint8_t suffix, int code) {
  const uint32_t key = (uint32_t(prefix) << 8) | suffix;
  for (uint32_t i = HashKey(key);; i = (i + 1) & (kSlots - 1)) {
    Slot& slot = slots_[i];
    if (slot.generation != generation_) {
      slot = Slot{key, uint16_t(code), generation_};
      return;
    }
    if (slot.key == key) return;  // an earlier (lower) code already answers this key
  }
}

int TLZWTable::Find(int prefix, uint8_t byte) const {
  if (prefix == 0) return byte + 1;
  if (searchable_) {
    const uint32_t key = (uint32_t(prefix) << 8) | byte;
    for (uint32_t i = HashKey(key);; i = (i + 1) & (kSlots - 1)) {
      const Slot& slot = slots_[i];
      if (slot.generation != generation_) return -1;
      if (slot.key == key) return slot.code >= firstFree_ && slot.code < count_ ? slot.code : -1;
    }
  }
  for (int code = firstFree_; code < count_; ++code)
    if (entries_[code].prefix == prefix && entries_[code].suffix == byte) return code;
  return -1;
}

}  // namespace vandrel
