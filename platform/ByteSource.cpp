#include "platform/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace vandrel {

size_t ByteSource::readInto(uint64_t offset, std::span<const std::span<uint8_t>> pieces) {
  size_t done = 0;
  for (const std::span<uint8_t> piece : pieces) {
    const size_t n = readAt(offset + done, piece.data(), piece.size());
    done += n;
    if (n < piece.size()) break;
  }
  return done;
}

ZeroedBytes ByteSource::readAll(uint64_t limit) {
  ZeroedBytes bytes(size_t(std::min(size(), limit)));
  bytes.resize(readAt(0, bytes.data(), bytes.size()));
  return bytes;
}

size_t MemorySource::readAt(uint64_t offset, void* buffer, size_t count) {
  if (offset >= bytes_.size()) return 0;
  const size_t n = size_t(std::min<uint64_t>(count, bytes_.size() - offset));
  if (n > 0) std::memcpy(buffer, bytes_.data() + offset, n);
  return n;
}

size_t FileSource::clamp(uint64_t offset, size_t count) const {
  return offset >= file_.size ? 0 : size_t(std::min<uint64_t>(count, file_.size - offset));
}

size_t FileSource::readAt(uint64_t offset, void* buffer, size_t count) {
  const size_t n = clamp(offset, count);
  return n == 0 ? 0 : ReadFileAt(file_.fd.get(), offset, buffer, n);
}

size_t FileSource::readInto(uint64_t offset, std::span<const std::span<uint8_t>> pieces) {
  // The pieces are cut where the size ends, so that nothing beyond it is read.
  size_t wanted = 0;
  for (const std::span<uint8_t> piece : pieces) wanted += piece.size();
  const size_t allowed = clamp(offset, wanted);
  if (allowed == wanted) return ReadFileInto(file_.fd.get(), offset, pieces);
  std::vector<std::span<uint8_t>> cut;
  size_t left = allowed;
  for (const std::span<uint8_t> piece : pieces) {
    if (left == 0) break;
    const size_t n = std::min(left, piece.size());
    cut.push_back(piece.first(n));
    left -= n;
  }
  return ReadFileInto(file_.fd.get(), offset, cut);
}

}  // namespace vandrel
