// Fuzz target of the TIFF reader: any bytes either decode or raise one of the reader's
// exceptions; crashes, hangs, leaks and out-of-memory are findings. A picture that decodes
// is also written back with each compression and must read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "codecs/tiff/TiffDecoder.h"
#include "codecs/tiff/TiffEncoder.h"
#include "codecs/tiff/TiffImage.h"
#include "platform/Bitmap.h"
#include "platform/Errors.h"

namespace {

void RoundTrip(const vandrel::Bitmap& picture) {
  for (uint8_t compression : {0, 4, 6}) {
    std::vector<uint8_t> file;
    vandrel::TTIFFEncoder encoder(&file);
    encoder.Encode(picture, compression, "", "", "");
    const vandrel::Bitmap back = vandrel::DecodeTiff(file);
    if (back.width() != picture.width() || back.height() != picture.height() ||
        back.format() != picture.format())
      std::abort();
    const size_t rowBytes = (size_t(picture.width()) * size_t(picture.bitsPerPixel()) + 7) / 8;
    for (int y = 0; y < picture.height(); ++y)
      if (std::memcmp(back.scanLine(y), picture.scanLine(y), rowBytes) != 0) std::abort();
  }
}

}  // namespace

// Pictures are held to what the fuzzing limits leave room for (-malloc_limit_mb=512): a
// larger one ends in the reader's error, as it would beyond the program's own budget.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vandrel::SetDecodedImageBudget(uint64_t(256) << 20);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  try {
    const vandrel::Bitmap picture = vandrel::DecodeTiff(bytes);
    if (!picture.empty() && picture.byteSize() <= (size_t(1) << 20)) RoundTrip(picture);
  } catch (const vandrel::Exception&) {
  }
  // The whole directory chain, which the picture loader never walks.
  try {
    vandrel::TiffStream stream(bytes);
    vandrel::TTIFFDecoder decoder(stream);
    decoder.ScanIFDs(false);
  } catch (const vandrel::Exception&) {
  }
  return 0;
}
