#pragma once
// Geometry of the line control: one straight line across the control's box in one of four
// directions.
#include <cstdint>

#include "app/imaging/model/Selection.h"

namespace vandrel {

enum TLineDirection : uint8_t { ldHorizontal, ldVertical, ldDiagonalTop, ldDiagonalBottom };

struct LineSegment {
  Point from, to;
  bool operator==(const LineSegment&) const = default;
};

// The line of a control `width` x `height`: along the top row (horizontal), down the left
// column (vertical), from the top left to the bottom right corner (diagonal top) or from the
// bottom left to the top right corner (diagonal bottom).
LineSegment LineEnds(TLineDirection direction, int width, int height);

}  // namespace vandrel
