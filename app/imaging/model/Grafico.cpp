#include "app/imaging/model/Grafico.h"

namespace vandrel {

std::array<Point, 257> CurvePolyline(const TransferCurve& curve, int height) {
  std::array<Point, 257> points;
  points[0] = {0, height};
  for (int i = 0; i < 256; ++i) points[size_t(i) + 1] = {i, height - 1 - curve[size_t(i)]};
  return points;
}

}  // namespace vandrel
