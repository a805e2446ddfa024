#pragma once
// The GIF string table: one entry per code, a prefix and a byte, addressed by code + 1 so
// that prefix 0 means "no prefix". The GIF writer searches it for every pixel, so next to
// the entries it keeps a hash index on (prefix, byte) that gives the same answer as
// scanning the entries added since the last Clear, in constant time.
#include <array>
#include <cstddef>
#include <cstdint>

namespace vandrel::gif {

struct TLZWEntry {
  uint16_t prefix = 0;
  uint8_t byte = 0;
};

class TLZWTable {
 public:
  static constexpr int kEntries = 4098;  // codes 0..4096, addressed by code + 1

  // A copy of the template: entry c + 1 = (no prefix, byte c) for c = 0..255, entries 0
  // and 257 empty, count and first free index 0.
  TLZWTable();

  // Starts over with `firstFree` as the first free index: count = firstFree + 1 and entry
  // firstFree cleared.
  void Clear(int firstFree);
  // Stores (prefix, byte) at index count and counts it. A full table takes no more.
  void Add(int prefix, int byte) {
    if (count_ >= kEntries) return;
    prefix &= 0xFFFF;
    byte &= 0xFF;
    const int at = count_++;
    entries_[size_t(at)] = {uint16_t(prefix), uint8_t(byte)};
    if (prefix == 0) return;
    // Keep the first index of a pair, as the scan would find it.
    for (unsigned s = Slot(prefix, byte);; s = (s + 1) & (kHashSize - 1)) {
      const int i = index_[s] - 1;
      if (i < 0) {
        index_[s] = uint16_t(at + 1);
        return;
      }
      if (entries_[size_t(i)].prefix == prefix && entries_[size_t(i)].byte == byte) return;
    }
  }
  // Entry i, or nullptr when i is not below count.
  const TLZWEntry* Get(int i) const;
  // The index holding (prefix, byte): byte + 1 without a prefix, otherwise the first index
  // from the first free index to count - 1 that holds the pair; -1 when there is none.
  int Find(int prefix, int byte) const {
    prefix &= 0xFFFF;
    byte &= 0xFF;
    if (prefix == 0) return byte + 1;
    for (unsigned s = Slot(prefix, byte);; s = (s + 1) & (kHashSize - 1)) {
      const int i = index_[s] - 1;
      if (i < 0) return -1;
      if (entries_[size_t(i)].prefix == prefix && entries_[size_t(i)].byte == byte) return i;
    }
  }

  int count() const { return count_; }
  int firstFree() const { return firstFree_; }

 private:
  static constexpr int kHashBits = 13;  // 8192 slots for at most 4098 entries
  static constexpr int kHashSize = 1 << kHashBits;
  static unsigned Slot(int prefix, int byte) {
    const uint32_t key = uint32_t(prefix) << 8 | uint32_t(byte);
    return (key * 2654435761u) >> (32 - kHashBits);
  }

  std::array<TLZWEntry, kEntries> entries_;
  int count_ = 0;
  int firstFree_ = 0;
  // Index + 1 of the entry found for a slot's (prefix, byte), 0 for an empty slot. Only
  // entries added since the last Clear with a prefix are indexed: those are the ones the
  // scan of Find can reach.
  std::array<uint16_t, kHashSize> index_{};
};

}  // namespace vandrel::gif
