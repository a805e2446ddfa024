#pragma once
// One colour channel of a 24-bit image as an 8-bit image.
#include <cstdint>
#include <memory>

#include "platform/Bitmap.h"

namespace vandrel {

// Channel 0 is red (the third byte of a pixel), 1 green (the second), 2 blue (the first).
// For a 24-bit bitmap and a channel 0, 1 or 2: a new 8-bit bitmap of the same size with the
// palette of "system/plt8.bmp" in the program folder, holding that channel. Otherwise:
// nothing. A missing palette file raises the loader's error.
std::unique_ptr<Bitmap> ExtrairCanal(const Bitmap& bitmap, uint8_t canal);

// The same with the palette given.
std::unique_ptr<Bitmap> ExtrairCanal(const Bitmap& bitmap, uint8_t canal, const Palette& palette);

}  // namespace vandrel
