#pragma once
// Byte streams of the GIF reader and writer. The reader walks a file held in memory and
// never touches a byte outside it; the writer fills a byte buffer that the caller owns
// and saves.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vandrel::gif {

// Read side: a position over a buffer. The position may be moved past the end (a skip
// over a block that the file cuts short); reads there return nothing.
class GifReadStream {
 public:
  explicit GifReadStream(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  int64_t size() const { return int64_t(bytes_.size()); }
  int64_t position() const { return position_; }
  void setPosition(int64_t position) { position_ = position < 0 ? 0 : position; }
  void skip(int64_t count) { setPosition(position_ + count); }
  int64_t remaining() const { return position_ < size() ? size() - position_ : 0; }
  bool atEnd() const { return remaining() == 0; }

  // Copies up to `count` bytes and returns how many were there.
  size_t read(void* target, size_t count);
  // Reads exactly `count` bytes or raises EInvalidImage with the GIF read-error text.
  void readExact(void* target, size_t count);
  uint8_t readByte();
  uint16_t readWord();  // little-endian

  // The bytes from the position on (empty past the end).
  std::span<const uint8_t> rest() const {
    return atEnd() ? std::span<const uint8_t>() : bytes_.subspan(size_t(position_));
  }

 private:
  std::span<const uint8_t> bytes_;
  int64_t position_ = 0;
};

// Write side: writes at the position, overwriting what is there and growing the buffer
// at its end, so that the writer can step back onto a trailer and write over it.
class GifWriteStream {
 public:
  explicit GifWriteStream(std::vector<uint8_t>& bytes) : bytes_(bytes) {}

  size_t position() const { return position_; }
  void setPosition(size_t position) { position_ = position; }
  void write(const void* data, size_t count);
  void writeByte(uint8_t value) { write(&value, 1); }
  void writeWord(uint16_t value);  // little-endian

 private:
  std::vector<uint8_t>& bytes_;
  size_t position_ = 0;
};

}  // namespace vandrel::gif
