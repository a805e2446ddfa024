#pragma once
// Geometry of the curve control: where a transfer curve is drawn, input level along x and
// output level upwards, output 0 on the bottom row.
#include <array>

#include "app/imaging/model/Selection.h"
#include "app/imaging/model/TransferCurve.h"

namespace vandrel {

// The polyline of `curve` in a control `height` pixels high: it starts at (0, height), just
// under the bottom row, and runs through (i, height - 1 - curve[i]) for i = 0..255, so that
// output 255 lies on the row height - 256.
std::array<Point, 257> CurvePolyline(const TransferCurve& curve, int height);

}  // namespace vandrel
