#pragma once
// While it lives, the readers' decoded-image budget is `bytes`, and in a build with
// AddressSanitizer the peak of heap bytes allocated since it began is measured, so that a
// test holds a decode to the memory it may take: a picture beyond the ceiling must end in
// the reader's clean error, not in an allocation.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/Bitmap.h"

#if defined(__SANITIZE_ADDRESS__)
#define VANDREL_HEAP_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANDREL_HEAP_HOOKS 1
#endif
#endif
#ifdef VANDREL_HEAP_HOOKS
// The sanitizer runtime's allocator interface (its header is not always installed).
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                              void (*free_hook)(const volatile void*));
size_t __sanitizer_get_allocated_size(const volatile void* p);
}
#endif

namespace vandrel::testing {

class AllocationCeiling {
 public:
  explicit AllocationCeiling(uint64_t bytes) : old_(DecodedImageBudget()) {
    SetDecodedImageBudget(bytes);
#ifdef VANDREL_HEAP_HOOKS
    // The hooks cannot be removed again: they are installed once and count while active.
    static const bool installed = [] {
      __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
      return true;
    }();
    (void)installed;
    State().live = 0;
    State().peak = 0;
    State().active = true;
#endif
  }
  ~AllocationCeiling() {
#ifdef VANDREL_HEAP_HOOKS
    State().active = false;
#endif
    SetDecodedImageBudget(old_);
  }
  AllocationCeiling(const AllocationCeiling&) = delete;
  AllocationCeiling& operator=(const AllocationCeiling&) = delete;

  // Whether Peak() measures anything in this build.
  static constexpr bool Measures() {
#ifdef VANDREL_HEAP_HOOKS
    return true;
#else
    return false;
#endif
  }
  // The most bytes held at once by blocks allocated since the ceiling began.
  int64_t Peak() const {
#ifdef VANDREL_HEAP_HOOKS
    return State().peak.load();
#else
    return 0;
#endif
  }

 private:
#ifdef VANDREL_HEAP_HOOKS
  struct Counters {
    std::atomic<bool> active{false};
    std::atomic<int64_t> live{0}, peak{0};
  };
  static Counters& State() {
    static Counters counters;
    return counters;
  }
  static void OnMalloc(const volatile void*, size_t size) {
    Counters& c = State();
    if (!c.active) return;
    const int64_t now = c.live += int64_t(size);
    for (int64_t p = c.peak.load(); now > p && !c.peak.compare_exchange_weak(p, now);) {
    }
  }
  static void OnFree(const volatile void* ptr) {
    Counters& c = State();
    if (!c.active || ptr == nullptr) return;
    c.live -= int64_t(__sanitizer_get_allocated_size(ptr));
  }
#endif
  uint64_t old_;
};

}  // namespace vandrel::testing
