#include "codecs/common/ImageCommon.h"

namespace vandrel {

int32_t BytesPerScanline(int32_t width, int32_t bits, int32_t alignment) {
  // 32-bit wrap-around as the format's own arithmetic has it.
  const uint32_t w = static_cast<uint32_t>(width) * static_cast<uint32_t>(bits) +
                     static_cast<uint32_t>(alignment) - 1;
  return static_cast<int32_t>((w & ~(static_cast<uint32_t>(alignment) - 1)) / 8);
}

}  // namespace vandrel
