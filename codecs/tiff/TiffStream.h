#pragma once
// A read-only stream over bytes held in memory: a position that may stand anywhere (also
// past the end, as a file position may) and reads that copy only what the bytes hold. It
// counts the bytes it hands out, copied or in place, which is the work a file makes the
// reader do.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace vandrel {

class TiffStream {
 public:
  TiffStream() = default;
  explicit TiffStream(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  uint64_t size() const { return bytes_.size(); }
  uint64_t position() const { return position_; }
  void setPosition(uint64_t position) { position_ = position; }
  void skip(uint64_t count) { position_ += count; }

  // Bytes available from the position on (0 past the end).
  uint64_t available() const { return position_ < size() ? size() - position_ : 0; }

  // Copies up to `count` bytes and advances by the bytes copied; returns that number.
  size_t read(void* buffer, size_t count) {
    const size_t n = size_t(std::min<uint64_t>(count, available()));
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    handedOut_ += n;
    return n;
  }

  // Up to `count` bytes from the position on, in place, without moving.
  std::span<const uint8_t> peek(uint64_t count) const {
    const size_t n = size_t(std::min<uint64_t>(count, available()));
    handedOut_ += n;
    return n > 0 ? bytes_.subspan(size_t(position_), n) : std::span<const uint8_t>();
  }

  // Bytes read or peeked at so far.
  uint64_t bytesHandedOut() const { return handedOut_; }

 private:
  std::span<const uint8_t> bytes_;
  uint64_t position_ = 0;
  mutable uint64_t handedOut_ = 0;
};

}  // namespace vandrel
