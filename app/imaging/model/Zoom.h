#pragma once
// Zoom of an image window: 1.0 is 100 %; the main window's commands step by 0.2, and a
// zoom is kept only strictly between 0.001 and 6.01, so the steps run from 20 % to 600 %.
#include <cstdint>

#include "app/imaging/model/Selection.h"

namespace vandrel {

inline constexpr double kZoomStep = 0.2;
inline constexpr double kZoomLowerBound = 0.001;  // exclusive
inline constexpr double kZoomUpperBound = 6.01;   // exclusive

bool ZoomInRange(double zoom);

// round(zoom / 1.0 x 100), halves to even: the percentage shown in the caption.
int64_t ZoomPercent(double zoom);

// Image-control size of an image of `size` pixels at `zoom`, rounded halves to even.
int ZoomedSize(int size, double zoom);

// The rubber band (left, top, width, height, relative to the image control) that shows the
// image pixels `pixels` on a control of controlWidth x controlHeight for an image of
// imageWidth x imageHeight. Each corner goes to the first display pixel of its image pixel,
// ceil(p x control / image), kept inside the control; so whenever the control has at least
// one display pixel per image pixel (100 % and above), converting the band's corners back
// with ToImagePixel gives `pixels` again. A zoom change maps the selection through this
// function from the image pixels, never from the old display, so nothing drifts.
struct BandGeometry {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const BandGeometry&) const = default;
};
BandGeometry RescaleBand(const PixelSelection& pixels, int imageWidth, int imageHeight,
                         int controlWidth, int controlHeight);

// Offset that centres a control of `inner` pixels in `outer` pixels, halves to even,
// never negative.
int CentredOffset(int outer, int inner);

}  // namespace vandrel
