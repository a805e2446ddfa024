#include "app/imaging/model/Zoom.h"

#include <cmath>

#include "platform/Numbers.h"

namespace vandrel {

bool ZoomInRange(double zoom) { return zoom > kZoomLowerBound && zoom < kZoomUpperBound; }

int64_t ZoomPercent(double zoom) { return Round(zoom / 1.0 * 100); }

int ZoomedSize(int size, double zoom) { return int(Round(size * zoom)); }

BandGeometry RescaleBand(BandGeometry band, int oldControlWidth, int imageWidth, double newZoom) {
  if (oldControlWidth <= 0 || imageWidth <= 0 || !(newZoom > 0)) return band;
  const double r = (double(oldControlWidth) / imageWidth) / newZoom;
  auto scale = [r](int v) { return int(Round(v / r)); };
  return {scale(band.left), scale(band.top), scale(band.width), scale(band.height)};
}

int CentredOffset(int outer, int inner) {
  const int64_t offset = Round((double(outer) - inner) / 2);
  return offset < 0 ? 0 : int(offset);
}

}  // namespace vandrel
