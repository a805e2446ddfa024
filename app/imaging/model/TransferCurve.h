#pragma once
// Transfer curves: 256 output grey levels indexed by the input level, and their application
// to an 8-bit image as a lookup table.
#include <array>
#include <cstdint>

#include "platform/Bitmap.h"

namespace vandrel {

using TransferCurve = std::array<uint8_t, 256>;

// Entry i = i.
TransferCurve IdentityCurve();

// A new image of the size, format and palette of `source` whose every pixel byte v is
// curve[v]. The curve maps grey levels, so only 8-bit images are mapped; any other format
// comes back as an unchanged copy.
Bitmap ApplyCurve(const Bitmap& source, const TransferCurve& curve);

}  // namespace vandrel
