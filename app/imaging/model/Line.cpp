#include "app/imaging/model/Line.h"

namespace vandrel {

LineSegment LineEnds(TLineDirection direction, int width, int height) {
  switch (direction) {
    case ldHorizontal:
      return {{0, 0}, {width - 1, 0}};
    case ldVertical:
      return {{0, 0}, {0, height - 1}};
    case ldDiagonalTop:
      return {{0, 0}, {width - 1, height - 1}};
    case ldDiagonalBottom:
      return {{0, height - 1}, {width - 1, 0}};
  }
  return {{0, 0}, {0, height - 1}};
}

}  // namespace vandrel
