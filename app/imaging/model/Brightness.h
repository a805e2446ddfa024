#pragma once
// Brightness: adds a fixed amount, taken from a percentage, to every pixel byte, so the
// image can only get brighter. One 256-entry table does the work.
#include "platform/Bitmap.h"

namespace vandrel {

// The amount added for a percentage (0 to 100): position x 255 div 100, truncated.
// 0 -> 0, 1 -> 2, 50 -> 127, 100 -> 255.
int BrilhoOffset(int percentual);

// Adds BrilhoOffset(percentual) to every pixel byte of `image`, stopping at 255. Bitmaps of
// 8 bits and more are handled byte by byte (the pixel bytes of each row, not the padding);
// 1- and 4-bit bitmaps are left as they are.
void AplicarBrilho(Bitmap& image, int percentual);

// The same into a new bitmap of `image`'s size, format and palette, in one pass over the
// pixels; `image` is left as it is (the bytes that pad its rows are copied as they are).
Bitmap ComBrilho(const Bitmap& image, int percentual);

}  // namespace vandrel
