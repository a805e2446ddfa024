#include "app/imaging/model/Zoom.h"

#include <algorithm>
#include <cmath>

#include "platform/Numbers.h"

namespace vandrel {

bool ZoomInRange(double zoom) { return zoom > kZoomLowerBound && zoom < kZoomUpperBound; }

int64_t ZoomPercent(double zoom) { return Round(zoom / 1.0 * 100); }

int ZoomedSize(int size, double zoom) { return int(Round(size * zoom)); }

namespace {
// First display pixel of image pixel p on an axis of `image` pixels shown on `control`.
int FirstDisplayPixel(int p, int image, int control) {
  if (image <= 0 || control <= 0) return 0;
  const int64_t d = (int64_t(std::max(p, 0)) * control + image - 1) / image;
  return int(std::min<int64_t>(d, control - 1));
}
}  // namespace

BandGeometry RescaleBand(const PixelSelection& pixels, int imageWidth, int imageHeight,
                         int controlWidth, int controlHeight) {
  if (pixels.empty()) return {};
  const int left = FirstDisplayPixel(pixels.start.x, imageWidth, controlWidth);
  const int top = FirstDisplayPixel(pixels.start.y, imageHeight, controlHeight);
  const int right = FirstDisplayPixel(pixels.end.x, imageWidth, controlWidth);
  const int bottom = FirstDisplayPixel(pixels.end.y, imageHeight, controlHeight);
  return {left, top, right - left, bottom - top};
}

int CentredOffset(int outer, int inner) {
  const int64_t offset = Round((double(outer) - inner) / 2);
  return offset < 0 ? 0 : int(offset);
}

}  // namespace vandrel
