#pragma once
// The most heap a piece of code holds at once, as the address sanitizer's allocator counts
// it: what a reader allocates for a file can be compared with the file's own size.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANDREL_HEAP_PEAK 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VANDREL_HEAP_PEAK 1
#endif

#ifdef VANDREL_HEAP_PEAK
extern "C" {
size_t __sanitizer_get_allocated_size(const volatile void* p);
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                              void (*free_hook)(const volatile void*));
}
#endif

namespace vandrel::testing {

namespace heap_peak {
inline std::atomic<int64_t> live{0};
inline std::atomic<int64_t> peak{0};
#ifdef VANDREL_HEAP_PEAK
inline void OnMalloc(const volatile void*, size_t size) {
  const int64_t now = live.fetch_add(int64_t(size)) + int64_t(size);
  int64_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
}
inline void OnFree(const volatile void* p) {
  if (p != nullptr) live.fetch_sub(int64_t(__sanitizer_get_allocated_size(p)));
}
// The hooks cannot be removed again: they are installed once and count from then on.
inline bool Installed() {
  static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
  return installed;
}
#endif
}  // namespace heap_peak

// Whether this build can measure (an address-sanitizer build).
constexpr bool CanMeasureHeap() {
#ifdef VANDREL_HEAP_PEAK
  return true;
#else
  return false;
#endif
}

// Starts a measurement: the bytes held now, from which HeapPeakSince counts.
inline int64_t StartHeapPeak() {
#ifdef VANDREL_HEAP_PEAK
  if (!heap_peak::Installed()) return 0;
#endif
  const int64_t start = heap_peak::live.load();
  heap_peak::peak.store(start);
  return start;
}

// Bytes held at the peak since StartHeapPeak gave `start`; 0 when the build cannot measure.
inline int64_t HeapPeakSince(int64_t start) {
  return CanMeasureHeap() ? heap_peak::peak.load() - start : 0;
}

// Bytes held at the peak while `action` ran, beyond those held when it began; 0 when the
// build cannot measure.
inline int64_t PeakHeapGrowth(const std::function<void()>& action) {
  const int64_t start = StartHeapPeak();
  action();
  return HeapPeakSince(start);
}

}  // namespace vandrel::testing
