#pragma once
// JPEG pictures through libjpeg.
#include <cstdint>
#include <span>

#include "platform/Bitmap.h"

namespace vandrel {

// Decodes a JPEG file held in memory: greyscale gives an 8-bit bitmap with the grey ramp
// palette, colour (YCbCr, RGB, CMYK, YCCK) a 24-bit one. Damaged, truncated or unsupported
// data raises Exception with "JPEG: " and libjpeg's message.
Bitmap DecodeJpeg(std::span<const uint8_t> bytes);

}  // namespace vandrel
