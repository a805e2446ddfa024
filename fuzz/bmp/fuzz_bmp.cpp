// Feeds arbitrary bytes to the BMP reader. Its own errors are expected; anything else (a
// crash, a sanitizer report, a hang) is a finding. A picture that decodes must survive the
// conversions the image windows apply to it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "platform/Errors.h"

// Pictures are held to what the fuzzing limits leave room for (-malloc_limit_mb=512): a
// larger one ends in the reader's error, as it would beyond the program's own budget.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vandrel::SetDecodedImageBudget(uint64_t(256) << 20);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    vandrel::Bitmap picture = vandrel::DecodeBmp(std::span<const uint8_t>(data, size));
    if (!picture.empty() && int64_t(picture.width()) * picture.height() <= (1 << 20)) {
      picture.setPixelFormat(vandrel::PixelFormat::pf24bit);
      picture.setPixelFormat(vandrel::PixelFormat::pf8bit);
    }
  } catch (const vandrel::Exception&) {
  }
  return 0;
}
