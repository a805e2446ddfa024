// Fuzz target of the TIFF reader: any bytes either decode or raise one of the reader's
// exceptions; crashes, hangs, leaks, out-of-memory and work far beyond the file and its
// picture are findings. A picture that decodes is also written back with each compression
// and must read back unchanged.
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
    const bool opaque = picture.format() == vandrel::PixelFormat::pf32bit;
    for (int y = 0; y < picture.height(); ++y) {
      const uint8_t* a = back.scanLine(y);
      const uint8_t* b = picture.scanLine(y);
      // The writer stores the fourth byte of 32-bit pixels as opaque.
      for (size_t i = 0; i < rowBytes; ++i)
        if (a[i] != (opaque && i % 4 == 3 ? 0xFF : b[i])) std::abort();
    }
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
  // The first page as the picture loader reads it, with the bytes the reader is handed
  // counted: no file may make it go over its bytes and its picture more than a few times.
  vandrel::Bitmap picture;
  vandrel::TiffStream counted(bytes);
  bool decoded = false;
  try {
    vandrel::TTIFFDecoder decoder(counted);
    decoder.ScanIFDs(true);
    vandrel::TiffTexts texts;
    decoder.DecodePage(0, &picture, texts);
    decoded = true;
  } catch (const vandrel::Exception&) {
  }
  if (counted.bytesHandedOut() > 8 * uint64_t(size) + 8 * picture.byteSize() + (1u << 20))
    std::abort();
  if (!decoded) picture = vandrel::Bitmap();
  try {
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
