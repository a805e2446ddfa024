#pragma once
// A read-only stream over the bytes of a TIFF file: a position that may stand anywhere
// (also past the end, as a file position may) and reads that copy only what the bytes
// hold. The bytes are in memory, or come from a source (a file) read into a window of the
// stream's own: what the reader looks at is copied out of the file with pread, never
// mapped, so a file that is cut meanwhile gives a short read and the read error, not a
// signal. The window holds a megabyte, or the largest single piece asked for (a whole
// compressed strip). It counts the bytes it hands out, copied or in place, which is the
// work a file makes the reader do.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>

#include "codecs/common/ImageCommon.h"
#include "platform/Bitmap.h"
#include "platform/ByteSource.h"

namespace vandrel {

class TiffStream {
 public:
  TiffStream() = default;
  explicit TiffStream(std::span<const uint8_t> bytes) : bytes_(bytes), size_(bytes.size()) {}
  explicit TiffStream(ByteSource& source)
      : source_(source.inMemory().empty() && source.size() > 0 ? &source : nullptr),
        bytes_(source.inMemory()),
        size_(source.size()) {}

  uint64_t size() const { return size_; }
  uint64_t position() const { return position_; }
  void setPosition(uint64_t position) { position_ = position; }
  void skip(uint64_t count) { position_ += count; }

  // Bytes available from the position on (0 past the end).
  uint64_t available() const { return position_ < size() ? size() - position_ : 0; }

  // Copies up to `count` bytes and advances by the bytes copied; returns that number.
  size_t read(void* buffer, size_t count) {
    const std::span<const uint8_t> bytes = peek(count);
    if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
    position_ += bytes.size();
    return bytes.size();
  }

  // Up to `count` bytes from the position on, without moving: in place, or in the window
  // (valid until the next peek or read). A file that has become shorter than its size
  // raises the read error for the bytes it no longer holds.
  std::span<const uint8_t> peek(uint64_t count) const {
    const size_t n = size_t(std::min<uint64_t>(count, available()));
    handedOut_ += n;
    if (n == 0) return {};
    if (!source_) return bytes_.subspan(size_t(position_), n);
    if (position_ < windowStart_ || position_ + n > windowStart_ + windowLength_) fill(n);
    return std::span<const uint8_t>(window_.data() + (position_ - windowStart_), n);
  }

  // Bytes read or peeked at so far.
  uint64_t bytesHandedOut() const { return handedOut_; }
  // Bytes taken from the source into the window so far.
  uint64_t bytesRead() const { return bytesRead_; }

 private:
  static constexpr size_t kWindow = size_t(1) << 20;

  // Reads at least `n` bytes from the position on into the window. The window reads ahead
  // only while the stream has read less than twice the file: a file whose pieces lie
  // scattered (strips in reverse order, or far apart) cannot make it read a megabyte for
  // every few bytes the reader asks for.
  void fill(size_t n) const {
    const bool ahead = bytesRead_ < 2 * size_ + kWindow;
    const size_t want = size_t(std::min<uint64_t>(ahead ? std::max(n, kWindow) : n, available()));
    if (window_.size() < want) {
      window_ = ZeroedBytes();
      window_.resize(want);
    }
    windowStart_ = position_;
    windowLength_ = source_->readAt(position_, window_.data(), want);
    bytesRead_ += windowLength_;
    if (windowLength_ < n) {
      char text[128];
      std::snprintf(text, sizeof text,
                    "TIFF read error at %.8llXH (%d byte(s) expected, but %d read)",
                    static_cast<unsigned long long>(position_), int32_t(n), int32_t(windowLength_));
      throw EInvalidImage(text);
    }
  }

  ByteSource* source_ = nullptr;
  std::span<const uint8_t> bytes_;
  uint64_t size_ = 0;
  uint64_t position_ = 0;
  mutable uint64_t handedOut_ = 0;
  mutable ZeroedBytes window_;
  mutable uint64_t windowStart_ = 0;
  mutable size_t windowLength_ = 0;
  mutable uint64_t bytesRead_ = 0;
};

}  // namespace vandrel
