#pragma once
// The string table of the LZW writers (TIFF and GIF). Entries are addressed by internal
// code = LZW code + 1, so that 0 is the empty prefix: a single byte b is internal code b + 1
// with prefix 0. Beside each entry's prefix and suffix the table keeps the length of its string,
// which may not grow past the longest string a reader holds.
#include <array>
#include <cstdint>
#include <vector>

namespace vandrel {

class TLZWTable {
 public:
  static constexpr int kSize = 4098;
  // Longest string an entry may hold.
  static constexpr int kMaxLength = 4096;

  // A copy of the template: entry 0 empty, entries 1..256 the single bytes, entry 257
  // empty, count 0. `searchable` keeps an index for Find (the writer's lookups).
  explicit TLZWTable(bool searchable = false);

  // First free := firstFree, count := firstFree + 1, entry[firstFree] := (0, 0).
  void Clear(int firstFree);
  // entry[count] := (prefix, suffix), count + 1. Refused (false) when the table is full,
  // when the prefix lies outside the table or when the string would grow too long.
  bool Add(int prefix, uint8_t suffix) {
    if (!AddEntry(prefix, suffix)) return false;
    if (searchable_) Index(prefix, suffix, count_ - 1);
    return true;
  }
  // Prefix and suffix of an internal code; false (absent) when code >= count.
  bool Get(int code, int& prefix, uint8_t& suffix) const {
    if (code < 0 || code >= count_) return false;
    prefix = entries_[code].prefix;
    suffix = entries_[code].suffix;
    return true;
  }
  // byte + 1 when prefix is 0; else the lowest internal code from the first free code to
  // count - 1 whose entry is (prefix, byte); -1 when there is none. With the index this is
  // one hash probe instead of a scan of the entries.
  int Find(int prefix, uint8_t byte) const {
    if (prefix == 0) return byte + 1;
    if (!searchable_) return FindByScan(prefix, byte);
    const uint32_t key = (uint32_t(prefix) << 8) | byte;
    for (uint32_t i = Hash(key);; i = (i + 1) & (kSlots - 1)) {
      const uint32_t k = keys_[i];
      // The index holds only entries added since the last Clear, all below count.
      if (k == key) return codes_[i];
      if (k == 0) return -1;
    }
  }

  // Find, and on a miss Add (prefix, byte) at once: the code found, or -1 when the entry
  // was added (or could not be). One probe of the index serves both.
  int FindOrAdd(int prefix, uint8_t byte) {
    if (prefix == 0) return byte + 1;
    if (!searchable_) {
      const int found = FindByScan(prefix, byte);
      if (found < 0) Add(prefix, byte);
      return found;
    }
    const uint32_t key = (uint32_t(prefix) << 8) | byte;
    uint32_t i = Hash(key);
    for (;; i = (i + 1) & (kSlots - 1)) {
      const uint32_t k = keys_[i];
      if (k == key) return codes_[i];
      if (k == 0) break;
    }
    if (AddEntry(prefix, byte)) {
      keys_[i] = key;
      codes_[i] = uint16_t(count_ - 1);
    }
    return -1;
  }

  int count() const { return count_; }
  int firstFree() const { return firstFree_; }

  // One entry: prefix and suffix, and the length of its string.
  struct Entry {
    uint16_t prefix;
    uint16_t length;
    uint8_t suffix;
  };

 private:
  int FindByScan(int prefix, uint8_t byte) const;
  bool AddEntry(int prefix, uint8_t suffix) {
    if (count_ >= kSize || prefix < 0 || prefix >= kSize) return false;
    const Entry& from = entries_[prefix];
    const int length = prefix == 0 ? 1 : from.length + 1;
    if (length > kMaxLength) return false;
    entries_[count_] = Entry{uint16_t(prefix), uint16_t(length), suffix};
    ++count_;
    return true;
  }
  // Multiplicative hashing: the keys of one image's strings crowd into few neighbouring
  // values, and the top bits of the product spread them over the slots.
  static uint32_t Hash(uint32_t key) { return (key * 2654435761u) >> (32 - kSlotBits); }
  void Index(int prefix, uint8_t suffix, int code) {
    const uint32_t key = (uint32_t(prefix) << 8) | suffix;
    for (uint32_t i = Hash(key);; i = (i + 1) & (kSlots - 1)) {
      if (keys_[i] == 0) {
        keys_[i] = key;
        codes_[i] = uint16_t(code);
        return;
      }
      if (keys_[i] == key) return;  // an earlier (lower) code already answers this key
    }
  }

  std::array<Entry, kSize> entries_;
  int count_ = 0;
  int firstFree_ = 0;

  // Open-addressed index on (prefix, suffix) for Find: the key prefix * 256 + suffix (never
  // 0, since a prefix is at least 1) and the code it leads to. Clear empties it.
  static constexpr int kSlotBits = 13;
  static constexpr uint32_t kSlots = 1u << kSlotBits;  // twice the entries: short probe chains
  bool searchable_ = false;
  std::vector<uint32_t> keys_;
  std::vector<uint16_t> codes_;
};

}  // namespace vandrel
