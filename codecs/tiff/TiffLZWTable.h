#pragma once
// The TIFF LZW string table, shared by the reader and the writer. Entries are addressed by
// internal code = LZW code + 1, so that 0 is the empty prefix: a single byte b is internal
// code b + 1 with prefix 0. Beside each entry's prefix and suffix the table keeps the first
// byte and the length of its string, so that a decoder writes a string in one backward walk.
#include <array>
#include <cstdint>
#include <vector>

namespace vandrel {

class TLZWTable {
 public:
  static constexpr int kSize = 4098;
  // Longest string an entry may hold: the decoder's string buffer.
  static constexpr int kMaxLength = 4096;

  // A copy of the template: entry 0 empty, entries 1..256 the single bytes, entry 257
  // empty, count 0. `searchable` keeps an index for Find (the writer's lookups).
  explicit TLZWTable(bool searchable = false);

  // First free := firstFree, count := firstFree + 1, entry[firstFree] := (0, 0).
  void Clear(int firstFree);
  // entry[count] := (prefix, suffix), count + 1. Refused (false) when the table is full,
  // when the prefix lies outside the table or when the string would grow too long.
  bool Add(int prefix, uint8_t suffix) {
    if (count_ >= kSize || prefix < 0 || prefix >= kSize) return false;
    const Entry& from = entries_[prefix];
    const int length = prefix == 0 ? 1 : from.length + 1;
    if (length > kMaxLength) return false;
    entries_[count_] =
        Entry{uint16_t(prefix), uint16_t(length), suffix, prefix == 0 ? suffix : from.first};
    if (searchable_) Index(prefix, suffix, count_);
    ++count_;
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
  // count - 1 whose entry is (prefix, byte); -1 when there is none.
  int Find(int prefix, uint8_t byte) const;

  int count() const { return count_; }
  int firstFree() const { return firstFree_; }

  // One entry: prefix and suffix, and the length and first byte of its string.
  struct Entry {
    uint16_t prefix;
    uint16_t length;
    uint8_t suffix;
    uint8_t first;
  };
  // Raw entry access for the decoder's inner loop (code < kSize).
  const Entry& entry(int code) const { return entries_[code]; }

 private:
  void Index(int prefix, uint8_t suffix, int code);

  std::array<Entry, kSize> entries_;
  int count_ = 0;
  int firstFree_ = 0;

  // Open-addressed index on (prefix, suffix) for Find. A slot belongs to the current
  // generation only; Clear starts a new generation instead of wiping the slots.
  struct Slot {
    uint32_t key;
    uint16_t code;
    uint16_t generation;
  };
  static constexpr uint32_t kSlots = 8192;  // twice the entries: short probe chains
  bool searchable_ = false;
  uint16_t generation_ = 1;
  std::vector<Slot> slots_;
};

}  // namespace vandrel
