#include "codecs/gif/GifStream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "codecs/common/ImageCommon.h"

namespace vandrel::gif {

size_t GifReadStream::read(void* target, size_t count) {
  const size_t n = std::min<size_t>(count, size_t(remaining()));
  if (n > 0) std::memcpy(target, bytes_.data() + position_, n);
  position_ += int64_t(n);
  return n;
}

void GifReadStream::readExact(void* target, size_t count) {
  const int64_t start = position_;
  const size_t n = read(target, count);
  if (n == count) return;
  // The position is printed as the runtime's "%.8x" does: upper-case digits, at least 8.
  char text[128];
  std::snprintf(text, sizeof text, "GIF read error at %.8llXH (%d byte(s) expected, but %d read)",
                static_cast<unsigned long long>(start), int(count), int(n));
  throw EInvalidImage(text);
}

uint8_t GifReadStream::readByte() {
  uint8_t b;
  readExact(&b, 1);
  return b;
}

uint16_t GifReadStream::readWord() {
  uint8_t b[2];
  readExact(b, 2);
  return uint16_t(b[0] | (b[1] << 8));
}

void GifWriteStream::write(const void* data, size_t count) {
  if (count == 0) return;
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  std::memcpy(bytes_.data() + position_, data, count);
  position_ += count;
}

void GifWriteStream::writeWord(uint16_t value) {
  const uint8_t b[2] = {uint8_t(value & 0xFF), uint8_t(value >> 8)};
  write(b, 2);
}

}  // namespace vandrel::gif
