#pragma once
// Arithmetic of the rectangular selection of an image window. The selection is kept in
// display coordinates (pixels of the image control, which shows the image stretched to
// the window's zoom) and converted to image pixels on demand.
#include <cstdint>

namespace vandrel {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// Left, top, right, bottom; left <= right and top <= bottom.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// The band spanned by the drag anchor and the pointer, whichever way the drag went.
Rect DragBand(Point anchor, Point pointer);

// The band kept inside an image control of the given size: right and bottom at most
// size - 1, left and top at least 0.
Rect ClampBand(Rect band, int controlWidth, int controlHeight);

// A display point in image pixels: x * imageWidth / controlWidth truncated toward zero,
// then clamped to 0..imageWidth - 1 (y likewise). The ratio comes from the actual sizes.
// A control of zero width or height maps every point of that axis to 0.
Point ToImagePixel(Point display, int imageWidth, int imageHeight, int controlWidth,
                   int controlHeight);

// The selected image pixels from the two stored display points, both ends included.
// For an image of zero width or height the selection is empty: start (0, 0), end
// (-1, -1), so that loops from start to end run no times.
struct PixelSelection {
  Point start;
  Point end;
  int width() const { return end.x - start.x + 1; }
  int height() const { return end.y - start.y + 1; }
  int64_t area() const { return int64_t(width()) * height(); }
  bool empty() const { return width() <= 0 || height() <= 0; }
};
PixelSelection SelectedPixels(Point start, Point end, int imageWidth, int imageHeight,
                              int controlWidth, int controlHeight);

}  // namespace vandrel
