// Feeds arbitrary bytes to the GIF reader: the first image as the picture loader reads
// it, then every image of the frame list. Errors of the reader are expected; anything
// else (a crash, a sanitizer report, a hang) is a finding.
#include <cstddef>
#include <cstdint>
#include <span>

#include "codecs/gif/GifImage.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  try {
    vandrel::TGIF picture;
    picture.LoadFromStream(bytes);
  } catch (const vandrel::Exception&) {
  }
  try {
    vandrel::gif::GifReadStream stream(bytes);
    vandrel::TGIFDecoder decoder(stream);
    decoder.ScanImages(false);
    for (int i = 0; i < decoder.imageCount() && i < 8; ++i) {
      vandrel::Bitmap bitmap;
      vandrel::TGIFInfo info;
      try {
        decoder.DecodeImage(i, &bitmap, info);
      } catch (const vandrel::Exception&) {
      }
    }
  } catch (const vandrel::Exception&) {
  }
  return 0;
}
