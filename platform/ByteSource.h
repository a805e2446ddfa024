#pragma once
// Where a reader takes the bytes of a picture from: a buffer in memory, or a file read with
// pread into memory the reader owns. A file is never mapped: another program may cut it
// while it is read, and a mapping would then end the program with SIGBUS; a read just
// comes back short. The size is what the file held when it was opened; bytes a file gains
// later are not read, so that a file still being written cannot keep a reader going.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/RegularFile.h"

namespace vandrel {

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // The bytes the source holds.
  virtual uint64_t size() const = 0;
  // Copies up to `count` bytes from `offset` on; the bytes copied, fewer at the end (or
  // once a file has become shorter than its size).
  virtual size_t readAt(uint64_t offset, void* buffer, size_t count) = 0;
  // Fills consecutive pieces of memory from `offset` on; the bytes copied in all.
  virtual size_t readInto(uint64_t offset, std::span<const std::span<uint8_t>> pieces);
  // All the bytes in place, for a source held in memory; empty for a file.
  virtual std::span<const uint8_t> inMemory() const { return {}; }

  // The first `limit` bytes at most, in memory the caller owns (for a source in memory,
  // a copy).
  ZeroedBytes readAll(uint64_t limit);
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t size() const override { return bytes_.size(); }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override;
  std::span<const uint8_t> inMemory() const override { return bytes_; }

 private:
  std::span<const uint8_t> bytes_;
};

class FileSource final : public ByteSource {
 public:
  // Opens a regular file (OpenFileForReading's errors).
  explicit FileSource(const std::string& path) : file_(OpenFileForReading(path)) {}
  uint64_t size() const override { return file_.size; }
  size_t readAt(uint64_t offset, void* buffer, size_t count) override;
  size_t readInto(uint64_t offset, std::span<const std::span<uint8_t>> pieces) override;

 private:
  // Bytes from `offset` on that the size leaves to read, at most `count`.
  size_t clamp(uint64_t offset, size_t count) const;
  OpenedFile file_;
};

}  // namespace vandrel
