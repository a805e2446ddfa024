// Fuzz target of the TIFF reader: any bytes either decode or raise one of the reader's
// exceptions; crashes, hangs, leaks and out-of-memory are findings.
#include <cstddef>
#include <cstdint>
#include <span>

#include "codecs/tiff/TiffDecoder.h"
#include "codecs/tiff/TiffImage.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  try {
    vandrel::DecodeTiff(bytes);
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
