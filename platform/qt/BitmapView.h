#pragma once
// Bitmaps as QImages for painting and the clipboard, and QImages back as bitmaps.
#include <QImage>

#include "platform/Bitmap.h"

namespace vandrel {

// A QImage over the bitmap's own pixels, without copying them: 1 bit as Format_Mono and
// 8 bits as Format_Indexed8 with the palette as colour table (padded with black to the
// depth), 24 bits as Format_BGR888, 32 bits as Format_RGB32. The view is valid while the
// bitmap lives and keeps its size and format; take copy() of it to keep it longer (for
// the clipboard, for instance). Two cases get an image of their own instead: 4 bits, which
// Qt has no format for, become Format_Indexed8, and 32 bits whose fourth bytes are not all
// 0xFF (which Qt would paint as transparency) become Format_RGB32 with 0xFF there. An
// empty bitmap gives a null image.
QImage BitmapView(const Bitmap& bitmap);

// A bitmap with the pixels of a QImage: Format_Mono and Format_Indexed8 keep their indices
// and colour table (Format_MonoLSB is read as Format_Mono), Format_Grayscale8 becomes 8
// bits with the grey ramp palette, Format_RGB32 becomes 32 bits and every other format 24
// bits (alpha is dropped). A null image gives an empty bitmap.
Bitmap BitmapFromQImage(const QImage& image);

}  // namespace vandrel
