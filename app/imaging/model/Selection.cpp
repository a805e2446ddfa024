#include "app/imaging/model/Selection.h"

#include <algorithm>

namespace vandrel {

Rect DragBand(Point anchor, Point pointer) {
  Rect r;
  if (pointer.x > anchor.x) {
    r.left = anchor.x;
    r.right = pointer.x;
  } else {
    r.left = pointer.x;
    r.right = anchor.x;
  }
  if (pointer.y > anchor.y) {
    r.top = anchor.y;
    r.bottom = pointer.y;
  } else {
    r.top = pointer.y;
    r.bottom = anchor.y;
  }
  return r;
}

Rect ClampBand(Rect band, int controlWidth, int controlHeight) {
  band.right = std::min(band.right, controlWidth - 1);
  band.left = std::max(band.left, 0);
  band.bottom = std::min(band.bottom, controlHeight - 1);
  band.top = std::max(band.top, 0);
  // A band that began beyond the far edge collapses onto that edge, so that left <= right
  // still holds.
  band.left = std::min(band.left, band.right);
  band.top = std::min(band.top, band.bottom);
  return band;
}

namespace {
int ToImageAxis(int display, int imageSize, int controlSize) {
  int64_t v = 0;
  if (controlSize > 0) v = int64_t(display) * imageSize / controlSize;  // toward zero
  if (v > imageSize - 1) v = imageSize - 1;
  if (v < 0) v = 0;
  return int(v);
}
}  // namespace

Point ToImagePixel(Point display, int imageWidth, int imageHeight, int controlWidth,
                   int controlHeight) {
  return {ToImageAxis(display.x, imageWidth, controlWidth),
          ToImageAxis(display.y, imageHeight, controlHeight)};
}

PixelSelection SelectedPixels(Point start, Point end, int imageWidth, int imageHeight,
                              int controlWidth, int controlHeight) {
  if (imageWidth <= 0 || imageHeight <= 0) return {{0, 0}, {-1, -1}};
  return {ToImagePixel(start, imageWidth, imageHeight, controlWidth, controlHeight),
          ToImagePixel(end, imageWidth, imageHeight, controlWidth, controlHeight)};
}

}  // namespace vandrel
