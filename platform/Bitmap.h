#pragma once
// The image bitmap: width, height, pixel format, palette and pixel rows.
// Rows are addressed from the top; each row is padded to a multiple of 4 bytes.
// 24-bit pixels are blue, green, red; 32-bit pixels are blue, green, red, fourth byte.
// Copies are deep. The pixels live in a PixelBlock.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace vandrel {

// An allocator whose memory comes zeroed from calloc and whose elements are left as they
// are when created without a value: a vector of it sized at construction is zero without
// a second pass over its bytes (large blocks come zeroed from the system). Only growing
// a fresh vector relies on that; copies copy as usual.
template <class T>
struct ZeroedAllocator {
  using value_type = T;
  ZeroedAllocator() = default;
  template <class U>
  ZeroedAllocator(const ZeroedAllocator<U>&) {}
  T* allocate(size_t n) {
    if (void* p = std::calloc(n, sizeof(T))) return static_cast<T*>(p);
    throw std::bad_alloc();
  }
  void deallocate(T* p, size_t) { std::free(p); }
  template <class U>
  void construct(U*) noexcept {}
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <class U>
  bool operator==(const ZeroedAllocator<U>&) const {
    return true;
  }
};

// Bytes that start as zero without being written twice.
using ZeroedBytes = std::vector<uint8_t, ZeroedAllocator<uint8_t>>;

// Zeroed memory for pixels. A block of kMappedFrom bytes or more is mapped from the system
// on a 2 MB boundary and marked for transparent huge pages, so that its first touch costs
// one fault per 2 MB rather than one per 4 KB page; where the system offers no huge pages it
// is still a plain mapping, and where it cannot be mapped it comes from the heap like the
// smaller blocks. A mapped block goes back to the system when it is freed. Builds with the
// address sanitizer take every block from the heap, where overflows are caught and the
// tests count what a picture holds. Copies are deep; equal blocks have equal bytes.
class PixelBlock {
 public:
  static constexpr size_t kMappedFrom = size_t(4) << 20;

  PixelBlock() = default;
  explicit PixelBlock(size_t size);
  PixelBlock(const PixelBlock& other);
  PixelBlock(PixelBlock&& other) noexcept;
  PixelBlock& operator=(const PixelBlock& other);
  PixelBlock& operator=(PixelBlock&& other) noexcept;
  ~PixelBlock();

  // A zeroed block mapped as a large one would be, whatever its size and the build (the
  // heap when mapping fails).
  static PixelBlock Mapped(size_t size);

  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  // Whether the block is a mapping of its own (else heap memory).
  bool mapped() const { return mapped_ != 0; }

  bool operator==(const PixelBlock& other) const;

 private:
  enum class Fill { kZero, kAny };
  PixelBlock(size_t size, Fill fill, bool map);
  void release() noexcept;

  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;  // bytes of the mapping at data_, 0 for heap memory
};

enum class PixelFormat : uint8_t { pf1bit = 1, pf4bit = 4, pf8bit = 8, pf24bit = 24, pf32bit = 32 };

struct PaletteEntry {
  uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const PaletteEntry&) const = default;
};
using Palette = std::vector<PaletteEntry>;

// 256 entries with index = grey level.
Palette GreyRamp();

// The most bytes the pixels of one decoded picture may take, counting every pass its
// reader makes (a picture widened or turned counts as it ends up). Each reader checks its
// picture against it before allocating and refuses a larger one with its own error, so
// that no file can make the program take more memory than a picture it can hold. 2 GiB by
// default; tests and fuzz targets set a smaller one.
uint64_t DecodedImageBudget();
void SetDecodedImageBudget(uint64_t bytes);

class Bitmap {
 public:
  // Largest side and largest pixel count a bitmap accepts; readers check their headers
  // against what the file holds before they get here.
  static constexpr int kMaxSide = 1 << 20;
  static constexpr int64_t kMaxPixels = int64_t(1) << 30;

  Bitmap() = default;
  Bitmap(int width, int height, PixelFormat format);

  int width() const { return width_; }
  int height() const { return height_; }
  PixelFormat format() const { return format_; }
  int bitsPerPixel() const { return static_cast<int>(format_); }
  bool empty() const { return width_ == 0 || height_ == 0; }
  bool indexed() const { return format_ <= PixelFormat::pf8bit; }

  // Bytes per row, padded to 4.
  size_t stride() const { return stride_; }
  static size_t strideFor(int width, PixelFormat format);

  uint8_t* scanLine(int y) { return pixels_.data() + size_t(y) * stride_; }
  const uint8_t* scanLine(int y) const { return pixels_.data() + size_t(y) * stride_; }
  uint8_t* bits() { return pixels_.data(); }
  const uint8_t* bits() const { return pixels_.data(); }
  size_t byteSize() const { return pixels_.size(); }

  const Palette& palette() const { return palette_; }
  void setPalette(Palette palette);

  // New size in the same format; every pixel is zero afterwards. Throws Exception when
  // the size is negative or beyond the limits above.
  void setSize(int width, int height);
  // Converts the pixels to another format:
  // - indexed to 24 or 32 bits through the palette (indices beyond the palette are black);
  // - 32 to 24 bits drops the fourth byte, 24 to 32 bits sets it to 0;
  // - indexed to another indexed depth keeps indices and palette when every index fits,
  //   otherwise the colours are reduced as below;
  // - 24 or 32 bits to indexed: to 8 bits, an image whose pixels are all grey gets the grey
  //   ramp palette (index = grey level); otherwise up to 2^bits distinct colours give an
  //   exact palette in order of first appearance (top row first), and more colours are
  //   reduced by median cut, each pixel taking the nearest palette colour (no dithering).
  // Non-indexed formats carry no palette. Converting to the current format does nothing.
  void setPixelFormat(PixelFormat format);

  // Colour of one pixel as red, green, blue (through the palette for indexed formats).
  PaletteEntry pixelColor(int x, int y) const;

  bool operator==(const Bitmap&) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  PixelFormat format_ = PixelFormat::pf24bit;
  size_t stride_ = 0;
  Palette palette_;
  PixelBlock pixels_;
};

}  // namespace vandrel
