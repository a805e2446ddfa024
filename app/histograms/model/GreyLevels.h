#pragma once
// Grey-level counts and grey-level histograms of 8-bit images.
#include <array>
#include <cstdint>

#include "platform/Bitmap.h"

namespace vandrel {

// 256 signed 32-bit pixel counts indexed by grey level.
using GreyCounts = std::array<int32_t, 256>;
// 256 doubles indexed by grey level: each count divided by the sum of the counts.
using GreyHistogram = std::array<double, 256>;

// Counts the pixel bytes of an 8-bit bitmap (the palette index is the grey level; the
// palette itself is not looked at). Any other format counts nothing. A large bitmap is
// counted in bands on up to `threads` threads, 0 meaning the machine's cores; the workers
// of a batch, which already keep every core busy, count on their own thread (1).
GreyCounts CountGreyLevels(const Bitmap& bitmap, unsigned threads = 0);

// Each count divided by the sum of the counts (taken in 64 bits), a sum of 0 counting as 1.
GreyHistogram HistogramOfCounts(const GreyCounts& counts);

}  // namespace vandrel
