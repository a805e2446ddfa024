#include "platform/Bitmap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>

#include "platform/Errors.h"

namespace vandrel {

Palette GreyRamp() {
  Palette p(256);
  for (int i = 0; i < 256; ++i) p[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
  return p;
}

namespace {
std::atomic<uint64_t> budget{uint64_t(2) << 30};
}  // namespace

uint64_t DecodedImageBudget() { return budget.load(std::memory_order_relaxed); }
void SetDecodedImageBudget(uint64_t bytes) { budget.store(bytes, std::memory_order_relaxed); }

// ---------------------------------------------------------------------------------------
// Pixel memory

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kHeapOnly = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kHeapOnly = true;
#else
constexpr bool kHeapOnly = false;
#endif
#else
constexpr bool kHeapOnly = false;
#endif

constexpr size_t kHugePage = size_t(2) << 20;

// Cleared once the system has refused to mark a mapping for huge pages: from then on the
// heap serves every block, as it would without mappings of our own.
std::atomic<bool> hugePagesOffered{true};

// `size` bytes of zeroed memory mapped from a 2 MB boundary, marked for huge pages, with
// `length` set to the bytes mapped; null when the system gives no such mapping.
uint8_t* mapHuge(size_t size, size_t& length) {
  const size_t page = size_t(::sysconf(_SC_PAGESIZE));
  length = (size + page - 1) / page * page;
  // A 2 MB more than needed leaves room to start on a boundary; the rest goes back.
  void* p = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                   -1, 0);
  if (p == MAP_FAILED) return nullptr;
  const uintptr_t at = reinterpret_cast<uintptr_t>(p);
  const uintptr_t start = (at + kHugePage - 1) & ~uintptr_t(kHugePage - 1);
  if (start > at) ::munmap(p, start - at);
  if (const size_t tail = kHugePage - (start - at); tail > 0)
    ::munmap(reinterpret_cast<void*>(start + length), tail);
  auto* block = reinterpret_cast<uint8_t*>(start);
  if (::madvise(block, length, MADV_HUGEPAGE) != 0) {
    hugePagesOffered.store(false, std::memory_order_relaxed);
    ::munmap(block, length);
    return nullptr;
  }
  return block;
}

// Whether a block of `size` bytes is mapped of its own.
bool mapsLarge(size_t size) {
  return !kHeapOnly && size >= PixelBlock::kMappedFrom &&
         hugePagesOffered.load(std::memory_order_relaxed);
}

}  // namespace

PixelBlock::PixelBlock(size_t size)
    : PixelBlock(
          size, Fill::kZero,
          !kHeapOnly && size >= kMappedFrom && hugePagesOffered.load(std::memory_order_relaxed)) {}

PixelBlock PixelBlock::Mapped(size_t size) { return PixelBlock(size, Fill::kZero, true); }

PixelBlock::PixelBlock(size_t size, Fill fill, bool map) : size_(size) {
  if (size == 0) return;
  // Mapped memory comes zeroed, and is only touched where it is written.
  if (map) data_ = mapHuge(size, mapped_);
  if (data_ != nullptr) return;
  mapped_ = 0;
  data_ = static_cast<uint8_t*>(fill == Fill::kZero ? std::calloc(size, 1) : std::malloc(size));
  if (data_ == nullptr) throw std::bad_alloc();
}

PixelBlock::PixelBlock(const PixelBlock& other)
    : PixelBlock(other.size_, Fill::kAny, mapsLarge(other.size_)) {
  if (size_ > 0) std::memcpy(data_, other.data_, size_);
}

PixelBlock::PixelBlock(PixelBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

PixelBlock& PixelBlock::operator=(const PixelBlock& other) {
  if (this == &other) return *this;
  // A block of the same size is written over: its pages are in place already.
  if (size_ == other.size_) {
    if (size_ > 0) std::memcpy(data_, other.data_, size_);
    return *this;
  }
  return *this = PixelBlock(other);
}

PixelBlock& PixelBlock::operator=(PixelBlock&& other) noexcept {
  if (this == &other) return *this;
  release();
  data_ = std::exchange(other.data_, nullptr);
  size_ = std::exchange(other.size_, 0);
  mapped_ = std::exchange(other.mapped_, 0);
  return *this;
}

PixelBlock::~PixelBlock() { release(); }

void PixelBlock::release() noexcept {
  if (mapped_ != 0)
    ::munmap(data_, mapped_);
  else
    std::free(data_);
  data_ = nullptr;
  size_ = mapped_ = 0;
}

bool PixelBlock::operator==(const PixelBlock& other) const {
  return size_ == other.size_ && (size_ == 0 || std::memcmp(data_, other.data_, size_) == 0);
}

// ---------------------------------------------------------------------------------------
// Bitmap

size_t Bitmap::strideFor(int width, PixelFormat format) {
  const size_t bits = size_t(width) * size_t(static_cast<int>(format));
  return ((bits + 31) / 32) * 4;
}

Bitmap::Bitmap(int width, int height, PixelFormat format) : format_(format) {
  setSize(width, height);
}

void Bitmap::setSize(int width, int height) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide ||
      int64_t(width) * height > kMaxPixels)
    throw Exception("Invalid bitmap size " + std::to_string(width) + " x " +
                    std::to_string(height));
  width_ = width;
  height_ = height;
  stride_ = strideFor(width, format_);
  pixels_ = PixelBlock(stride_ * size_t(height));  // a fresh block: all zero
}

void Bitmap::setPalette(Palette palette) {
  if (palette.size() > 256) palette.resize(256);
  palette_ = std::move(palette);
}

PaletteEntry Bitmap::pixelColor(int x, int y) const {
  const uint8_t* row = scanLine(y);
  auto fromPalette = [&](unsigned index) {
    return index < palette_.size() ? palette_[index] : PaletteEntry{};
  };
  switch (format_) {
    case PixelFormat::pf1bit:
      return fromPalette((row[x >> 3] >> (7 - (x & 7))) & 1);
    case PixelFormat::pf4bit:
      return fromPalette((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
    case PixelFormat::pf8bit:
      return fromPalette(row[x]);
    case PixelFormat::pf24bit:
      return {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
    case PixelFormat::pf32bit:
      return {row[4 * x + 2], row[4 * x + 1], row[4 * x]};
  }
  return {};
}

}  // namespace vandrel
