#pragma once
// libtiff over bytes in memory, so that benchmarks time decoding and not the file system:
// files written into a growing buffer and read back from one.
#include <tiffio.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace benchtiff {

struct MemoryFile {
  std::vector<uint8_t> bytes;
  uint64_t position = 0;
};

inline tmsize_t MemRead(thandle_t h, void* buffer, tmsize_t size) {
  auto* f = static_cast<MemoryFile*>(h);
  const uint64_t n = f->position < f->bytes.size()
                         ? std::min<uint64_t>(uint64_t(size), f->bytes.size() - f->position)
                         : 0;
  std::memcpy(buffer, f->bytes.data() + f->position, n);
  f->position += n;
  return tmsize_t(n);
}
inline tmsize_t MemWrite(thandle_t h, void* buffer, tmsize_t size) {
  auto* f = static_cast<MemoryFile*>(h);
  if (f->position + uint64_t(size) > f->bytes.size()) f->bytes.resize(f->position + uint64_t(size));
  std::memcpy(f->bytes.data() + f->position, buffer, size_t(size));
  f->position += uint64_t(size);
  return size;
}
inline toff_t MemSeek(thandle_t h, toff_t offset, int whence) {
  auto* f = static_cast<MemoryFile*>(h);
  if (whence == SEEK_SET) f->position = offset;
  if (whence == SEEK_CUR) f->position += offset;
  if (whence == SEEK_END) f->position = f->bytes.size() + offset;
  return f->position;
}
inline int MemClose(thandle_t) { return 0; }
inline toff_t MemSize(thandle_t h) { return static_cast<MemoryFile*>(h)->bytes.size(); }
inline int MemMap(thandle_t h, void** base, toff_t* size) {
  auto* f = static_cast<MemoryFile*>(h);
  *base = f->bytes.data();
  *size = f->bytes.size();
  return 1;
}
inline void MemUnmap(thandle_t, void*, toff_t) {}

// mode "r" or "w" (with libtiff's modifiers).
inline TIFF* OpenMemory(MemoryFile& file, const char* mode) {
  file.position = 0;
  return TIFFClientOpen("memory", mode, &file, MemRead, MemWrite, MemSeek, MemClose, MemSize,
                        MemMap, MemUnmap);
}

}  // namespace benchtiff
