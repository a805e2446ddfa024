#pragma once
// Exception classes of the image codecs and the row-size helper.
#include <cstdint>

#include "platform/Errors.h"

namespace vandrel {

class EInvalidImage : public Exception {
 public:
  using Exception::Exception;
};

class EUnsupportedImage : public Exception {
 public:
  using Exception::Exception;
};

// Bytes in a row of `width` pixels of `bits` bits, padded to `alignment` bits (a power of
// two), in 32-bit arithmetic.
int32_t BytesPerScanline(int32_t width, int32_t bits, int32_t alignment);

}  // namespace vandrel
