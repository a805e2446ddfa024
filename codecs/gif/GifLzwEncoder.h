#pragma once
// LZW compression of an 8-bit image into GIF image data.
#include "codecs/gif/GifStream.h"
#include "platform/Bitmap.h"

namespace vandrel::gif {

// Writes the image data of an 8-bit bitmap: the minimum code size 8, the codes in
// sub-blocks of 255 bytes (a shorter last one) and the terminator. Codes start at 9 bits
// and widen with the count of codes written since the last clear; at 3840 codes a clear
// code starts the table over.
void WriteLzwImageData(const Bitmap& bitmap, GifWriteStream& out);

}  // namespace vandrel::gif
