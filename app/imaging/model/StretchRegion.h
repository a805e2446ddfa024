#pragma once
// Painting of the image control: the image stretched to the control's size, nearest
// pixel, rendered only for the part of the control that needs painting. The work is
// proportional to that part, whatever the zoom and the image size.
#include <cstddef>
#include <cstdint>

#include "platform/Bitmap.h"

namespace vandrel {

// Renders the display rectangle (x0, y0, width, height) of an image shown stretched to
// displayWidth x displayHeight into `out`: `height` rows of `outStride` bytes, each pixel
// four bytes blue, green, red, 255 (a little-endian 0xFFRRGGBB word). Display pixel dx
// shows image column dx * imageWidth / displayWidth (truncated), the same rule by which the
// selection converts display points to image pixels. Parts of the rectangle outside the
// display, and the whole rectangle when the image is empty, are left untouched.
void StretchRegion(const Bitmap& image, int displayWidth, int displayHeight, int x0, int y0,
                   int width, int height, uint8_t* out, size_t outStride);

}  // namespace vandrel
