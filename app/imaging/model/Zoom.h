#pragma once
// Zoom of an image window: 1.0 is 100 %; the main window's commands step by 0.2, and a
// zoom is kept only strictly between 0.001 and 6.01, so the steps run from 20 % to 600 %.
#include <cstdint>

namespace vandrel {

inline constexpr double kZoomStep = 0.2;
inline constexpr double kZoomLowerBound = 0.001;  // exclusive
inline constexpr double kZoomUpperBound = 6.01;   // exclusive

bool ZoomInRange(double zoom);

// round(zoom / 1.0 x 100), halves to even: the percentage shown in the caption.
int64_t ZoomPercent(double zoom);

// Image-control size of an image of `size` pixels at `zoom`, rounded halves to even.
int ZoomedSize(int size, double zoom);

// A rubber band (left, top, width, height in window coordinates) after a zoom change:
// with r := (old control width / image width) / new zoom, each value becomes
// round(value / r). When the old scale is not known (an image or control of zero width)
// the band is returned as it was.
struct BandGeometry {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const BandGeometry&) const = default;
};
BandGeometry RescaleBand(BandGeometry band, int oldControlWidth, int imageWidth, double newZoom);

// Offset that centres a control of `inner` pixels in `outer` pixels, halves to even,
// never negative.
int CentredOffset(int outer, int inner);

}  // namespace vandrel
