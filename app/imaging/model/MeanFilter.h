#pragma once
// The 3x3 mean filter of an 8-bit image.
#include "platform/Bitmap.h"

namespace vandrel {

// Each pixel of the result is the mean of the source pixels of its 3x3 neighbourhood, cut
// at the borders (no padding, no wrap): the interior averages 9 pixels, edges 6, corners 4;
// an image one pixel wide or high averages the 3 or 2 pixels of its line, a single pixel
// stays as it is. Sums are of the source bytes and the division truncates. Every mean reads
// the unfiltered source, so the result does not depend on the order of the scan.
// The result has the source's size and palette. Throws Exception for a bitmap that is not
// 8-bit.
Bitmap FiltroMedia(const Bitmap& source);

}  // namespace vandrel
