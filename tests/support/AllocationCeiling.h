#pragma once
// While it lives, the readers' decoded-image budget is `bytes`, and in a build with
// AddressSanitizer the peak of heap bytes held since it began is measured, so that a test
// holds a decode to the memory it may take: a picture beyond the ceiling must end in the
// reader's clean error, not in an allocation.
#include <cstdint>

#include "platform/Bitmap.h"
#include "tests/support/HeapPeak.h"

namespace vandrel::testing {

class AllocationCeiling {
 public:
  explicit AllocationCeiling(uint64_t bytes)
      : old_(DecodedImageBudget()), start_((SetDecodedImageBudget(bytes), StartHeapPeak())) {}
  ~AllocationCeiling() { SetDecodedImageBudget(old_); }
  AllocationCeiling(const AllocationCeiling&) = delete;
  AllocationCeiling& operator=(const AllocationCeiling&) = delete;

  // Whether Peak() measures anything in this build.
  static constexpr bool Measures() { return CanMeasureHeap(); }
  // The most bytes held at once, beyond those held when the ceiling began.
  int64_t Peak() const { return HeapPeakSince(start_); }

 private:
  uint64_t old_;
  int64_t start_;
};

}  // namespace vandrel::testing
